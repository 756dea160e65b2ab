// Cutting skin bitmaps into tiles and drawing them.
#include "render/skin.h"
#include "render_fixture.h"

namespace {

// Tiles wider than high, so a swapped width and height shows.
constexpr int W = 5;
constexpr int H = 3;

// Tile k in colour 0x102030 * k at its place in the skin bitmap, grey elsewhere.
Uint32 skin_colour(int x, int y) {
    const int column = x / W, row = y / H;
    if (row == 0 && column < 6)
        return 0x102030 * (column + 1);
    return row == 1 && column < 4 ? 0x102030 * (column + 7) : 0x808080;
}

class Skin : public RenderTest {
protected:
    // Tile k drawn at (10, 20) on black, checked at its corners.
    void expect_tile(const TSkin& skin, int k, Uint32 colour) {
        fill(0);
        EXPECT_EQ(0, skin.draw_tile(k, screen, 10, 20)) << "tile " << k;
        for (auto [x, y] : {std::pair{10, 20}, {9 + W, 20}, {10, 19 + H}, {9 + W, 19 + H}})
            EXPECT_EQ(colour, pixel_at(screen, x, y)) << "tile " << k;
    }
};

TEST_F(Skin, TilesAreCutFromTheirPlacesInABitmapOfAnySize) {
    // The smallest lacks the sixth column of tiles: that tile stays blank.
    for (auto [width, height] : {std::pair{6 * W, 2 * H}, {6 * W + 7, 2 * H + 4}, {5 * W, 2 * H}}) {
        TSkin skin;
        ASSERT_EQ(0, skin.load(W, H, 32, file("skin.bmp", make_bmp(width, height, skin_colour))));
        for (int k = 1; k <= 10; ++k)
            expect_tile(skin, k, k == 6 && width < 6 * W ? 0 : 0x102030 * k);
    }
}

TEST_F(Skin, OnlyTilesOfALoadedSetAreDrawnAndAFailedLoadKeepsThem) {
    TSkin skin;
    fill(0x090909);
    EXPECT_EQ(-1, skin.draw_tile(TILE_FLOOR, screen, 0, 0));
    ASSERT_EQ(0, skin.load(W, H, 32, file("skin.bmp", make_bmp(6 * W, 2 * H, skin_colour))));
    for (int k : {0, 11, -1})
        EXPECT_EQ(-1, skin.draw_tile(k, screen, 0, 0)) << k;
    EXPECT_EQ(0x090909u, pixel_at(screen, 0, 0));

    testing::internal::CaptureStderr();
    EXPECT_EQ(-1, skin.load(20, 20, 32, dir / "skin20.bmp"));
    EXPECT_EQ("load_image: error opening " + (dir / "skin20.bmp") + "\n", testing::internal::GetCapturedStderr());
    EXPECT_TRUE(skin.tile_width == 20 && skin.tile_height == 20);
    expect_tile(skin, TILE_BOX, 0x102030 * 3);
    ASSERT_EQ(0, skin.load(W, H, 32, file("grey.bmp", make_bmp(6 * W, 2 * H, [](int, int) { return 0x5a5a5a; }))));
    expect_tile(skin, TILE_BOX, 0x5a5a5a);
}

}  // namespace
