// The grid's bounds, the outside fill, the solved test and the working copy.
#include <gtest/gtest.h>

#include "level/play_level.h"
#include "tests/level/grid_text.h"

TEST(LevelGrid, CreateGetAndSetKeepToTheGrid) {
    TLevel level;
    ASSERT_EQ(level.create(4, 3), 0);
    // A refused size leaves the grid as it was; 65536 squared wraps to 0 in 32 bits.
    for (auto [width, height] : {std::pair{2, 10}, {10, 2}, {4097, 4096}, {65536, 65536}, {INT32_MAX, INT32_MAX}})
        EXPECT_EQ(level.create(width, height), -1) << width << " x " << height;
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {4, 0}, {0, 3}}) {
        EXPECT_EQ(level.set(x, y, CELL_WALL), -1);
        EXPECT_EQ(level.get(x, y), CELL_INVALID);
    }
    EXPECT_EQ(level.set(3, 2, 99), 0);
    EXPECT_EQ(grid_text(level), (Rows{"    ", "    ", "   !"}));
    ASSERT_EQ(level.release(), 0);
    EXPECT_EQ(level.release(), -1);
    EXPECT_EQ(level.get(0, 0), CELL_INVALID);
    EXPECT_EQ(level.create(4096, 4096), 0);
}

TEST(LevelGrid, OutsideFillPassesOnlyThroughFloor) {
    // A gap in the wall lets the outside in; boxes and targets hold it back as walls do.
    const std::vector<std::pair<Rows, Rows>> cases = {
        {{"######", "#  $ #", "#.    ", "######"}, {"######", "#__$_#", "#.____", "######"}},
        {{"  $  ", " . * ", "  $  "}, {"__$__", "_. *_", "__$__"}},
    };
    for (const auto& [before, after] : cases) {
        TLevel level;
        fill_grid(level, before);
        level.mark_outside();
        EXPECT_EQ(grid_text(level), after);
    }
}

TEST(LevelGrid, WorkingCopySharesNothingAndIsSolvedWithoutEmptyTargets) {
    TLevel source;
    fill_grid(source, {"######", "# *. #", "#  + #", "######"});
    source.set_number(7);
    source.set_name("'Seven");
    TPlayLevel copy;
    ASSERT_EQ(copy.copy_from(source), 0);
    EXPECT_EQ(grid_text(copy, copy.keeper_x, copy.keeper_y), (Rows{"######", "# *. #", "#  + #", "######"}));
    EXPECT_EQ(std::to_string(copy.number) + copy.name, "7'Seven");
    copy.set(3, 1, CELL_BOX_ON_TARGET);
    EXPECT_FALSE(copy.is_solved()) << "the keeper stands on a target";
    copy.set(3, 2, CELL_FLOOR);
    EXPECT_TRUE(copy.is_solved());
    EXPECT_EQ(source.get(3, 1), CELL_TARGET);
    EXPECT_FALSE(source.is_solved());
    // A grid the copy cannot make is refused, and without a grid nothing is solved.
    source.width = 2;
    TPlayLevel refused;
    EXPECT_EQ(refused.copy_from(source), -1);
    EXPECT_FALSE(refused.is_solved());
}
