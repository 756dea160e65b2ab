// Cutting skin bitmaps into tiles and drawing them, and the committed
// pictures in gfx/.
#include <cstdio>

#include "render/image.h"
#include "render/skin.h"
#include "render_fixture.h"

namespace {

// Tiles wider than high, so a swapped width and height shows.
constexpr int TILE_W = 5;
constexpr int TILE_H = 3;

const Rgb SPARE = {1, 2, 3};

// Tile number k gets its own colour; everything else is SPARE.
Rgb tile_color(int k) {
    return {static_cast<Uint8>(20 * k), static_cast<Uint8>(250 - 20 * k), static_cast<Uint8>(100 + k)};
}

int tile_at(int x, int y) {
    const int column = x / TILE_W, row = y / TILE_H;
    if (row == 0 && column < 6)
        return column + 1;
    if (row == 1 && column < 4)
        return column + 7;
    return 0;
}

Rgb skin_pixel(int x, int y) {
    const int k = tile_at(x, y);
    return k ? tile_color(k) : SPARE;
}

class SkinTest : public RenderTest {
protected:
    std::string write_skin(const std::string& name, int width, int height) {
        return write_file(name, make_bmp(width, height, skin_pixel));
    }

    // Draws tile k at (x, y) on a black window and checks its four corners.
    void expect_tile_drawn(const TSkin& skin, int k, Rgb color) {
        fill_screen({0, 0, 0});
        EXPECT_EQ(0, skin.draw_tile(k, screen, 10, 20));
        EXPECT_EQ(color, pixel(10, 20)) << "tile " << k;
        EXPECT_EQ(color, pixel(10 + TILE_W - 1, 20)) << "tile " << k;
        EXPECT_EQ(color, pixel(10, 20 + TILE_H - 1)) << "tile " << k;
        EXPECT_EQ(color, pixel(10 + TILE_W - 1, 20 + TILE_H - 1)) << "tile " << k;
        EXPECT_EQ((Rgb{0, 0, 0}), pixel(10 + TILE_W, 20)) << "tile " << k;
        EXPECT_EQ((Rgb{0, 0, 0}), pixel(10, 20 + TILE_H)) << "tile " << k;
    }
};

TEST_F(SkinTest, EveryTileIsCutFromItsPlace) {
    for (auto [width, height] : {std::pair{6 * TILE_W, 2 * TILE_H}, std::pair{6 * TILE_W + 7, 2 * TILE_H + 4}}) {
        TestSkin skin;
        ASSERT_EQ(0, skin.load(TILE_W, TILE_H, 32, write_skin("skin.bmp", width, height)));
        EXPECT_EQ(TILE_W, skin.tile_width);
        EXPECT_EQ(TILE_H, skin.tile_height);
        for (int k = 1; k <= SKIN_TILE_COUNT; ++k) {
            ASSERT_NE(nullptr, skin.tiles[k - 1]);
            EXPECT_EQ(TILE_W, skin.tiles[k - 1]->w);
            EXPECT_EQ(TILE_H, skin.tiles[k - 1]->h);
            expect_tile_drawn(skin, k, tile_color(k));
        }
    }
}

TEST_F(SkinTest, BitmapSmallerThanTheGridStillLoads) {
    TestSkin skin;
    ASSERT_EQ(0, skin.load(TILE_W, TILE_H, 32, write_skin("small.bmp", 6 * TILE_W - 2, 2 * TILE_H)));
    expect_tile_drawn(skin, TILE_WALL_JOIN_L, tile_color(TILE_WALL_JOIN_L));

    // The keeper-on-target tile lost its last two columns: they stay blank.
    fill_screen({255, 255, 255});
    EXPECT_EQ(0, skin.draw_tile(TILE_KEEPER_ON_TARGET, screen, 0, 0));
    EXPECT_EQ(tile_color(TILE_KEEPER_ON_TARGET), pixel(TILE_W - 3, 0));
    EXPECT_EQ((Rgb{0, 0, 0}), pixel(TILE_W - 2, 0));
    EXPECT_EQ((Rgb{0, 0, 0}), pixel(TILE_W - 1, TILE_H - 1));
}

TEST_F(SkinTest, TileNumbersOutsideTheSetAndMissingTilesDrawNothing) {
    TestSkin unloaded;
    fill_screen({9, 9, 9});
    for (int k = 1; k <= SKIN_TILE_COUNT; ++k)
        EXPECT_EQ(-1, unloaded.draw_tile(k, screen, 0, 0)) << k;

    TestSkin skin;
    ASSERT_EQ(0, skin.load(TILE_W, TILE_H, 32, write_skin("skin.bmp", 6 * TILE_W, 2 * TILE_H)));
    for (int k : {0, 11, -1, 255})
        EXPECT_EQ(-1, skin.draw_tile(k, screen, 0, 0)) << k;
    EXPECT_TRUE(screen_is({9, 9, 9}));
}

TEST_F(SkinTest, FailedLoadSetsTheSizeAndKeepsTheTiles) {
    TestSkin skin;
    ASSERT_EQ(0, skin.load(TILE_W, TILE_H, 32, write_skin("skin.bmp", 6 * TILE_W, 2 * TILE_H)));
    const std::string missing = dir + "/skin20.bmp";
    testing::internal::CaptureStderr();
    EXPECT_EQ(-1, skin.load(20, 20, 32, missing));
    EXPECT_EQ("load_image: error opening " + missing + "\n", testing::internal::GetCapturedStderr());
    EXPECT_EQ(20, skin.tile_width);
    EXPECT_EQ(20, skin.tile_height);
    expect_tile_drawn(skin, TILE_BOX, tile_color(TILE_BOX));
}

TEST_F(SkinTest, LoadingAgainReplacesTheTiles) {
    TestSkin skin;
    ASSERT_EQ(0, skin.load(TILE_W, TILE_H, 32, write_skin("skin.bmp", 6 * TILE_W, 2 * TILE_H)));
    const Rgb grey = {90, 90, 90};
    ASSERT_EQ(0, skin.load(TILE_W, TILE_H, 32,
                           write_file("grey.bmp", make_bmp(6 * TILE_W, 2 * TILE_H, [&](int, int) { return grey; }))));
    for (int k = 1; k <= SKIN_TILE_COUNT; ++k)
        expect_tile_drawn(skin, k, grey);
}

TEST_F(SkinTest, CommittedPicturesLoadAsTileSetsOfTheirSize) {
    for (int size : {50, 40, 30, 20, 12}) {
        const std::string file = std::string(SOURCE_DIR) + "/gfx/skin" + std::to_string(size) + ".bmp";
        SDL_Surface* picture = load_image(file);
        ASSERT_NE(nullptr, picture) << file;
        EXPECT_EQ(6 * size, picture->w);
        EXPECT_EQ(2 * size, picture->h);
        SDL_FreeSurface(picture);

        TestSkin skin;
        ASSERT_EQ(0, skin.load(size, size, 32, file));
        for (SDL_Surface* tile : skin.tiles) {
            ASSERT_NE(nullptr, tile);
            EXPECT_EQ(size, tile->w);
            EXPECT_EQ(size, tile->h);
        }
    }
    SDL_Surface* back = load_image(std::string(SOURCE_DIR) + "/gfx/back.bmp");
    EXPECT_NE(nullptr, back);
    SDL_FreeSurface(back);
}

std::vector<char> file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Nobody edits the pictures by hand: they are what the art program draws.
TEST_F(SkinTest, CommittedPicturesAreWhatTheArtProgramDraws) {
    const std::string command = "'" + std::string(MAKE_SKINS) + "' '" + dir + "'";
    ASSERT_EQ(0, std::system(command.c_str()));
    for (const char* name : {"skin50.bmp", "skin40.bmp", "skin30.bmp", "skin20.bmp", "skin12.bmp", "back.bmp"}) {
        const std::vector<char> drawn = file_bytes(dir + "/" + name);
        ASSERT_FALSE(drawn.empty()) << name;
        EXPECT_TRUE(drawn == file_bytes(std::string(SOURCE_DIR) + "/gfx/" + name)) << name << " differs";
    }
}

}  // namespace
