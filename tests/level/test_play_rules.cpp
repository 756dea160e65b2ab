// A keeper's step, a push and taking them back, with their result codes.
#include <gtest/gtest.h>

#include <tuple>

#include "level/play_level.h"
#include "tests/level/grid_text.h"

namespace {

// A board, the steps taken on it ("lrud" move, "LRUD" undo a push, "<>^v"
// undo a plain step), their results, and the board after them.
const std::vector<std::tuple<Rows, std::string, std::vector<int32_t>, Rows>> PLAY_CASES = {
    // Off the grid, onto outside, into a wall, a box into a wall, an unknown cell.
    {{"_#####", "_#$$ #", "@ $#.#", "_?.  #", "_#####"},
     "lururd",
     {MOVE_BLOCKED, MOVE_BLOCKED, MOVE_STEPPED, MOVE_BLOCKED, MOVE_BOX_BLOCKED, MOVE_UNKNOWN_CELL},
     {"_#####", "_#$$ #", " @$#.#", "_?.  #", "_#####"}},
    {{"#####", "#@$$#", "#####"}, "r", {MOVE_BOX_BLOCKED}, {"#####", "#@$$#", "#####"}},
    {{"###", "#@$", "#._"}, "rdr", {MOVE_BOX_BLOCKED, MOVE_STEPPED, MOVE_BLOCKED}, {"###", "# $", "#+_"}},
    // A box leaves its target behind and lands on another; the keeper walks over targets.
    {{"#######", "#@*  .#", "#######"},
     "rrrlll",
     {MOVE_PUSHED, MOVE_PUSHED, MOVE_PUSHED, MOVE_STEPPED, MOVE_STEPPED, MOVE_STEPPED},
     {"#######", "#@.  *#", "#######"}},
    // A plain step back leaves the box ahead; a push taken back where no box
    // stands ahead only moves the keeper.
    {{"######", "# @*.#", "######"},
     "rRlr>UL",
     {MOVE_PUSHED, MOVE_STEPPED, MOVE_STEPPED, MOVE_STEPPED, MOVE_STEPPED, MOVE_BLOCKED, MOVE_STEPPED},
     {"######", "# @*.#", "######"}},
    {{"###", "#@#", "#$#", "#.#", "###"},
     "dDd",
     {MOVE_PUSHED, MOVE_STEPPED, MOVE_PUSHED},
     {"###", "# #", "#@#", "#*#", "###"}},
};

}  // namespace

TEST(PlayRules, StepsPushesAndUndo) {
    for (const auto& [board, steps, expected, after] : PLAY_CASES) {
        TLevel source;
        fill_grid(source, board);
        TPlayLevel level;
        level.copy_from(source);
        std::vector<int32_t> results;
        for (char key : steps) {
            const size_t i = std::string("lrudLRUD<>^v").find(key);
            int32_t dx, dy;
            ASSERT_TRUE(direction_delta(DIR_LEFT + int32_t(i % 4), dx, dy));
            results.push_back(i < 4 ? level.move(dx, dy) : level.undo(dx, dy, i < 8));
        }
        EXPECT_EQ(results, expected) << steps;
        for (auto [x, y] : {std::pair{1, 1}, {0, 0}, {2, 0}, {0, -2}, {INT32_MIN, 0}}) {
            EXPECT_EQ(level.move(x, y), MOVE_NOT_A_STEP);
            EXPECT_EQ(level.undo(x, y, true), MOVE_NOT_A_STEP);
        }
        EXPECT_EQ(grid_text(level, level.keeper_x, level.keeper_y), after) << steps;
    }
    int32_t dx = 5, dy = 5;
    EXPECT_FALSE(direction_delta(DIR_DOWN + 1, dx, dy));
    EXPECT_EQ(std::pair(dx, dy), std::pair(0, 0));
}
