// The tile size chosen for a board and a window, and what lands where in
// the window's three bands.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include <gtest/gtest.h>

#include "game_fixture.h"
#include "render/layout.h"

namespace {

const Rgb MARKER = {9, 99, 199};
const Rgb BLACK = {0, 0, 0};

class DrawingTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        add_tiny_collection("default");
    }

    // A board of floor framed by walls, the keeper in its top-left corner.
    void make_room(int32_t width, int32_t height) {
        make_grid(game->level, width, height, CELL_FLOOR);
        for (int32_t x = 0; x < width; ++x) {
            game->level.set(x, 0, CELL_WALL);
            game->level.set(x, height - 1, CELL_WALL);
        }
        for (int32_t y = 0; y < height; ++y) {
            game->level.set(0, y, CELL_WALL);
            game->level.set(width - 1, y, CELL_WALL);
        }
        game->level.keeper_x = 1;
        game->level.keeper_y = 1;
    }

    // The panel band as the fonts draw the given texts at the panel's places.
    SDL_Surface* expected_panel(const char* level, const char* moves, const char* pushes, const char* best) {
        SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 800, 600, 32, screen->format->Rmask,
                                              screen->format->Gmask, screen->format->Bmask, 0);
        game->font_small.draw_text_plain(s, 20, 568, level);
        game->font_small.draw_text_plain(s, 160, 568, moves);
        game->font_small.draw_text_plain(s, 300, 568, pushes);
        game->font_small.draw_text_aligned(s, 780, 568, COLOR_WHITE, ALIGN_RIGHT, best);
        return s;
    }

    bool panel_matches(SDL_Surface* expected) {
        bool same = true;
        for (int32_t y = 560; y < 600 && same; ++y) {
            const Uint32* want = reinterpret_cast<const Uint32*>(static_cast<Uint8*>(expected->pixels) +
                                                                 y * expected->pitch);
            const Uint32* got = reinterpret_cast<const Uint32*>(static_cast<Uint8*>(game->screen->pixels) +
                                                                y * game->screen->pitch);
            for (int32_t x = 0; x < 800 && same; ++x)
                same = (want[x] & 0xFFFFFF) == (got[x] & 0xFFFFFF);
        }
        SDL_FreeSurface(expected);
        return same;
    }
};

struct Fit {
    int32_t width, height, tile;
    int32_t result;
};

class TileSizeTest : public DrawingTest, public ::testing::WithParamInterface<Fit> {};

}  // namespace

TEST_P(TileSizeTest, TheLargestTilesThatFitTheBoardAreaAreChosen) {
    const Fit fit = GetParam();
    start_game();
    make_room(fit.width, fit.height);
    EXPECT_EQ(fit.result, game->choose_skin());
    EXPECT_EQ(fit.tile, game->skin->tile_width);
}

INSTANTIATE_TEST_SUITE_P(In800x600, TileSizeTest,
                         ::testing::Values(Fit{16, 10, 50, 0}, Fit{17, 10, 40, 0}, Fit{16, 11, 40, 0},
                                           Fit{20, 12, 40, 0}, Fit{19, 11, 40, 0}, Fit{20, 14, 30, 0},
                                           Fit{26, 17, 30, 0}, Fit{40, 25, 20, 0}, Fit{66, 42, 12, 0},
                                           Fit{67, 3, 12, -1}, Fit{3, 43, 12, -1}));

TEST_F(DrawingTest, AResizedWindowChoosesAgainByWidthAndHeight) {
    start_game();
    make_room(20, 12);
    EXPECT_EQ(0, game->choose_skin());
    EXPECT_EQ(40, game->skin->tile_width);
    game->resize(1000, 600);
    EXPECT_EQ(0, game->choose_skin());
    EXPECT_EQ(40, game->skin->tile_width);
    game->resize(1000, 689);
    EXPECT_EQ(0, game->choose_skin());
    EXPECT_EQ(40, game->skin->tile_width);
    game->resize(1000, 690);
    EXPECT_EQ(0, game->choose_skin());
    EXPECT_EQ(50, game->skin->tile_width);
    EXPECT_EQ(1000, game->screen->w);
    EXPECT_EQ(690, game->screen->h);
}

TEST_F(DrawingTest, TheBoardIsCentredInTheBoardArea) {
    start_game();
    struct Case {
        int32_t width, height, tile, left, top;
    };
    for (const Case& c : {Case{19, 11, 40, 20, 85}, Case{20, 14, 30, 100, 95}, Case{16, 10, 50, 0, 55}}) {
        SCOPED_TRACE(c.width);
        make_room(c.width, c.height);
        game->choose_skin();
        fill_screen(MARKER);
        EXPECT_EQ(0, game->draw_board());
        EXPECT_EQ(tile_color(TILE_WALL_JOIN_R, c.tile), pixel(c.left, c.top));
        if (c.left > 0) {
            EXPECT_EQ(MARKER, pixel(c.left - 1, c.top));
        }
        EXPECT_EQ(MARKER, pixel(c.left, c.top - 1));
        const int32_t right = c.left + c.width * c.tile - 1;
        const int32_t bottom = c.top + c.height * c.tile - 1;
        EXPECT_EQ(tile_color(TILE_WALL_JOIN_L, c.tile), pixel(right, bottom));
        if (right < 799) {
            EXPECT_EQ(MARKER, pixel(right + 1, bottom));
        }
        EXPECT_EQ(MARKER, pixel(right, bottom + 1));
        EXPECT_EQ(tile_color(TILE_KEEPER, c.tile), pixel(c.left + c.tile, c.top + c.tile));
    }
}

