// The game object: its fonts, everything it loads at start, the rules of play and the drawing on its fields, and
// saving and releasing it at the end.
#include "app/game.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <dirent.h>

#include "level/text_file.h"
#include "render/draw.h"
#include "render/image.h"
#include "render/layout.h"

namespace {

const char* const LEVEL_DIRECTORY = "levels/";
const char* const DEFAULT_COLLECTION = "default";

struct SkinFile {
    const char* file_name;
    int32_t tile_size;
    int32_t failure;
};

// Largest tiles first: choose_skin takes the first set that fits.
constexpr SkinFile SKIN_FILES[SKIN_COUNT] = {
    {"gfx/skin50.bmp", 50, INIT_SKIN50_FAILED}, {"gfx/skin40.bmp", 40, INIT_SKIN40_FAILED},
    {"gfx/skin30.bmp", 30, INIT_SKIN30_FAILED}, {"gfx/skin20.bmp", 20, INIT_SKIN20_FAILED},
    {"gfx/skin12.bmp", 12, INIT_SKIN12_FAILED},
};

// The regular files of the level directory (symbolic links followed), in
// byte order of their names. Directory listings come in whatever order the
// file system keeps, and sorting makes the first collection, the chooser's
// list and the cut at the collection limit the same on every machine.
std::vector<std::string> level_file_names() {
    std::vector<std::string> names;
    DIR* directory = opendir(LEVEL_DIRECTORY);
    if (!directory)
        return names;
    while (const dirent* entry = readdir(directory)) {
        const std::string name = entry->d_name;
        if (is_regular_file(LEVEL_DIRECTORY + name))
            names.push_back(name);
    }
    closedir(directory);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

void end_process(TExitStatus status, FILE* stream, const char* format, ...) {
    // exit runs SDL_Quit, and a failure on that way out must not start a
    // second shutdown.
    static bool ending = false;
    if (format) {
        va_list arguments;
        va_start(arguments, format);
        std::vfprintf(stream, format, arguments);
        va_end(arguments);
    }
    // exit flushes too, but a message must not depend on how the stream
    // happens to be buffered.
    std::fflush(stdout);
    std::fflush(stderr);
    if (ending)
        std::_Exit(status);
    ending = true;
    std::exit(status);
}

TGame::TGame() {
    if (font_big.open("gfx/base02.ttf", 30) != 0)
        end_process(EXIT_BIG_FONT, stderr, "Error: could not load base02.ttf\n");
    if (font_small.open("gfx/vera.ttf", 20) != 0)
        end_process(EXIT_SMALL_FONT, stderr, "Error: could not load vera.ttf\n");
}

TGame::~TGame() {
    save_scores();
    // SDL_Quit frees only the window, so the background goes here, while
    // SDL is still up: main destroys the game before SDL shuts down. The
    // tile sets free their own tiles.
    SDL_FreeSurface(background);
}

int32_t TGame::init() {
    collections.clear();
    // One spare object receives each file; it joins the list only when its
    // file reads without errors, and a failed file's levels are cleared by
    // the next import.
    auto spare = std::make_unique<TLevelCollection>();
    TLevelCollection* preferred = nullptr;
    for (const std::string& name : level_file_names()) {
        if (static_cast<int32_t>(collections.size()) >= MAX_COLLECTIONS)
            break;
        if (spare->import(LEVEL_DIRECTORY, name) != 0)
            continue;
        if (name == DEFAULT_COLLECTION)
            preferred = spare.get();
        collections.push_back(std::move(spare));
        spare = std::make_unique<TLevelCollection>();
    }

    if (collections.empty()) {
        std::fprintf(stderr, "Error: no level collections found\n");
        return INIT_NO_COLLECTIONS;
    }
    collection = preferred ? preferred : collections.front().get();

    const int32_t depth = screen->format->BitsPerPixel;
    for (int32_t i = 0; i < SKIN_COUNT; ++i) {
        const SkinFile& file = SKIN_FILES[i];
        if (skins[i].load(file.tile_size, file.tile_size, depth, file.file_name) != 0)
            return file.failure;
    }
    skin = &skins[0];

    SDL_FreeSurface(background);
    background = load_image("gfx/back.bmp");
    highscore.read_from_xml(SCORES_FILE);
    // The player hears of a file that could not be read now, as the game
    // starts, rather than at the first save.
    highscore.keep_unreadable_file();
    scores_read = true;
    return INIT_OK;
}

bool TGame::save_scores() {
    // Before init has read scores.xml the store is empty, and writing it
    // would wipe every record the file holds.
    if (!scores_read)
        return false;
    if (highscore.write_to_xml(SCORES_FILE))
        return true;
    const char* reason = std::strerror(errno);
    std::error_code error;
    std::fprintf(stderr, "Error: could not save %s: %s\n", std::filesystem::absolute(SCORES_FILE, error).c_str(),
                 reason);
    return false;
}

int32_t TGame::start_level(int32_t index) {
    if (!collection || index < 0 || index >= static_cast<int32_t>(collection->levels.size()))
        return -1;
    const TLevel* source = collection->levels[index].get();
    // A level without a grid would leave the working copy without one, and
    // every later step and drawing would read cells that do not exist.
    if (!source || !source->cells)
        return -1;

    if (level_nr >= 0)
        level.release();
    if (level.copy_from(*source) != 0)
        return -1;
    level_nr = index;
    history.clear();
    pushes = 0;

    TScore best;
    if (highscore.get_score(collection->name, level.number, best)) {
        best_moves = best.moves;
        best_pushes = best.pushes;
    } else {
        best_moves = 0;
        best_pushes = 0;
    }
    return choose_skin();
}

int32_t TGame::move(int32_t dx, int32_t dy) {
    const int32_t result = level.move(dx, dy);
    if (result >= 0)
        draw_board();
    return result;
}

int32_t TGame::move_dir(int32_t direction) {
    int32_t dx, dy;
    if (!direction_delta(direction, dx, dy))
        return MOVE_NOT_A_STEP;
    return move(dx, dy);
}

int32_t TGame::undo(int32_t dx, int32_t dy, bool pushed) {
    const int32_t result = level.undo(dx, dy, pushed);
    if (result == 0)
        draw_board();
    return result;
}

int32_t TGame::undo_dir(int32_t direction, bool pushed) {
    int32_t dx, dy;
    if (!direction_delta(direction, dx, dy))
        return MOVE_NOT_A_STEP;
    return undo(dx, dy, pushed);
}

int32_t TGame::board_height() const {
    return screen->h - header_height - panel_height;
}

int32_t TGame::choose_skin() {
    const int32_t fit = fitting_skin(skins, skin_count, level.width, level.height, screen->w, board_height());
    skin = &skins[fit >= 0 ? fit : skin_count - 1];
    return fit >= 0 ? 0 : -1;
}

void TGame::clear_screen() {
    ::clear_screen(screen);
}

void TGame::draw_background() {
    ::draw_background(screen, background, header_height, board_height());
}

int32_t TGame::draw_board() {
    return skin ? ::draw_board(screen, *skin, level, header_height, board_height()) : -1;
}

void TGame::flip() {
    flip_surface(screen);
}

void TGame::draw_header() {
    ::draw_header(screen, font_big, header_height);
}

void TGame::draw_panel(const char* message, SDL_Color color) {
    const TPanelCounts counts = {level.number, static_cast<int32_t>(history.size()), pushes, best_moves, best_pushes};
    ::draw_panel(screen, font_small, panel_height, message, color, counts);
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
