// The tile size chosen for a board and a window, and what lands where in
// the window's three bands.
#include <cstring>

#include "game_fixture.h"
#include "render/image.h"
#include "render/layout.h"

namespace {

const Uint32 MARKER = 0x0963C7;

class DrawingTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        add_tiny_collection("default");
        start_game();
    }

    // Floor framed by walls, the keeper in the top-left corner of the floor.
    void make_room(int32_t width, int32_t height) {
        TLevel& level = game->level;
        level.release();
        ASSERT_EQ(0, level.create(width, height));
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
                if (x == 0 || y == 0 || x == width - 1 || y == height - 1)
                    level.set(x, y, CELL_WALL);
        game->level.keeper_x = 1;
        game->level.keeper_y = 1;
    }

    void mark_screen() { fill(game->screen, nullptr, MARKER); }
};

}  // namespace

TEST_F(DrawingTest, TheLargestTilesThatFitTheBoardAreaAreChosen) {
    struct Fit {
        int32_t width, height, tile, result;
    };
    for (const Fit& fit :
         {Fit{16, 10, 50, 0}, Fit{17, 10, 40, 0}, Fit{16, 11, 40, 0}, Fit{20, 12, 40, 0}, Fit{20, 14, 30, 0},
          Fit{26, 17, 30, 0}, Fit{40, 25, 20, 0}, Fit{66, 42, 12, 0}, Fit{67, 3, 12, -1}, Fit{3, 43, 12, -1}}) {
        make_room(fit.width, fit.height);
        EXPECT_EQ(fit.result, game->choose_skin()) << fit.width << " x " << fit.height;
        EXPECT_EQ(fit.tile, game->skin->tile_width) << fit.width << " x " << fit.height;
    }

    // A wider window alone does not make room for larger tiles.
    make_room(20, 12);
    for (int32_t h : {600, 689, 690}) {
        game->resize(1000, h);
        EXPECT_EQ(0, game->choose_skin());
        EXPECT_EQ(h < 690 ? 40 : 50, game->skin->tile_width) << h;
    }
}

TEST_F(DrawingTest, TheBoardIsCentredOrNotDrawnAtAll) {
    struct Case {
        int32_t width, height, tile, left, top;
    };
    for (const Case& c : {Case{19, 11, 40, 20, 85}, Case{20, 14, 30, 100, 95}, Case{16, 10, 50, 0, 55}}) {
        SCOPED_TRACE(c.width);
        make_room(c.width, c.height);
        game->choose_skin();
        mark_screen();
        EXPECT_EQ(0, game->draw_board());
        const int32_t right = c.left + c.width * c.tile - 1;
        const int32_t bottom = c.top + c.height * c.tile - 1;
        EXPECT_EQ(tile_color(TILE_WALL_JOIN_R, c.tile), pixel(c.left, c.top));
        EXPECT_EQ(tile_color(TILE_WALL_JOIN_L, c.tile), pixel(right, bottom));
        EXPECT_EQ(tile_color(TILE_KEEPER, c.tile), pixel(c.left + c.tile, c.top + c.tile));
        EXPECT_EQ(MARKER, pixel(c.left, c.top - 1));
        EXPECT_EQ(MARKER, pixel(right, bottom + 1));
        if (c.left > 0) {
            EXPECT_EQ(MARKER, pixel(c.left - 1, c.top));
        }
    }

    // 804 pixels wide would start at x = -2; 612 high would start above y = 0.
    for (int32_t width : {67, 3}) {
        make_room(width, width == 3 ? 51 : 10);
        game->choose_skin();
        mark_screen();
        EXPECT_EQ(-1, game->draw_board());
        EXPECT_EQ(0, count_other(0, 0, 800, 600, MARKER));
    }

    // 600 pixels high from y = 5: runs over the panel until redrawn.
    make_room(60, 50);
    EXPECT_EQ(-1, game->choose_skin());
    EXPECT_EQ(0, game->draw_board());
    EXPECT_EQ(tile_color(TILE_WALL_JOIN_R, 12), pixel(40, 5));
    EXPECT_EQ(tile_color(TILE_WALL_JOIN_LR, 12), pixel(400, 599));
    game->redraw();
    EXPECT_EQ(0, count_other(0, 560, 20, 40, 0));
}

