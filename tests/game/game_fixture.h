// A game object in a scratch working directory of its own: fonts and tile
// sets of one solid colour per tile in gfx/, levels/ for the test to fill,
// and an 800 x 600 32-bit window on the dummy video driver.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "app/game.h"
#include "tests/support/scratch_game.h"

namespace fs = std::filesystem;

// Tile k of the test set of this size, as 0xRRGGBB.
inline Uint32 tile_color(int32_t tile, int32_t size) {
    return (tile * 23) << 16 | (size * 2) << 8 | (200 - tile);
}

inline void fill(SDL_Surface* surface, SDL_Rect* rect, Uint32 rgb) {
    SDL_FillRect(surface, rect, SDL_MapRGB(surface->format, rgb >> 16, rgb >> 8 & 255, rgb & 255));
}

inline void write_file(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string read_file(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

inline void add_tiny_collection(const std::string& name) {
    write_file("levels/" + name, ";1\n'Tiny\n#####\n#@$.#\n#####\n");
}

inline void add_level_file(const std::string& fixture, const std::string& name) {
    fs::copy_file(std::string(TEST_DATA_DIR) + "/game/" + fixture, "levels/" + name);
}

// A w x h picture in one colour, its top-left pixel in another.
inline void write_bmp(const std::string& path, int32_t w, int32_t h, Uint32 rgb, Uint32 corner) {
    SDL_Surface* picture = SDL_CreateRGBSurface(0, w, h, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    fill(picture, nullptr, rgb);
    SDL_Rect dot = {0, 0, 1, 1};
    fill(picture, &dot, corner);
    SDL_SaveBMP(picture, path.c_str());
    SDL_FreeSurface(picture);
}

class GameTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        ASSERT_NO_FATAL_FAILURE(enter_scratch_directory("game", work_dir, old_dir));
        ASSERT_EQ(0, SDL_Init(SDL_INIT_VIDEO));
        ASSERT_EQ(0, TTF_Init());
        screen = SDL_SetVideoMode(800, 600, 32, 0);
        ASSERT_NE(nullptr, screen);
        for (int32_t size : {50, 40, 30, 20, 12}) {
            SDL_Surface* picture = SDL_CreateRGBSurface(0, 6 * size, 2 * size, 24, 0xFF0000, 0xFF00, 0xFF, 0);
            for (int32_t tile = 1; tile <= 10; ++tile) {
                SDL_Rect place = {Sint16((tile - 1) % 6 * size), Sint16((tile - 1) / 6 * size), Uint16(size),
                                  Uint16(size)};
                fill(picture, &place, tile_color(tile, size));
            }
            SDL_SaveBMP(picture, ("gfx/skin" + std::to_string(size) + ".bmp").c_str());
            SDL_FreeSurface(picture);
        }
        write_bmp("gfx/back.bmp", 8, 8, 1, 2);
    }

    void TearDown() override {
        shut_down_game(game);
        leave_scratch_directory(work_dir, old_dir);
    }

    TGame& make_game() {
        game = std::make_unique<TGame>();
        game->screen = screen;
        return *game;
    }

    TGame& start_game() {
        make_game();
        EXPECT_EQ(INIT_OK, game->init());
        return *game;
    }

    Uint32 pixel(int32_t x, int32_t y) const {
        const SDL_Surface* s = game->screen;
        const Uint32 value = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(s->pixels) + y * s->pitch)[x];
        Uint8 r, g, b;
        SDL_GetRGB(value, s->format, &r, &g, &b);
        return r << 16 | g << 8 | b;
    }

    // How many pixels of the rectangle are not of the colour.
    int32_t count_other(int32_t x, int32_t y, int32_t w, int32_t h, Uint32 rgb) const {
        int32_t other = 0;
        for (int32_t j = y; j < y + h; ++j)
            for (int32_t i = x; i < x + w; ++i)
                other += pixel(i, j) != rgb;
        return other;
    }

    std::string work_dir;
    std::string old_dir;
    SDL_Surface* screen = nullptr;
    std::unique_ptr<TGame> game;
};