TEST_F(DrawingTest, ABoardStartingLeftOfTheWindowIsNotDrawn) {
    start_game();
    make_room(67, 10);
    EXPECT_EQ(-1, game->choose_skin());
    fill_screen(MARKER);
    EXPECT_EQ(-1, game->draw_board());
    EXPECT_TRUE(area_is(0, 0, 800, 600, MARKER));

    // Taller than the window: its top would lie above it.
    make_room(3, 51);
    fill_screen(MARKER);
    EXPECT_EQ(-1, game->draw_board());
    EXPECT_TRUE(area_is(0, 0, 800, 600, MARKER));
}

TEST_F(DrawingTest, ABoardTallerThanTheAreaRunsOverThePanelUntilRedrawn) {
    start_game();
    make_room(60, 50);
    EXPECT_EQ(-1, game->choose_skin());
    fill_screen(MARKER);
    EXPECT_EQ(0, game->draw_board());
    // 600 pixels high from top 5: the last row ends at the window's bottom.
    EXPECT_EQ(tile_color(TILE_WALL_JOIN_R, 12), pixel(40, 5));
    EXPECT_EQ(tile_color(TILE_WALL_JOIN_LR, 12), pixel(400, 599));
    game->redraw();
    EXPECT_TRUE(area_is(0, 560, 20, 40, BLACK));
    EXPECT_TRUE(area_is(0, 0, 20, 50, BLACK));
}

TEST_F(DrawingTest, EachCellGetsItsTile) {
    start_game();
    // Row 1: five walls in a row. Column 7: walls above and below only.
    // Row 4: walls at both edges. Row 5: every other kind of cell.
    make_grid(game->level, 9, 7, CELL_FLOOR);
    TLevel& level = game->level;
    for (int32_t x = 1; x <= 5; ++x)
        level.set(x, 1, CELL_WALL);
    for (int32_t y = 1; y <= 3; ++y)
        level.set(7, y, CELL_WALL);
    level.set(0, 4, CELL_WALL);
    level.set(8, 4, CELL_WALL);
    level.set(1, 5, CELL_TARGET);
    level.set(2, 5, CELL_OUTSIDE);
    level.set(3, 5, CELL_TARGET);
    level.set(5, 5, CELL_BOX_ON_TARGET);
    level.set(6, 5, CELL_BOX);
    game->level.keeper_x = 3;
    game->level.keeper_y = 5;
    game->choose_skin();
    ASSERT_EQ(50, game->skin->tile_width);
    // 9 x 7 at 50 pixels: left 175, top 130.
    auto cell = [this](int32_t x, int32_t y) { return pixel(175 + x * 50 + 25, 130 + y * 50 + 25); };
    fill_screen(MARKER);
    ASSERT_EQ(0, game->draw_board());

    const int32_t row_of_five[] = {TILE_WALL_JOIN_R, TILE_WALL_JOIN_LR, TILE_WALL_JOIN_LR, TILE_WALL_JOIN_LR,
                                   TILE_WALL_JOIN_L};
    for (int32_t x = 1; x <= 5; ++x)
        EXPECT_EQ(tile_color(row_of_five[x - 1], 50), cell(x, 1)) << x;
    for (int32_t y = 1; y <= 3; ++y)
        EXPECT_EQ(tile_color(TILE_WALL, 50), cell(7, y)) << y;
    EXPECT_EQ(tile_color(TILE_WALL, 50), cell(0, 4));
    EXPECT_EQ(tile_color(TILE_WALL, 50), cell(8, 4));
    EXPECT_EQ(tile_color(TILE_TARGET, 50), cell(1, 5));
    EXPECT_EQ(MARKER, cell(2, 5));
    EXPECT_EQ(tile_color(TILE_KEEPER_ON_TARGET, 50), cell(3, 5));
    EXPECT_EQ(tile_color(TILE_FLOOR, 50), cell(4, 5));
    EXPECT_EQ(tile_color(TILE_BOX_ON_TARGET, 50), cell(5, 5));
    EXPECT_EQ(tile_color(TILE_BOX, 50), cell(6, 5));

    game->level.keeper_x = 4;
    EXPECT_EQ(0, game->draw_board());
    EXPECT_EQ(tile_color(TILE_KEEPER, 50), cell(4, 5));
    EXPECT_EQ(tile_color(TILE_TARGET, 50), cell(3, 5));
}