TEST_F(DrawingTest, EachCellGetsItsTile) {
    // Row 1: five walls in a row. Column 7: walls above and below only.
    // Row 4: walls at both edges. Row 5: every other kind of cell.
    make_room(9, 7);
    TLevel& level = game->level;
    for (int32_t y = 0; y < 7; ++y)
        for (int32_t x = 0; x < 9; ++x)
            level.set(x, y,
                      (y == 1 && x >= 1 && x <= 5) || (x == 7 && y >= 1 && y <= 3) || (y == 4 && (x == 0 || x == 8))
                          ? CELL_WALL
                          : CELL_FLOOR);
    const int32_t row5[] = {CELL_FLOOR, CELL_TARGET,        CELL_OUTSIDE, CELL_TARGET,
                            CELL_FLOOR, CELL_BOX_ON_TARGET, CELL_BOX};
    for (int32_t x = 0; x < 7; ++x)
        level.set(x, 5, row5[x]);
    game->level.keeper_x = 3;
    game->level.keeper_y = 5;
    game->choose_skin();
    mark_screen();
    ASSERT_EQ(0, game->draw_board());
    // 9 x 7 with 50-pixel tiles from (175, 130).
    auto tile_at = [this](int32_t x, int32_t y) { return pixel(200 + x * 50, 155 + y * 50); };

    const int32_t row1[] = {TILE_WALL_JOIN_R, TILE_WALL_JOIN_LR, TILE_WALL_JOIN_LR, TILE_WALL_JOIN_LR,
                            TILE_WALL_JOIN_L};
    for (int32_t x = 1; x <= 5; ++x)
        EXPECT_EQ(tile_color(row1[x - 1], 50), tile_at(x, 1)) << x;
    for (int32_t y = 1; y <= 3; ++y)
        EXPECT_EQ(tile_color(TILE_WALL, 50), tile_at(7, y)) << y;
    EXPECT_EQ(tile_color(TILE_WALL, 50), tile_at(0, 4));
    EXPECT_EQ(tile_color(TILE_WALL, 50), tile_at(8, 4));
    EXPECT_EQ(tile_color(TILE_TARGET, 50), tile_at(1, 5));
    EXPECT_EQ(MARKER, tile_at(2, 5));
    EXPECT_EQ(tile_color(TILE_KEEPER_ON_TARGET, 50), tile_at(3, 5));
    EXPECT_EQ(tile_color(TILE_FLOOR, 50), tile_at(4, 5));
    EXPECT_EQ(tile_color(TILE_BOX_ON_TARGET, 50), tile_at(5, 5));
    EXPECT_EQ(tile_color(TILE_BOX, 50), tile_at(6, 5));
}

TEST_F(DrawingTest, TheBackgroundIsTiledFromTheBoardAreaCornerAndClipped) {
    SDL_FreeSurface(game->background);
    game->background = nullptr;
    mark_screen();
    game->draw_background();
    EXPECT_EQ(0, count_other(0, 50, 800, 510, 0x141414));

    write_bmp("gfx/back.bmp", 30, 23, 0x0AC81E, 0xFA0505);
    game->background = load_image("gfx/back.bmp");
    mark_screen();
    game->draw_background();
    EXPECT_EQ(0, count_other(0, 0, 800, 50, MARKER));
    EXPECT_EQ(0, count_other(0, 560, 800, 40, MARKER));
    EXPECT_EQ(0xFA0505u, pixel(0, 50));
    EXPECT_EQ(0x0AC81Eu, pixel(1, 50));
    EXPECT_EQ(0xFA0505u, pixel(30, 73));
    EXPECT_EQ(0xFA0505u, pixel(780, 50 + 22 * 23));
    SDL_Rect clip;
    SDL_GetClipRect(game->screen, &clip);
    EXPECT_EQ(600, clip.h);
}

TEST_F(DrawingTest, ThePanelShowsLevelCountsAndBest) {
    ASSERT_EQ(0, game->start_level(0));
    game->history = {DIR_RIGHT | MOVE_PUSHED, DIR_LEFT, DIR_UP};
    game->pushes = 1;
    SDL_Surface* expected = SDL_ConvertSurface(game->screen, game->screen->format, 0);
    for (const char* best : {"Unsolved", "Highscore: 57 / 12"}) {
        SCOPED_TRACE(best);
        fill(expected, nullptr, 0);
        game->font_small.draw_text_plain(expected, 20, 568, "Level: 1");
        game->font_small.draw_text_plain(expected, 160, 568, "Moves: 3");
        game->font_small.draw_text_plain(expected, 300, 568, "Pushes: 1");
        game->font_small.draw_text_aligned(expected, 780, 568, COLOR_WHITE, ALIGN_RIGHT, best);
        mark_screen();
        game->draw_panel(nullptr, COLOR_RED);
        EXPECT_EQ(0,
                  memcmp(static_cast<Uint8*>(expected->pixels) + 560 * expected->pitch,
                         static_cast<Uint8*>(game->screen->pixels) + 560 * game->screen->pitch, 40 * expected->pitch));
        EXPECT_EQ(MARKER, pixel(0, 559));
        game->best_moves = 57;
        game->best_pushes = 12;
    }
    SDL_FreeSurface(expected);

    game->draw_panel("", COLOR_WHITE);
    EXPECT_EQ(0, count_other(0, 560, 800, 40, 0));
}

TEST_F(DrawingTest, WindowsTooLowForTheBandsDrawWithoutHarm) {
    write_bmp("gfx/back.bmp", 7, 5, 0x010203, 0x040506);
    SDL_FreeSurface(game->background);
    game->background = load_image("gfx/back.bmp");
    ASSERT_EQ(0, game->start_level(0));
    for (int32_t h : {1, 30, 60, 89, 90, 91}) {
        game->resize(h, h);
        game->choose_skin();
        game->draw_frame();
        game->redraw();
        game->flip();
    }
    // 91 pixels leave one row of board area, where the background shows.
    EXPECT_EQ(0x040506u, pixel(0, 50));
}

TEST_F(DrawingTest, AFailedModeChangeEndsTheGameButKeepsItsScores) {
    game->highscore.set_score("default", 1, TScore{6, 1});
    auto fail_resize = [this] {
        dup2(2, 1);
        // With its driver gone, SDL cannot set any mode.
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
        game->resize(640, 480);
    };
    EXPECT_EXIT(fail_resize(), ::testing::ExitedWithCode(41), "^SDL error: .+\n$");
    EXPECT_NE(std::string::npos, read_file("scores.xml").find("<Level nr=\"1\" moves=\"6\" pushes=\"1\" />"));
}
