// The window's three bands and what is drawn in them, the tile size, and the one answer to a resize.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "app/game.h"
#include "render/layout.h"

namespace {

constexpr int32_t TEXT_MARGIN = 20;
constexpr int32_t PANEL_TEXT_TOP = 8;
constexpr int32_t PANEL_MOVES_X = 160;
constexpr int32_t PANEL_PUSHES_X = 300;

// SDL_Rect positions are 16 bits wide; a position past either end would wrap
// and land on the wrong side of the window.
Sint16 clamp_position(int64_t value) {
    if (value < std::numeric_limits<Sint16>::min())
        return std::numeric_limits<Sint16>::min();
    if (value > std::numeric_limits<Sint16>::max())
        return std::numeric_limits<Sint16>::max();
    return static_cast<Sint16>(value);
}

Uint16 clamp_length(int64_t value) {
    if (value < 0)
        return 0;
    if (value > std::numeric_limits<Uint16>::max())
        return std::numeric_limits<Uint16>::max();
    return static_cast<Uint16>(value);
}

// Fills the full-width band from row y, height rows high. A band of no
// height (a window lower than header and panel together) fills nothing,
// where SDL would take a zero-sized rectangle literally but a negative
// one as a huge one.
void fill_band(SDL_Surface* surface, int32_t y, int32_t height, SDL_Color color) {
    if (height <= 0)
        return;
    SDL_Rect band = {0, clamp_position(y), clamp_length(surface->w), clamp_length(height)};
    SDL_FillRect(surface, &band, SDL_MapRGB(surface->format, color.r, color.g, color.b));
}

int32_t wall_tile(const TLevel& level, int32_t c, int32_t r) {
    int32_t joins = 0;
    if (c > 0 && level.get(c - 1, r) == CELL_WALL)
        joins += 1;
    if (c < level.width - 1 && level.get(c + 1, r) == CELL_WALL)
        joins += 2;
    static const int32_t JOIN_TILES[4] = {TILE_WALL, TILE_WALL_JOIN_L, TILE_WALL_JOIN_R, TILE_WALL_JOIN_LR};
    return JOIN_TILES[joins];
}

}  // namespace

int32_t TGame::board_height() const {
    return screen->h - header_height - panel_height;
}

int32_t TGame::choose_skin() {
    const int64_t room_width = screen->w;
    const int64_t room_height = board_height();
    for (int32_t i = 0; i < skin_count; ++i) {
        if (int64_t{level.width} * skins[i].tile_width <= room_width &&
            int64_t{level.height} * skins[i].tile_height <= room_height) {
            skin = &skins[i];
            return 0;
        }
    }
    skin = &skins[skin_count - 1];
    return -1;
}

void TGame::clear_screen() {
    fill_band(screen, 0, screen->h, COLOR_BLACK);
}

void TGame::draw_background() {
    const int32_t area_height = board_height();
    fill_band(screen, header_height, area_height, COLOR_DARK_GREY);
    if (!background || area_height <= 0 || background->w <= 0 || background->h <= 0)
        return;

    SDL_Rect area = {0, clamp_position(header_height), clamp_length(screen->w), clamp_length(area_height)};
    SDL_SetClipRect(screen, &area);
    const int32_t rows = (area_height + background->h - 1) / background->h;
    const int32_t columns = (screen->w + background->w - 1) / background->w;
    for (int32_t i = 0; i < rows; ++i) {
        for (int32_t j = 0; j < columns; ++j) {
            SDL_Rect to = {clamp_position(int64_t{j} * background->w),
                           clamp_position(header_height + int64_t{i} * background->h), 0, 0};
            SDL_UpperBlit(background, nullptr, screen, &to);
        }
    }
    SDL_SetClipRect(screen, nullptr);
}

