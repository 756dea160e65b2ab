// The grid's bounds, the outside fill, the solved test and the working copy.
#include <gtest/gtest.h>

#include "level/play_level.h"
#include "tests/level/grid_text.h"

using Rows = std::vector<std::string>;

TEST(LevelGrid, CreateRefusesSmallHugeAndOverflowingSizes) {
    TLevel level;
    EXPECT_EQ(level.create(2, 10), -1);
    EXPECT_EQ(level.create(10, 2), -1);
    EXPECT_EQ(level.create(4097, 4096), -1);
    // 65536 squared wraps to 0 in 32 bits; the limit must see the true product.
    EXPECT_EQ(level.create(65536, 65536), -1);
    EXPECT_EQ(level.create(INT32_MAX, INT32_MAX), -1);
    EXPECT_EQ(level.width, 0);
    EXPECT_FALSE(level.cells);

    ASSERT_EQ(level.create(3, 3), 0);
    EXPECT_EQ(grid_text(level), (Rows{"   ", "   ", "   "}));
    ASSERT_EQ(level.release(), 0);
    EXPECT_EQ(level.release(), -1);
    EXPECT_EQ(level.get(0, 0), CELL_INVALID);
    EXPECT_EQ(level.set(0, 0, CELL_WALL), -1);
    EXPECT_EQ(level.create(4096, 4096), 0);
}

TEST(LevelGrid, GetAndSetStayInsideTheGrid) {
    TLevel level;
    ASSERT_EQ(level.create(4, 3), 0);
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {4, 0}, {0, 3}}) {
        EXPECT_EQ(level.set(x, y, CELL_WALL), -1);
        EXPECT_EQ(level.get(x, y), CELL_INVALID);
    }
    EXPECT_EQ(grid_text(level), (Rows{"    ", "    ", "    "}));
    EXPECT_EQ(level.set(3, 2, 99), 0);
    EXPECT_EQ(level.get(3, 2), 99);
}

TEST(LevelGrid, OutsideFillStopsAtEveryNonFloorCell) {
    TLevel closed;
    fill_grid(closed, {"  ####  ", "###  ###", "# $ .  #", "#  @   #", "########"});
    closed.mark_outside();
    EXPECT_EQ(grid_text(closed), (Rows{"__####__", "###  ###", "# $ .  #", "#      #", "########"}));

    TLevel gap;
    fill_grid(gap, {"######", "#  $ #", "#.@   ", "######"});
    gap.mark_outside();
    EXPECT_EQ(grid_text(gap), (Rows{"######", "#__$_#", "#.____", "######"}));

    // Boxes and targets hold back the fill as walls do.
    TLevel enclosed;
    fill_grid(enclosed, {"  $  ", " . * ", "  $  "});
    enclosed.mark_outside();
    EXPECT_EQ(grid_text(enclosed), (Rows{"__$__", "_. *_", "__$__"}));

    TLevel single;
    fill_grid(single, {"   ", "###", "   "});
    single.fill_outside_from(1, 1);
    single.fill_outside_from(0, 2);
    EXPECT_EQ(grid_text(single), (Rows{"   ", "###", "___"}));
}

TEST(LevelGrid, OutsideFillOfTheLargestOpenGridNeedsNoDeepStack) {
    TLevel level;
    ASSERT_EQ(level.create(4096, 4096), 0);
    level.fill_outside_from(2048, 2048);
    const int64_t count = int64_t{4096} * 4096;
    EXPECT_EQ(std::count(level.cells.get(), level.cells.get() + count, CELL_OUTSIDE), count);
}

TEST(LevelGrid, SolvedOnlyWithoutEmptyTargets) {
    TLevel level;
    fill_grid(level, {"#####", "#*@*#", "#####"});
    EXPECT_TRUE(level.is_solved());
    fill_grid(level, {"#####", "#*+$#", "#####"});
    EXPECT_FALSE(level.is_solved());
}

TEST(LevelGrid, WorkingCopySharesNothingWithItsSource) {
    TLevel source;
    fill_grid(source, {"######", "# $. #", "#  @ #", "######"});
    source.set_number(7);
    source.set_name("'Seven");
    TPlayLevel copy;
    copy.copy_from(source);
    EXPECT_EQ(grid_text(copy), grid_text(source));
    EXPECT_EQ(copy.number, 7);
    EXPECT_EQ(copy.name, "'Seven");
    EXPECT_EQ(copy.keeper_x, 3);
    EXPECT_EQ(copy.keeper_y, 2);

    copy.set(2, 1, CELL_FLOOR);
    EXPECT_EQ(source.get(2, 1), CELL_BOX);
    ASSERT_EQ(copy.release(), 0);
    EXPECT_EQ(source.get(2, 1), CELL_BOX);
}
