// What would show a broken level tool: a solver that misses the fewest
// pushes or a deadlock, or a generator that gives other levels for a seed.
#include <gtest/gtest.h>

#include <sstream>

#include "level/level_collection.h"
#include "tools/generator/generator.h"
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

TEST(Generator, TheSameSeedGivesTheSameLevels) {
    const TGeneratorProfile small_rooms = {4, 6, 3, 5, 1, 2, STYLE_MIXED, 4, 1, 20000};
    auto make = [&](uint64_t seed) {
        TGenerator generator(seed);
        std::vector<TGeneratedLevel> levels(3);
        for (TGeneratedLevel& level : levels)
            for (int attempt = 0; attempt < 1000 && !generator.make(small_rooms, level); ++attempt) {
            }
        return levels;
    };
    const std::vector<TGeneratedLevel> first = make(42), again = make(42);
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].rows, again[i].rows);
    }
    EXPECT_NE(first[0].rows, make(43)[0].rows);
}
