// Draws boards through the game's own drawing with gfx/'s tiles, so they show what players see: a sample board at each
// tile size, or every level of a collection in the 800 x 600 window.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include <SDL.h>
#include <SDL_ttf.h>

#include "level/level_collection.h"
#include "render/draw.h"
#include "render/image.h"
#include "render/layout.h"

namespace {

constexpr int32_t HEADER_HEIGHT = 50;
constexpr int32_t PANEL_HEIGHT = 40;
constexpr int32_t SKIN_COUNT = 5;
constexpr int32_t SKIN_SIZES[SKIN_COUNT] = {50, 40, 30, 20, 12};

// Every kind of tile: the three wall joins and the lone wall, floor,
// targets, boxes on floor and on targets, and the keeper.
const char* const SAMPLE = ";1\n\n"
                           "    #####\n"
                           " ####   ####\n"
                           " #  . $ .  #\n"
                           "##  *###*  ##\n"
                           "#  $  @  $  #\n"
                           "#   ##.##   #\n"
                           "###  $.   ###\n"
                           "  #########\n";

// What the drawing needs, loaded from gfx/ as the game loads it.
struct TArt {
    TSkin skins[SKIN_COUNT];
    SDL_Surface* background = nullptr;
    TFont font_big;
    TFont font_small;
};

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
void draw_collection(SDL_Surface* screen, const TArt& art, const std::string& path, const std::string& output) {
    const size_t slash = path.rfind('/');
    const std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
    TLevelCollection collection;
    if (collection.import(path.substr(0, path.size() - file.size()), file) != 0)
        fail("cannot read " + path + " cleanly");
    const int32_t height = screen->h - HEADER_HEIGHT - PANEL_HEIGHT;
    for (size_t i = 0; i < collection.levels.size(); ++i) {
        TPlayLevel level;
        if (level.copy_from(*collection.levels[i]) != 0)
            fail("cannot copy level " + std::to_string(i + 1));
        const int32_t fit = fitting_skin(art.skins, SKIN_COUNT, level.width, level.height, screen->w, height);
        draw_background(screen, art.background, HEADER_HEIGHT, height);
        draw_board(screen, art.skins[fit >= 0 ? fit : SKIN_COUNT - 1], level, HEADER_HEIGHT, height);
        draw_header(screen, art.font_big, HEADER_HEIGHT);
        draw_panel(screen, art.font_small, PANEL_HEIGHT, nullptr, COLOR_WHITE, {level.number, 0, 0, 0, 0});
        const SDL_Rect all = {0, 0, static_cast<Uint16>(screen->w), static_cast<Uint16>(screen->h)};
        char number[32];
        std::snprintf(number, sizeof number, "%03zu", i + 1);
        save(screen, all, output + "/" + file + "-" + number + ".bmp");
    }
}

// The sample board in a window that leaves one tile of background around
// it, at every tile size; only the board area is kept.
void draw_sizes(const TArt& art, const std::string& output) {
    TLevelCollection sample;
    if (sample.import_text(SAMPLE, "sample", std::cerr) != 0)
        fail("the sample board does not read cleanly");
    TPlayLevel level;
    level.copy_from(*sample.levels[0]);
    for (const TSkin& skin : art.skins) {
        const int32_t size = skin.tile_width;
        const int32_t w = (level.width + 2) * size;
        const int32_t h = (level.height + 2) * size;
        SDL_Surface* screen = SDL_SetVideoMode(w, h + HEADER_HEIGHT + PANEL_HEIGHT, 32, 0);
        if (!screen)
            fail(std::string("SDL: ") + SDL_GetError());
        draw_background(screen, art.background, HEADER_HEIGHT, h);
        draw_board(screen, skin, level, HEADER_HEIGHT, h);

        const SDL_Rect area = {0, static_cast<Sint16>(HEADER_HEIGHT), static_cast<Uint16>(w), static_cast<Uint16>(h)};
        save(screen, area, output + "/board-" + std::to_string(size) + ".bmp");
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
        SDL_Surface* screen = SDL_SetVideoMode(800, 600, 32, 0);
        if (!screen)
            fail(std::string("SDL: ") + SDL_GetError());
        TArt art;
        for (int32_t i = 0; i < SKIN_COUNT; ++i) {
            const int32_t size = SKIN_SIZES[i];
            if (art.skins[i].load(size, size, 32, "gfx/skin" + std::to_string(size) + ".bmp") != 0)
                fail("no tile set of " + std::to_string(size) + " pixels");
        }
        if (art.font_big.open("gfx/base02.ttf", 30) != 0 || art.font_small.open("gfx/vera.ttf", 20) != 0)
            fail("no fonts in gfx/");
        art.background = load_image("gfx/back.bmp");
        if (argc == 3)
            draw_collection(screen, art, argv[2], output);
        else
            draw_sizes(art, output);
        art.font_big.close();
        art.font_small.close();
        SDL_FreeSurface(art.background);
    }
    TTF_Quit();
    SDL_Quit();
    return 0;
}
