// Draws boards through the game's own drawing with gfx/'s tiles, so they show what players see: a sample board at each
// tile size, or every level of a collection in the 800 x 600 window.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <SDL.h>
#include <SDL_ttf.h>

#include "app/game.h"
#include "level/level_collection.h"
#include "render/image.h"

namespace {

// Every kind of tile: the three wall joins and the lone wall, floor,
// targets, boxes on floor and on targets, and the keeper.
const char* const SAMPLE[] = {
    "    #####",     " ####   ####",  " #  . $ .  #",  "##  *###*  ##",
    "#  $  @  $  #", "#   ##.##   #", "###  $.   ###", "  #########",
};
constexpr int32_t SAMPLE_WIDTH = 13;
constexpr int32_t SAMPLE_HEIGHT = sizeof SAMPLE / sizeof SAMPLE[0];

void build_sample(TPlayLevel& level) {
    level.create(SAMPLE_WIDTH, SAMPLE_HEIGHT);
    for (int32_t y = 0; y < SAMPLE_HEIGHT; ++y) {
        for (int32_t x = 0; SAMPLE[y][x] != '\0'; ++x) {
            switch (SAMPLE[y][x]) {
            case '#':
                level.set(x, y, CELL_WALL);
                break;
            case '.':
                level.set(x, y, CELL_TARGET);
                break;
            case '$':
                level.set(x, y, CELL_BOX);
                break;
            case '*':
                level.set(x, y, CELL_BOX_ON_TARGET);
                break;
            case '@':
                level.keeper_x = x;
                level.keeper_y = y;
                break;
            }
        }
    }
    level.mark_outside();
}

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "board_shots: %s\n", what.c_str());
    std::exit(1);
}

void save(SDL_Surface* surface, const SDL_Rect& area, const std::string& file) {
    SDL_Surface* shot = SDL_CreateRGBSurface(0, area.w, area.h, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    if (!shot)
        fail(std::string("SDL: ") + SDL_GetError());
    SDL_Rect from = area;
    SDL_UpperBlit(surface, &from, shot, nullptr);
    if (SDL_SaveBMP(shot, file.c_str()) != 0)
        fail("cannot write " + file);
    SDL_FreeSurface(shot);
}

// Each level as it opens in play, in the window's first size, so a level
// too large for it shows in the smallest tiles, cut off.
void draw_collection(TGame& game, const std::string& path, const std::string& output) {
    const size_t slash = path.rfind('/');
    const std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
    TLevelCollection collection;
    if (collection.import(path.substr(0, path.size() - file.size()), file) != 0)
        fail("cannot read " + path + " cleanly");
    game.collection = &collection;
    for (size_t i = 0; i < collection.levels.size(); ++i) {
        game.start_level(static_cast<int32_t>(i));
        game.redraw();
        const SDL_Rect all = {0, 0, static_cast<Uint16>(game.screen->w), static_cast<Uint16>(game.screen->h)};
        char number[32];
        std::snprintf(number, sizeof number, "%03zu", i + 1);
        save(game.screen, all, output + "/" + file + "-" + number + ".bmp");
    }
    game.collection = nullptr;
}

// The sample board in a window that leaves one tile of background around
// it, at every tile size; only the board area is kept.
void draw_sizes(TGame& game, const std::string& output) {
    build_sample(game.level);
    for (int32_t i = 0; i < SKIN_COUNT; ++i) {
        const int32_t size = game.skins[i].tile_width;
        const int32_t w = (SAMPLE_WIDTH + 2) * size;
        const int32_t h = (SAMPLE_HEIGHT + 2) * size;
        game.screen = SDL_SetVideoMode(w, h + game.header_height + game.panel_height, 32, 0);
        if (!game.screen)
            fail(std::string("SDL: ") + SDL_GetError());
        game.skin = &game.skins[i];
        game.draw_background();
        game.draw_board();

        const SDL_Rect area = {0, static_cast<Sint16>(game.header_height), static_cast<Uint16>(w),
                               static_cast<Uint16>(h)};
        save(game.screen, area, output + "/board-" + std::to_string(size) + ".bmp");
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3)
        fail("usage: board_shots OUTPUT_DIRECTORY [COLLECTION_FILE] (run where gfx/ is)");
    const std::string output = argv[1];
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    if (SDL_Init(SDL_INIT_VIDEO) < 0 || TTF_Init() != 0)
        fail(std::string("SDL: ") + SDL_GetError());

    {
        TGame game;
        game.screen = SDL_SetVideoMode(800, 600, 32, 0);
        if (!game.screen)
            fail(std::string("SDL: ") + SDL_GetError());
        for (int32_t i = 0; i < SKIN_COUNT; ++i) {
            const int32_t size = i < SKIN_COUNT - 1 ? 50 - 10 * i : 12;
            if (game.skins[i].load(size, size, 32, "gfx/skin" + std::to_string(size) + ".bmp") != 0)
                fail("no tile set of " + std::to_string(size) + " pixels");
        }
        game.background = load_image("gfx/back.bmp");
        if (argc == 3)
            draw_collection(game, argv[2], output);
        else
            draw_sizes(game, output);
        game.font_big.close();
        game.font_small.close();
    }
    TTF_Quit();
    SDL_Quit();
    return 0;
}
