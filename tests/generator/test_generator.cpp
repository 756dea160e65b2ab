// Generated levels: the same seed gives the same level, every level reads
// cleanly with the game's reader, and its stated pushes are the fewest.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "level/level_collection.h"
#include "tools/generator/generator.h"
#include "tools/solver/replay.h"
#include "tools/solver/solver.h"

namespace {

// Small rooms and a small pull search keep each attempt to milliseconds.
const TGeneratorProfile SMALL_ROOMS = {4, 6, 3, 5, 1, 2, STYLE_MIXED, 4, 1, 20000};
const TGeneratorProfile CORRIDORS = {10, 14, 6, 8, 2, 2, STYLE_CORRIDORS, 6, 2, 20000};

std::vector<TGeneratedLevel> make_levels(const TGeneratorProfile& profile, uint64_t seed, size_t count) {
    TGenerator generator(seed);
    std::vector<TGeneratedLevel> levels;
    for (int attempt = 0; attempt < 2000 && levels.size() < count; ++attempt) {
        TGeneratedLevel level;
        if (generator.make(profile, level))
            levels.push_back(level);
    }
    return levels;
}

void check_levels(const TGeneratorProfile& profile, const std::vector<TGeneratedLevel>& levels) {
    const std::string directory = BINARY_DIR "/";
    const std::string name = "generated_levels_under_test";
    {
        std::ofstream out(directory + name);
        for (size_t i = 0; i < levels.size(); ++i) {
            out << ";" << i + 1 << "\n'Test\n";
            for (const std::string& row : levels[i].rows)
                out << row << "\n";
            out << "\n";
        }
    }
    TLevelCollection collection;
    std::ostringstream messages;
    EXPECT_EQ(collection.import(directory, name, messages), 0);
    EXPECT_EQ(messages.str(), "");
    std::remove((directory + name).c_str());
    ASSERT_EQ(collection.levels.size(), levels.size());

    TSolver solver;
    for (size_t i = 0; i < levels.size(); ++i) {
        SCOPED_TRACE("level " + std::to_string(i + 1));
        for (const std::string& row : levels[i].rows) {
            EXPECT_EQ(row.back(), '#');
            EXPECT_EQ(row.find_first_not_of(' '), row.find('#'));
        }
        EXPECT_GE(levels[i].pushes, profile.min_pushes);
        EXPECT_GE(levels[i].box_changes, profile.min_box_changes);
        int32_t moves = 0;
        int32_t pushes = 0;
        EXPECT_EQ(replay_solution(*collection.levels[i], levels[i].solution, moves, pushes), REPLAY_SOLVED);
        EXPECT_EQ(pushes, levels[i].pushes);
        ASSERT_EQ(solver.solve(*collection.levels[i]), SOLVE_SOLVED);
        EXPECT_EQ(solver.pushes, levels[i].pushes);
    }
}

}  // namespace

TEST(Generator, SameSeedSameLevels) {
    const std::vector<TGeneratedLevel> first = make_levels(SMALL_ROOMS, 42, 3);
    const std::vector<TGeneratedLevel> again = make_levels(SMALL_ROOMS, 42, 3);
    const std::vector<TGeneratedLevel> other = make_levels(SMALL_ROOMS, 43, 3);
    ASSERT_EQ(first.size(), 3u);
    ASSERT_EQ(again.size(), 3u);
    ASSERT_EQ(other.size(), 3u);
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].rows, again[i].rows);
        EXPECT_EQ(first[i].solution, again[i].solution);
    }
    EXPECT_NE(first[0].rows, other[0].rows);
}

TEST(Generator, RoomLevelsReadCleanlyAndStateTheirFewestPushes) {
    const std::vector<TGeneratedLevel> levels = make_levels(SMALL_ROOMS, 7, 8);
    ASSERT_EQ(levels.size(), 8u);
    check_levels(SMALL_ROOMS, levels);
}

TEST(Generator, CorridorLevelsReadCleanlyAndStateTheirFewestPushes) {
    const std::vector<TGeneratedLevel> levels = make_levels(CORRIDORS, 7, 4);
    ASSERT_EQ(levels.size(), 4u);
    check_levels(CORRIDORS, levels);
}
