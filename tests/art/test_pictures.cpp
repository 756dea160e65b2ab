// The committed tile sets and background in gfx/ are what the art program draws, pixel for pixel.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/scratch_dir.h"

namespace {

// The size and pixels of a BMP file as SDL loads it; empty if it cannot.
std::string pixels(const std::string& file) {
    SDL_Surface* picture = SDL_LoadBMP(file.c_str());
    if (!picture)
        return "";
    const std::string pixels = std::to_string(picture->w) + "x" + std::to_string(picture->h) + ":" +
                               std::string(static_cast<char*>(picture->pixels), size_t(picture->pitch) * picture->h);
    SDL_FreeSurface(picture);
    return pixels;
}

// Nobody edits the pictures by hand.
TEST(Pictures, CommittedPicturesAreWhatTheArtProgramDraws) {
    TScratchDir dir("art");
    ASSERT_EQ(0, std::system(("'" MAKE_SKINS "' '" + dir.path + "'").c_str()));
    for (const char* name : {"skin50.bmp", "skin40.bmp", "skin30.bmp", "skin20.bmp", "skin12.bmp", "back.bmp"}) {
        const std::string drawn = pixels(dir / name);
        EXPECT_TRUE(!drawn.empty() && drawn == pixels(SOURCE_DIR "/gfx/" + std::string(name))) << name << " differs";
    }
}

}  // namespace
