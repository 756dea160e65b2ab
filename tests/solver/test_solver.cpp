// What would show a broken solver: one that misses the fewest pushes or a deadlock.
#include <gtest/gtest.h>

#include <sstream>

#include "level/level_collection.h"
#include "tools/solver/solver.h"

TEST(Solver, FindsTheFewestPushesAndProvesDeadlocksUnsolvable) {
    TLevelCollection solvable, unsolvable;
    std::ostringstream messages;
    ASSERT_EQ(0, solvable.import(TEST_DATA_DIR "/solver/", "solvable", messages));
    ASSERT_EQ(0, unsolvable.import(TEST_DATA_DIR "/solver/", "unsolvable", messages));
    // Counted by a breadth-first search over pushes without any pruning.
    const int32_t fewest[] = {1, 3, 2, 6, 5};
    ASSERT_EQ(std::size(fewest), solvable.levels.size());
    TSolver solver;
    for (size_t i = 0; i < std::size(fewest); ++i) {
        EXPECT_EQ(SOLVE_SOLVED, solver.solve(*solvable.levels[i])) << solvable.levels[i]->name;
        EXPECT_EQ(fewest[i], solver.pushes) << solvable.levels[i]->name;
    }
    solver.time_limit = 5.0;
    for (const auto& level : unsolvable.levels)
        EXPECT_EQ(SOLVE_UNSOLVABLE, solver.solve(*level)) << level->name;
}
