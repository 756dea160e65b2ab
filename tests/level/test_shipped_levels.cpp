// The collections we ship: each reads cleanly, and its recorded solutions solve its levels under the game's rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "level/level_collection.h"
#include "level/play_level.h"

namespace {

// Plays a solution (l r u d a step, upper case a push) from the level's
// start: false as soon as a step is refused or its letter's case belies
// whether it pushed.
bool replay_solves(const TLevel& level, const std::string& letters) {
    TPlayLevel play;
    play.copy_from(level);
    for (const char letter : letters) {
        int32_t dx = 0, dy = 0;
        const size_t direction = std::string("lrud").find(std::tolower(static_cast<unsigned char>(letter)));
        const int32_t result = direction_delta(DIR_LEFT + int32_t(direction), dx, dy) ? play.move(dx, dy) : -1;
        if (result < 0 || (result == MOVE_PUSHED) != (std::isupper(static_cast<unsigned char>(letter)) != 0))
            return false;
    }
    return play.is_solved();
}

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
            int32_t number = 0, pushes = 0, moves = 0;
            int64_t states = 0;
            std::string letters;
            ASSERT_TRUE(solutions >> number >> pushes >> moves >> states >> letters) << "level " << level->number;
            EXPECT_EQ(level->number, number);
            EXPECT_TRUE(replay_solves(*level, letters)) << "level " << number;
            EXPECT_EQ(size_t(moves), letters.size()) << "level " << number;
            EXPECT_EQ(pushes, std::count_if(letters.begin(), letters.end(), ::isupper)) << "level " << number;
        }
    }
    EXPECT_GE(collections, 5);
}

}  // namespace