int32_t TGame::draw_board() {
    if (!skin || !level.cells || skin->tile_width <= 0 || skin->tile_height <= 0)
        return -1;
    const int64_t tw = skin->tile_width;
    const int64_t th = skin->tile_height;
    const int64_t room_height = board_height();
    const int64_t left = (screen->w - level.width * tw) / 2;
    const int64_t top = (room_height - level.height * th) / 2 + header_height;
    if (left < 0 || top < 0)
        return -1;

    // Tiles starting beyond the window (or beyond what a 16-bit position can
    // say) would be clipped away anyway; a huge board costs only its visible
    // part.
    const int64_t right_end = std::min<int64_t>(screen->w, std::numeric_limits<Sint16>::max() + 1);
    const int64_t bottom_end = std::min<int64_t>(screen->h, std::numeric_limits<Sint16>::max() + 1);
    for (int32_t r = 0; r < level.height && top + r * th < bottom_end; ++r) {
        const Sint16 y = static_cast<Sint16>(top + r * th);
        for (int32_t c = 0; c < level.width && left + c * tw < right_end; ++c) {
            const int32_t cell = level.get(c, r);
            const int32_t tile = cell == CELL_WALL ? wall_tile(level, c, r) : cell;
            skin->draw_tile(tile, screen, static_cast<Sint16>(left + c * tw), y);
        }
    }

    const int64_t keeper_x = left + level.keeper_x * tw;
    const int64_t keeper_y = top + level.keeper_y * th;
    if (keeper_x < right_end && keeper_y < bottom_end) {
        const int32_t tile =
            level.get(level.keeper_x, level.keeper_y) == CELL_TARGET ? TILE_KEEPER_ON_TARGET : TILE_KEEPER;
        skin->draw_tile(tile, screen, static_cast<Sint16>(keeper_x), static_cast<Sint16>(keeper_y));
    }
    return 0;
}

void TGame::flip() {
    SDL_Flip(screen);
}

void TGame::draw_header() {
    fill_band(screen, 0, header_height, COLOR_BLACK);
    font_big.draw_text_plain(screen, TEXT_MARGIN, 0, "Cratoria");
    font_big.draw_text_aligned(screen, clamp_position(screen->w - TEXT_MARGIN), 0, COLOR_WHITE, ALIGN_RIGHT,
                               credit_line);
}

void TGame::draw_panel(const char* message, SDL_Color color) {
    fill_band(screen, screen->h - panel_height, panel_height, COLOR_BLACK);
    const Sint16 y = clamp_position(screen->h - panel_height + PANEL_TEXT_TOP);
    if (message) {
        font_small.draw_text_blended(screen, TEXT_MARGIN, y, color, message);
        return;
    }

    char text[64];
    std::snprintf(text, sizeof text, "Level: %d", level.number);
    font_small.draw_text_plain(screen, TEXT_MARGIN, y, text);
    std::snprintf(text, sizeof text, "Moves: %d", static_cast<int>(history.size()));
    font_small.draw_text_plain(screen, PANEL_MOVES_X, y, text);
    std::snprintf(text, sizeof text, "Pushes: %d", pushes);
    font_small.draw_text_plain(screen, PANEL_PUSHES_X, y, text);
    if (best_moves > 0)
        std::snprintf(text, sizeof text, "Highscore: %d / %d", best_moves, best_pushes);
    else
        std::snprintf(text, sizeof text, "Unsolved");
    font_small.draw_text_aligned(screen, clamp_position(screen->w - TEXT_MARGIN), y, COLOR_WHITE, ALIGN_RIGHT, text);
}

void TGame::redraw() {
    draw_background();
    draw_board();
    draw_header();
    draw_panel(nullptr, COLOR_WHITE);
}

void TGame::resize(int32_t w, int32_t h) {
    screen = SDL_SetVideoMode(w, h, 0, video_flags);
    if (!screen) {
        // The process ends here without the orderly shutdown, so this is the
        // last chance to keep the best results reached in this run.
        save_scores();
        end_process(EXIT_RESIZE, stdout, "SDL error: %s\n", SDL_GetError());
    }
}

void TGame::draw_frame() {
    clear_screen();
    draw_header();
    draw_panel(version_line, COLOR_GREY);
}
