// The window's three bands and what is drawn in them, and the tile size that fits a board.
#include "render/draw.h"

#include <algorithm>
#include <cstdio>
#include <limits>

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

int32_t fitting_skin(const TSkin* skins, int32_t count, int32_t columns, int32_t rows, int32_t room_width,
                     int32_t room_height) {
    for (int32_t i = 0; i < count; ++i) {
        if (int64_t{columns} * skins[i].tile_width <= room_width && int64_t{rows} * skins[i].tile_height <= room_height)
            return i;
    }
    return -1;
}

void clear_screen(SDL_Surface* screen) {
    fill_band(screen, 0, screen->h, COLOR_BLACK);
}

void draw_background(SDL_Surface* screen, SDL_Surface* picture, int32_t top, int32_t height) {
    fill_band(screen, top, height, COLOR_DARK_GREY);
    if (!picture || height <= 0 || picture->w <= 0 || picture->h <= 0)
        return;

    SDL_Rect area = {0, clamp_position(top), clamp_length(screen->w), clamp_length(height)};
    SDL_SetClipRect(screen, &area);
    const int32_t rows = (height + picture->h - 1) / picture->h;
    const int32_t columns = (screen->w + picture->w - 1) / picture->w;
    for (int32_t i = 0; i < rows; ++i) {
        for (int32_t j = 0; j < columns; ++j) {
            SDL_Rect to = {clamp_position(int64_t{j} * picture->w), clamp_position(top + int64_t{i} * picture->h), 0,
                           0};
            SDL_UpperBlit(picture, nullptr, screen, &to);
        }
    }
    SDL_SetClipRect(screen, nullptr);
}

int32_t draw_board(SDL_Surface* screen, const TSkin& skin, const TPlayLevel& level, int32_t top, int32_t height) {
    if (!level.cells || skin.tile_width <= 0 || skin.tile_height <= 0)
        return -1;
    const int64_t tw = skin.tile_width;
    const int64_t th = skin.tile_height;
    const int64_t left = (screen->w - level.width * tw) / 2;
    const int64_t board_top = (height - level.height * th) / 2 + top;
    if (left < 0 || board_top < 0)
        return -1;

    // Tiles starting beyond the window (or beyond what a 16-bit position can
    // say) would be clipped away anyway; a huge board costs only its visible
    // part.
    const int64_t right_end = std::min<int64_t>(screen->w, std::numeric_limits<Sint16>::max() + 1);
    const int64_t bottom_end = std::min<int64_t>(screen->h, std::numeric_limits<Sint16>::max() + 1);
    for (int32_t r = 0; r < level.height && board_top + r * th < bottom_end; ++r) {
        const Sint16 y = static_cast<Sint16>(board_top + r * th);
        for (int32_t c = 0; c < level.width && left + c * tw < right_end; ++c) {
            const int32_t cell = level.get(c, r);
            const int32_t tile = cell == CELL_WALL ? wall_tile(level, c, r) : cell;
            skin.draw_tile(tile, screen, static_cast<Sint16>(left + c * tw), y);
        }
    }

    const int64_t keeper_x = left + level.keeper_x * tw;
    const int64_t keeper_y = board_top + level.keeper_y * th;
    if (keeper_x < right_end && keeper_y < bottom_end) {
        const int32_t tile =
            level.get(level.keeper_x, level.keeper_y) == CELL_TARGET ? TILE_KEEPER_ON_TARGET : TILE_KEEPER;
        skin.draw_tile(tile, screen, static_cast<Sint16>(keeper_x), static_cast<Sint16>(keeper_y));
    }
    return 0;
}

void draw_header(SDL_Surface* screen, const TFont& font, int32_t height) {
    fill_band(screen, 0, height, COLOR_BLACK);
    font.draw_text_plain(screen, TEXT_MARGIN, 0, "Cratoria");
    font.draw_text_aligned(screen, clamp_position(screen->w - TEXT_MARGIN), 0, COLOR_WHITE, ALIGN_RIGHT, credit_line);
}

void draw_panel(SDL_Surface* screen, const TFont& font, int32_t height, const char* message, SDL_Color color,
                const TPanelCounts& counts) {
    fill_band(screen, screen->h - height, height, COLOR_BLACK);
    const Sint16 y = clamp_position(screen->h - height + PANEL_TEXT_TOP);
    if (message) {
        font.draw_text_blended(screen, TEXT_MARGIN, y, color, message);
        return;
    }

    char text[64];
    std::snprintf(text, sizeof text, "Level: %d", counts.level);
    font.draw_text_plain(screen, TEXT_MARGIN, y, text);
    std::snprintf(text, sizeof text, "Moves: %d", counts.moves);
    font.draw_text_plain(screen, PANEL_MOVES_X, y, text);
    std::snprintf(text, sizeof text, "Pushes: %d", counts.pushes);
    font.draw_text_plain(screen, PANEL_PUSHES_X, y, text);
    if (counts.best_moves > 0)
        std::snprintf(text, sizeof text, "Highscore: %d / %d", counts.best_moves, counts.best_pushes);
    else
        std::snprintf(text, sizeof text, "Unsolved");
    font.draw_text_aligned(screen, clamp_position(screen->w - TEXT_MARGIN), y, COLOR_WHITE, ALIGN_RIGHT, text);
}
