// The collections we ship: each reads cleanly, and its recorded solutions solve its levels under the game's rules.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "level/level_collection.h"
#include "tools/solver/replay.h"

TEST(ShippedLevels, RecordedSolutionsSolveEveryLevel) {
    const std::string directory = SOURCE_DIR "/levels/";
    int collections = 0;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        if (!entry.is_regular_file())
            continue;
        const std::string name = entry.path().filename();
        SCOPED_TRACE(name);
        ++collections;
        TLevelCollection collection;
        std::ostringstream messages;
        ASSERT_EQ(0, collection.import(directory, name, messages));
        EXPECT_EQ("", messages.str());

        // A heading, then one line per level in order: number, pushes, moves, the solver's
        // states, solution.
        std::ifstream solutions(directory + "solutions/" + name + ".txt");
        solutions.ignore(1000, '\n');
        for (const auto& level : collection.levels) {
            int32_t number = 0, pushes = 0, moves = 0, replayed_moves = 0, replayed_pushes = 0;
            int64_t states = 0;
            std::string letters;
            ASSERT_TRUE(solutions >> number >> pushes >> moves >> states >> letters) << "level " << level->number;
            EXPECT_EQ(level->number, number);
            EXPECT_EQ(REPLAY_SOLVED, replay_solution(*level, letters, replayed_moves, replayed_pushes)) << number;
            EXPECT_EQ(moves, replayed_moves) << "level " << number;
            EXPECT_EQ(pushes, replayed_pushes) << "level " << number;
        }
    }
    EXPECT_GE(collections, 5);
}
