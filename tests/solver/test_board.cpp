// The solver's view of a level: dead squares, the push lower bound and
// frozen boxes, each of which can silently cut away real solutions.
#include <gtest/gtest.h>

#include <sstream>

#include "level/level_collection.h"
#include "tools/solver/board.h"

namespace {

TBoard board_of(const std::string& fixture, size_t index) {
    TLevelCollection collection;
    std::ostringstream messages;
    EXPECT_EQ(collection.import(TEST_DATA_DIR "/solver/", fixture, messages), 0);
    TBoard board;
    EXPECT_TRUE(board.load(*collection.levels.at(index)));
    return board;
}

int32_t square(const TBoard& board, int32_t x, int32_t y) {
    return board.square_of[y * board.width + x];
}

}  // namespace

TEST(Board, DeadSquaresAreCornersAndWallsWithoutTargets) {
    // "Round the corner": inside 4 x 3, target at (4, 3).
    const TBoard board = board_of("solvable", 1);
    EXPECT_TRUE(board.is_dead[square(board, 1, 1)]);
    EXPECT_TRUE(board.is_dead[square(board, 4, 1)]);
    EXPECT_TRUE(board.is_dead[square(board, 1, 2)]);
    EXPECT_TRUE(board.is_dead[square(board, 3, 1)]);
    // The right wall and the bottom wall lead to the target.
    EXPECT_FALSE(board.is_dead[square(board, 4, 2)]);
    EXPECT_FALSE(board.is_dead[square(board, 2, 3)]);
    EXPECT_FALSE(board.is_dead[square(board, 2, 2)]);
    EXPECT_FALSE(board.is_dead[square(board, 4, 3)]);
}

TEST(Board, LowerBoundNeverExceedsTheFewestPushes) {
    const int32_t fewest[] = {1, 3, 2, 6, 5};
    for (size_t i = 0; i < std::size(fewest); ++i) {
        const TBoard board = board_of("solvable", i);
        EXPECT_LE(board.lower_bound(board.start_boxes), fewest[i]) << "level " << i + 1;
    }
    EXPECT_EQ(board_of("solvable", 1).lower_bound(board_of("solvable", 1).start_boxes), 3);
    const TBoard unreachable = board_of("unsolvable", 4);
    EXPECT_EQ(unreachable.lower_bound(unreachable.start_boxes), BOARD_UNREACHABLE);
}

TEST(Board, FrozenBoxesAreADeadlockOnlyOffTheirTargets) {
    // "Four in a block": four boxes at (2..3, 2..3) in an open room.
    const TBoard board = board_of("unsolvable", 2);
    std::vector<uint8_t> box_at(board.cell_of.size(), 0);
    for (uint16_t box : board.start_boxes)
        box_at[box] = 1;
    EXPECT_TRUE(board.frozen_deadlock(square(board, 2, 2), box_at));

    // Take one box away and the others can move again.
    box_at[square(board, 3, 3)] = 0;
    EXPECT_FALSE(board.frozen_deadlock(square(board, 2, 2), box_at));

    // "Pair against the wall": target at (5, 1) on the same wall, so neither
    // square is dead, yet the pair can never move.
    const TBoard pair = board_of("unsolvable", 1);
    std::vector<uint8_t> pair_at(pair.cell_of.size(), 0);
    for (uint16_t box : pair.start_boxes)
        pair_at[box] = 1;
    EXPECT_FALSE(pair.is_dead[square(pair, 2, 1)]);
    EXPECT_TRUE(pair.frozen_deadlock(square(pair, 3, 1), pair_at));

    // A lone box against a wall can still slide along it.
    pair_at[square(pair, 2, 1)] = 0;
    EXPECT_FALSE(pair.frozen_deadlock(square(pair, 3, 1), pair_at));
}

TEST(Board, RefusesLevelsWithoutMatchingBoxesAndTargets) {
    TLevel level;
    ASSERT_EQ(level.create(5, 3), 0);
    for (int32_t x = 0; x < 5; ++x) {
        level.set(x, 0, CELL_WALL);
        level.set(x, 2, CELL_WALL);
    }
    level.set(0, 1, CELL_WALL);
    level.set(4, 1, CELL_WALL);
    level.set(2, 1, CELL_BOX);
    level.set_start(1, 1);
    TBoard board;
    EXPECT_FALSE(board.load(level));
    level.set(3, 1, CELL_TARGET);
    EXPECT_TRUE(board.load(level));
    level.set_start(2, 1);
    EXPECT_FALSE(board.load(level));
}
