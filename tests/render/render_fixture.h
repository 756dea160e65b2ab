// A 32-bit window under the dummy video driver, a scratch directory, and
// hand-made BMP files for the rendering tests.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <SDL.h>
#include <gtest/gtest.h>

#include "render/skin.h"

struct Rgb {
    Uint8 r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

inline std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << "(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ")";
}

// The game keeps its tile sets until the process ends; a test gives the
// tiles back so leak checkers see only real leaks.
struct TestSkin : TSkin {
    ~TestSkin() {
        for (SDL_Surface* tile : tiles)
            SDL_FreeSurface(tile);
    }
};

using PixelFunction = std::function<Rgb(int x, int y)>;

inline void put_le(std::vector<uint8_t>& bytes, size_t at, uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// An uncompressed 24-bit BMP, bottom-up unless top_down is set; with_alpha
// makes it 32 bits with an alpha mask and every pixel fully transparent.
inline std::vector<uint8_t> make_bmp(int width, int height, const PixelFunction& pixel, bool top_down = false,
                                     bool with_alpha = false) {
    const int bytes_per_pixel = with_alpha ? 4 : 3;
    const int header = with_alpha ? 14 + 108 : 54;
    const int row_size = (width * bytes_per_pixel + 3) / 4 * 4;
    std::vector<uint8_t> bytes(header + row_size * height, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    put_le(bytes, 2, static_cast<uint32_t>(bytes.size()), 4);
    put_le(bytes, 10, header, 4);
    put_le(bytes, 14, header - 14, 4);
    put_le(bytes, 18, width, 4);
    put_le(bytes, 22, top_down ? -height : height, 4);
    put_le(bytes, 26, 1, 2);
    put_le(bytes, 28, bytes_per_pixel * 8, 2);
    if (with_alpha) {
        put_le(bytes, 30, 3, 4);
        const uint32_t red_green_blue_alpha[] = {0x00ff0000, 0x0000ff00, 0x000000ff, 0xff000000};
        for (int k = 0; k < 4; ++k)
            put_le(bytes, 54 + 4 * k, red_green_blue_alpha[k], 4);
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Rgb c = pixel(x, y);
            const size_t at = header + (top_down ? y : height - 1 - y) * row_size + x * bytes_per_pixel;
            bytes[at] = c.b;
            bytes[at + 1] = c.g;
            bytes[at + 2] = c.r;
        }
    return bytes;
}

class RenderTest : public ::testing::Test {
protected:
    static constexpr int SCREEN_W = 320;
    static constexpr int SCREEN_H = 240;

    void SetUp() override {
        ASSERT_EQ(0, SDL_Init(SDL_INIT_VIDEO)) << SDL_GetError();
        screen = SDL_SetVideoMode(SCREEN_W, SCREEN_H, 32, 0);
        ASSERT_NE(nullptr, screen) << SDL_GetError();
        char pattern[] = "/tmp/render_test_XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(pattern));
        dir = pattern;
    }

    void TearDown() override {
        SDL_Quit();
        if (!dir.empty())
            std::filesystem::remove_all(dir);
    }

    std::string write_file(const std::string& name, const std::vector<uint8_t>& bytes) const {
        const std::string path = dir + "/" + name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return path;
    }

    void fill_screen(Rgb c) { SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, c.r, c.g, c.b)); }

    Rgb pixel(int x, int y) const { return surface_pixel(screen, x, y); }

    static Rgb surface_pixel(SDL_Surface* surface, int x, int y) {
        const Uint32 value = static_cast<const Uint32*>(surface->pixels)[y * surface->pitch / 4 + x];
        Rgb c;
        SDL_GetRGB(value, surface->format, &c.r, &c.g, &c.b);
        return c;
    }

    // True when every pixel of the window still has colour c.
    bool screen_is(Rgb c) const {
        for (int y = 0; y < SCREEN_H; ++y)
            for (int x = 0; x < SCREEN_W; ++x)
                if (!(pixel(x, y) == c))
                    return false;
        return true;
    }

    SDL_Surface* screen = nullptr;
    std::string dir;
};
