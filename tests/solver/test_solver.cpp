// The solver's verdicts on small fixture levels, and the replay that checks
// recorded solutions.
#include <gtest/gtest.h>

#include <sstream>

#include "level/level_collection.h"
#include "tools/solver/replay.h"
#include "tools/solver/solver.h"

namespace {

void read_fixture(const std::string& name, TLevelCollection& collection) {
    std::ostringstream messages;
    ASSERT_EQ(collection.import(TEST_DATA_DIR "/solver/", name, messages), 0);
    ASSERT_EQ(messages.str(), "");
}

}  // namespace

TEST(Solver, FindsTheFewestPushesAndAReplayableSolution) {
    // Counted by a breadth-first search over pushes without any pruning.
    const int32_t fewest[] = {1, 3, 2, 6, 5};
    TLevelCollection collection;
    read_fixture("solvable", collection);
    ASSERT_EQ(collection.levels.size(), std::size(fewest));
    TSolver solver;
    for (size_t i = 0; i < collection.levels.size(); ++i) {
        SCOPED_TRACE(collection.levels[i]->name);
        ASSERT_EQ(solver.solve(*collection.levels[i]), SOLVE_SOLVED);
        EXPECT_EQ(solver.pushes, fewest[i]);
        int32_t moves = 0;
        int32_t pushes = 0;
        EXPECT_EQ(replay_solution(*collection.levels[i], solver.solution, moves, pushes), REPLAY_SOLVED);
        EXPECT_EQ(moves, solver.moves);
        EXPECT_EQ(pushes, solver.pushes);
    }
}

TEST(Solver, ProvesDeadlockedLevelsUnsolvable) {
    // A box in a corner, a frozen pair, a frozen block, a keeper on the wrong
    // side, a target no box can reach, a box that can only go deeper in.
    TLevelCollection collection;
    read_fixture("unsolvable", collection);
    ASSERT_EQ(collection.levels.size(), 6u);
    TSolver solver;
    solver.time_limit = 5.0;
    for (const auto& level : collection.levels) {
        SCOPED_TRACE(level->name);
        EXPECT_EQ(solver.solve(*level), SOLVE_UNSOLVABLE);
        EXPECT_EQ(solver.solution, "");
    }
}

TEST(Solver, GivesUpAtItsStateLimit) {
    TLevelCollection collection;
    read_fixture("large", collection);
    ASSERT_EQ(collection.levels.size(), 1u);
    TSolver solver;
    solver.state_limit = 100;
    EXPECT_EQ(solver.solve(*collection.levels[0]), SOLVE_GAVE_UP);
    EXPECT_GT(solver.states, 100);
    EXPECT_EQ(solver.solution, "");
}

TEST(Solver, RefusesWhatIsNotALevel) {
    TLevel level;
    ASSERT_EQ(level.create(3, 3), 0);
    level.set_start(1, 1);
    TSolver solver;
    EXPECT_EQ(solver.solve(level), SOLVE_NOT_A_LEVEL);
}

TEST(Replay, RejectsSolutionsThatLieAboutTheirPushes) {
    TLevelCollection collection;
    read_fixture("solvable", collection);
    const TLevel& level = *collection.levels[1];
    int32_t moves = 0;
    int32_t pushes = 0;
    EXPECT_EQ(replay_solution(level, "dRRurD", moves, pushes), REPLAY_SOLVED);
    EXPECT_EQ(moves, 6);
    EXPECT_EQ(pushes, 3);
    EXPECT_EQ(replay_solution(level, "drrurD", moves, pushes), REPLAY_REFUSED);
    EXPECT_EQ(replay_solution(level, "dRRUrD", moves, pushes), REPLAY_REFUSED);
    EXPECT_EQ(replay_solution(level, "uR", moves, pushes), REPLAY_REFUSED);
    EXPECT_EQ(replay_solution(level, "dRRx", moves, pushes), REPLAY_BAD_LETTER);
    EXPECT_EQ(replay_solution(level, "dRR", moves, pushes), REPLAY_NOT_SOLVED);
    EXPECT_EQ(pushes, 2);
}
