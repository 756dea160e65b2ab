// A 32-bit window under the dummy video driver, a scratch directory, and hand-made BMP files for the rendering tests.
#pragma once

#include <functional>
#include <vector>

#include <SDL.h>
#include <gtest/gtest.h>

#include "tests/support/pixels.h"
#include "tests/support/scratch_dir.h"

inline void put_le(std::string& bytes, size_t at, uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// A 32-bit BMP of 0xRRGGBB colours, bottom row first unless top_down. Its
// alpha mask makes every pixel fully transparent, which the game ignores.
inline std::string make_bmp(int width, int height, const std::function<Uint32(int, int)>& colour,
                            bool top_down = false) {
    std::string bytes(122 + 4 * width * height, '\0');
    bytes.replace(0, 2, "BM");
    put_le(bytes, 10, 122, 4);  // where the pixels start
    put_le(bytes, 14, 108, 4);  // the size of the header that follows
    put_le(bytes, 18, width, 4);
    put_le(bytes, 22, top_down ? -height : height, 4);
    put_le(bytes, 26, 1, 2);
    put_le(bytes, 28, 32, 2);
    put_le(bytes, 30, 3, 4);  // colours by the masks that follow
    const uint32_t red_green_blue_alpha[] = {0x00ff0000, 0x0000ff00, 0x000000ff, 0xff000000};
    for (int k = 0; k < 4; ++k)
        put_le(bytes, 54 + 4 * k, red_green_blue_alpha[k], 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            put_le(bytes, 122 + 4 * ((top_down ? y : height - 1 - y) * width + x), colour(x, y), 3);
    return bytes;
}

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(0, SDL_Init(SDL_INIT_VIDEO)) << SDL_GetError();
        screen = SDL_SetVideoMode(320, 240, 32, 0);
        ASSERT_NE(nullptr, screen) << SDL_GetError();
    }
    void TearDown() override { SDL_Quit(); }

    std::string file(const std::string& name, const std::string& bytes) const {
        write_file(dir / name, bytes);
        return dir / name;
    }
    void fill(Uint32 rgb) { SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, rgb >> 16, rgb >> 8, rgb)); }
    // Every pixel of the window, row by row.
    std::vector<Uint32> pixels() const {
        std::vector<Uint32> all;
        for (int y = 0; y < screen->h; ++y)
            for (int x = 0; x < screen->w; ++x)
                all.push_back(pixel_at(screen, x, y));
        return all;
    }

    SDL_Surface* screen = nullptr;
    TScratchDir dir{"render"};
};
