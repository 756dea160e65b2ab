// A keeper's step, a push and taking them back, with their result codes.
#include <gtest/gtest.h>

#include "level/play_level.h"
#include "tests/level/grid_text.h"

using Rows = std::vector<std::string>;

namespace {

struct TBoard {
    explicit TBoard(const Rows& rows) {
        TLevel source;
        fill_grid(source, rows);
        level.copy_from(source);
    }
    Rows text() const { return grid_text(level); }
    std::pair<int32_t, int32_t> keeper() const { return {level.keeper_x, level.keeper_y}; }

    TPlayLevel level;
};

}  // namespace

TEST(PlayRules, DirectionCodes) {
    const std::vector<std::pair<int32_t, int32_t>> deltas = {{0, 0}, {-1, 0}, {1, 0}, {0, -1}, {0, 1}, {0, 0}};
    for (int32_t direction = 0; direction <= 5; ++direction) {
        int32_t dx = 9, dy = 9;
        EXPECT_EQ(direction_delta(direction, dx, dy), direction >= DIR_LEFT && direction <= DIR_DOWN);
        EXPECT_EQ(std::make_pair(dx, dy), deltas[direction]) << direction;
    }
}

TEST(PlayRules, RefusedStepsChangeNothing) {
    TBoard board({"_#####", "_#$$ #", "@ $#.#", "_#.  #", "_#####"});
    const Rows before = board.text();
    for (auto [dx, dy] : {std::pair{1, 1}, {0, 0}, {2, 0}, {0, -2}, {INT32_MIN, 0}})
        EXPECT_EQ(board.level.move(dx, dy), MOVE_NOT_A_STEP);
    EXPECT_EQ(board.level.move(-1, 0), MOVE_BLOCKED) << "off the grid";
    EXPECT_EQ(board.level.move(0, -1), MOVE_BLOCKED) << "outside";
    ASSERT_EQ(board.level.move(1, 0), MOVE_STEPPED);
    EXPECT_EQ(board.level.move(0, -1), MOVE_BLOCKED) << "wall";
    EXPECT_EQ(board.level.move(1, 0), MOVE_BOX_BLOCKED) << "box into wall";
    board.level.set(1, 3, 5);
    EXPECT_EQ(board.level.move(0, 1), MOVE_UNKNOWN_CELL);
    board.level.set(1, 3, CELL_WALL);
    EXPECT_EQ(board.keeper(), std::make_pair(1, 2));
    EXPECT_EQ(board.text(), before);

    TBoard two_boxes({"#####", "#@$$#", "#####"});
    EXPECT_EQ(two_boxes.level.move(1, 0), MOVE_BOX_BLOCKED);
    EXPECT_EQ(two_boxes.keeper(), std::make_pair(1, 1));
    EXPECT_EQ(two_boxes.text(), (Rows{"#####", "# $$#", "#####"}));
    TBoard edge({"###", "#@$", "#._"});
    EXPECT_EQ(edge.level.move(1, 0), MOVE_BOX_BLOCKED) << "box off the grid";
    EXPECT_EQ(edge.level.move(0, 1), MOVE_STEPPED);
    EXPECT_EQ(edge.level.move(1, 0), MOVE_BLOCKED);
}

TEST(PlayRules, PushesCarryTheTargetUnderTheBox) {
    TBoard board({"#######", "#@*  .#", "#######"});
    EXPECT_EQ(board.level.move(1, 0), MOVE_PUSHED);
    EXPECT_EQ(board.text(), (Rows{"#######", "# .$ .#", "#######"}));
    EXPECT_EQ(board.level.move(1, 0), MOVE_PUSHED);
    EXPECT_EQ(board.level.move(1, 0), MOVE_PUSHED);
    EXPECT_EQ(board.text(), (Rows{"#######", "# .  *#", "#######"}));
    EXPECT_FALSE(board.level.is_solved());
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(board.level.move(-1, 0), MOVE_STEPPED);
    EXPECT_EQ(board.keeper(), std::make_pair(1, 1));
    EXPECT_EQ(board.level.get(2, 1), CELL_TARGET) << "the keeper walked over the target";
}

TEST(PlayRules, UndoTakesBackExactlyOneStep) {
    TBoard board({"######", "# @*.#", "######"});
    const Rows start = board.text();
    ASSERT_EQ(board.level.move(1, 0), MOVE_PUSHED);
    EXPECT_EQ(board.level.undo(1, 0, true), 0);
    EXPECT_EQ(board.text(), start);
    EXPECT_EQ(board.keeper(), std::make_pair(2, 1));

    // A plain step back must not drag the box standing ahead.
    ASSERT_EQ(board.level.move(-1, 0), MOVE_STEPPED);
    ASSERT_EQ(board.level.move(1, 0), MOVE_STEPPED);
    EXPECT_EQ(board.level.undo(1, 0, false), 0);
    EXPECT_EQ(board.text(), start);
    EXPECT_EQ(board.keeper(), std::make_pair(1, 1));

    // A push taken back where no box stands ahead only moves the keeper.
    EXPECT_EQ(board.level.undo(0, -1, true), MOVE_BLOCKED);
    EXPECT_EQ(board.level.undo(-1, 0, true), 0);
    EXPECT_EQ(board.keeper(), std::make_pair(2, 1));
    EXPECT_EQ(board.text(), start);
    EXPECT_EQ(board.level.undo(1, 1, false), MOVE_NOT_A_STEP);
}
