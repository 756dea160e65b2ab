// The committed pictures in gfx/ and packaging/icons/ are what the art programs draw, pixel for pixel.
#include <png.h>

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "tests/support/pixels.h"
#include "tests/support/scratch_dir.h"

namespace {

// Width, height, then every pixel as 0xRRGGBB row by row; empty if the file
// cannot be read.
std::vector<Uint32> bmp_pixels(const std::string& file) {
    SDL_Surface* loaded = SDL_LoadBMP(file.c_str());
    if (!loaded)
        return {};
    SDL_PixelFormat format = *loaded->format;
    format.BitsPerPixel = 32;
    format.BytesPerPixel = 4;
    SDL_Surface* picture = SDL_ConvertSurface(loaded, &format, SDL_SWSURFACE);
    SDL_FreeSurface(loaded);
    std::vector<Uint32> pixels = {Uint32(picture->w), Uint32(picture->h)};
    for (int y = 0; y < picture->h; ++y)
        for (int x = 0; x < picture->w; ++x)
            pixels.push_back(pixel_at(picture, x, y));
    SDL_FreeSurface(picture);
    return pixels;
}

// Width, height, then every pixel's red, green, blue and alpha bytes.
std::vector<Uint32> png_pixels(const std::string& file) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, file.c_str()))
        return {};
    image.format = PNG_FORMAT_RGBA;
    std::vector<png_byte> bytes(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr))
        return {};
    std::vector<Uint32> pixels = {image.width, image.height};
    pixels.insert(pixels.end(), bytes.begin(), bytes.end());
    return pixels;
}

// Nobody edits the pictures by hand.
TEST(Pictures, CommittedPicturesAreWhatTheArtProgramsDraw) {
    TScratchDir dir("art");
    ASSERT_EQ(0, std::system(("'" MAKE_SKINS "' '" + dir.path + "'").c_str()));
    for (const char* name : {"skin50.bmp", "skin40.bmp", "skin30.bmp", "skin20.bmp", "skin12.bmp", "back.bmp"}) {
        const std::vector<Uint32> drawn = bmp_pixels(dir / name);
        ASSERT_FALSE(drawn.empty()) << name;
        EXPECT_TRUE(drawn == bmp_pixels(SOURCE_DIR "/gfx/" + std::string(name))) << name << " differs";
    }
    ASSERT_EQ(0, std::system(("'" MAKE_ICONS "' '" + dir.path + "'").c_str()));
    for (const char* size : {"16", "24", "32", "48", "64", "128", "256"}) {
        const std::string name = "cratoria-" + std::string(size) + ".png";
        const std::vector<Uint32> drawn = png_pixels(dir / name);
        ASSERT_FALSE(drawn.empty()) << name;
        EXPECT_TRUE(drawn == png_pixels(SOURCE_DIR "/packaging/icons/" + name)) << name << " differs";
    }
}

}  // namespace