TEST_F(DrawingTest, TheBackgroundIsTiledFromTheBoardAreaCornerAndClipped) {
    const Rgb fill = {10, 200, 30};
    const Rgb corner = {250, 5, 5};
    write_background(30, 23, fill, corner);
    start_game();
    fill_screen(MARKER);
    game->draw_background();

    EXPECT_TRUE(area_is(0, 0, 800, 50, MARKER));
    EXPECT_TRUE(area_is(0, 560, 800, 40, MARKER));
    EXPECT_EQ(corner, pixel(0, 50));
    EXPECT_EQ(fill, pixel(1, 50));
    EXPECT_EQ(corner, pixel(30, 50));
    EXPECT_EQ(corner, pixel(30, 73));
    EXPECT_EQ(corner, pixel(780, 50 + 22 * 23));
    EXPECT_EQ(fill, pixel(799, 559));

    // The clip rectangle is the whole window again.
    SDL_Rect clip;
    SDL_GetClipRect(game->screen, &clip);
    EXPECT_EQ(0, clip.y);
    EXPECT_EQ(600, clip.h);
}

TEST_F(DrawingTest, WithoutABackgroundTheAreaIsDarkGrey) {
    start_game();
    ASSERT_EQ(nullptr, game->background);
    fill_screen(MARKER);
    game->draw_background();
    EXPECT_TRUE(area_is(0, 50, 800, 510, Rgb{20, 20, 20}));
    EXPECT_TRUE(area_is(0, 49, 800, 1, MARKER));
    EXPECT_TRUE(area_is(0, 560, 800, 1, MARKER));
}

TEST_F(DrawingTest, ThePanelShowsLevelCountsAndBest) {
    start_game();
    ASSERT_EQ(0, game->start_level(0));
    game->history = {DIR_RIGHT | MOVE_PUSHED, DIR_LEFT, DIR_UP};
    game->pushes = 1;
    fill_screen(MARKER);
    game->draw_panel(nullptr, COLOR_RED);
    EXPECT_TRUE(panel_matches(expected_panel("Level: 1", "Moves: 3", "Pushes: 1", "Unsolved")));
    EXPECT_TRUE(area_is(0, 559, 800, 1, MARKER));

    game->best_moves = 57;
    game->best_pushes = 12;
    game->draw_panel(nullptr, COLOR_RED);
    EXPECT_TRUE(panel_matches(expected_panel("Level: 1", "Moves: 3", "Pushes: 1", "Highscore: 57 / 12")));
}

TEST_F(DrawingTest, APanelMessageIsAllThePanelShows) {
    start_game();
    ASSERT_EQ(0, game->start_level(0));
    fill_screen(MARKER);
    game->draw_panel("", COLOR_WHITE);
    EXPECT_TRUE(area_is(0, 560, 800, 40, BLACK));

    game->draw_frame();
    int32_t grey = 0, other = 0;
    for (int32_t y = 560; y < 600; ++y) {
        for (int32_t x = 0; x < 800; ++x) {
            const Rgb p = pixel(x, y);
            if (p.r == p.g && p.g == p.b && p.r <= 128)
                grey += p.r > 0;
            else
                ++other;
        }
    }
    EXPECT_GT(grey, 0);
    EXPECT_EQ(0, other);
    EXPECT_TRUE(area_is(0, 50, 800, 510, BLACK));
}

TEST_F(DrawingTest, TheHeaderCarriesTitleAndCreditInWhite) {
    start_game();
    fill_screen(MARKER);
    game->draw_header();
    EXPECT_TRUE(area_is(0, 0, 20, 50, BLACK));
    EXPECT_TRUE(area_is(780, 0, 20, 50, BLACK));
    EXPECT_TRUE(area_is(0, 50, 800, 1, MARKER));
    int32_t lit_left = 0, lit_right = 0;
    for (int32_t y = 0; y < 50; ++y)
        for (int32_t x = 20; x < 780; ++x)
            if (pixel(x, y) == Rgb{255, 255, 255})
                ++(x < 400 ? lit_left : lit_right);
    EXPECT_GT(lit_left, 0);
    EXPECT_GT(lit_right, 0);
}

TEST_F(DrawingTest, WindowsTooSmallForTheBandsDrawWithoutHarm) {
    write_background(7, 5, {1, 2, 3}, {4, 5, 6});
    start_game();
    ASSERT_EQ(0, game->start_level(0));
    for (int32_t h : {1, 30, 60, 89, 90, 91}) {
        SCOPED_TRACE(h);
        game->resize(h, h);
        game->choose_skin();
        game->draw_frame();
        game->redraw();
        game->flip();
    }
    // 91 pixels leave one row of board area, where the background shows.
    EXPECT_EQ((Rgb{4, 5, 6}), pixel(0, 50));
}

TEST_F(DrawingTest, AFailedModeChangeEndsTheGameButKeepsItsScores) {
    start_game();
    game->highscore.set_score("default", 1, TScore{6, 1});
    auto fail_resize = [this] {
        dup2(2, 1);
        // With its driver gone, SDL cannot set any mode.
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
        game->resize(640, 480);
    };
    EXPECT_EXIT(fail_resize(), ::testing::ExitedWithCode(41), "^SDL error: .+\n");
    std::ifstream in("scores.xml");
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(std::string::npos, text.str().find("<Level nr=\"1\" moves=\"6\" pushes=\"1\" />"));
}
