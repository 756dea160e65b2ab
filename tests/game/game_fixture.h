// A game object in a scratch working directory of its own: test fonts and
// tile sets in gfx/, level files in levels/, an 800 x 600 32-bit window on
// the dummy video driver.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <SDL.h>
#include <gtest/gtest.h>

#include "app/game.h"

struct Rgb {
    Uint8 r, g, b;
    bool operator==(const Rgb& other) const { return r == other.r && g == other.g && b == other.b; }
};

void PrintTo(const Rgb& color, std::ostream* out);

// The solid colour of tile k in the test tile set of the given size: every
// tile of every size can be told from every other by one pixel.
Rgb tile_color(int32_t tile, int32_t size);

class GameTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void write_file(const std::string& path, const std::string& text);
    // Copies tests/data/game/<fixture> to levels/<name>.
    void add_level_file(const std::string& fixture, const std::string& name);
    // Writes a small valid collection of one level to levels/<name>.
    void add_tiny_collection(const std::string& name);
    void write_skin(int32_t size, const std::string& path);
    // Writes a back.bmp of w x h in one colour with its top-left pixel in another.
    void write_background(int32_t w, int32_t h, Rgb fill, Rgb corner);

    // Constructs the game object with the window set, as main does.
    TGame& make_game();
    // make_game and init, which must succeed.
    TGame& start_game();

    Rgb pixel(int32_t x, int32_t y) const;
    void fill_screen(Rgb color);
    // True when every pixel of the rectangle has the colour.
    bool area_is(int32_t x, int32_t y, int32_t w, int32_t h, Rgb color) const;

    std::string work_dir;
    std::string old_dir;
    SDL_Surface* screen = nullptr;
    std::unique_ptr<TGame> game;
};

// Working-level grids built in place, without a level file.
void make_grid(TLevel& level, int32_t width, int32_t height, int32_t fill);
