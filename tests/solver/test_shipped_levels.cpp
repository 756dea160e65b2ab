// The collections we ship: each reads cleanly, fits the window, and every
// level's recorded solution solves it under the game's own move rules.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "level/level_collection.h"
#include "tools/solver/replay.h"

namespace {

const std::string LEVELS_DIR = SOURCE_DIR "/levels/";
// 800 x 600 less the header and panel bands, in the smallest tiles we accept.
const int32_t MAX_COLUMNS = 40;
const int32_t MAX_ROWS = 25;

struct TRecord {
    int32_t pushes = -1;
    int32_t moves = -1;
    std::string solution;
};

// Only regular files are collections to the game; solutions live below.
std::vector<std::string> shipped_collections() {
    std::vector<std::string> names;
    if (DIR* dir = opendir(LEVELS_DIR.c_str())) {
        while (dirent* entry = readdir(dir)) {
            struct stat info;
            if (stat((LEVELS_DIR + entry->d_name).c_str(), &info) == 0 && S_ISREG(info.st_mode))
                names.push_back(entry->d_name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::map<int32_t, TRecord> read_solutions(const std::string& name) {
    std::map<int32_t, TRecord> records;
    std::ifstream in(LEVELS_DIR + "solutions/" + name + ".txt");
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        int32_t number = 0;
        TRecord record;
        fields >> number >> record.pushes >> record.moves >> record.solution;
        records[number] = record;
    }
    return records;
}

}  // namespace

TEST(ShippedLevels, EveryCollectionReadsCleanlyAndFitsTheWindow) {
    const std::vector<std::string> names = shipped_collections();
    ASSERT_GE(names.size(), 5u);
    EXPECT_NE(std::find(names.begin(), names.end(), "default"), names.end());
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        TLevelCollection collection;
        std::ostringstream messages;
        EXPECT_EQ(collection.import(LEVELS_DIR, name, messages), 0);
        EXPECT_EQ(messages.str(), "");
        EXPECT_GE(collection.levels.size(), 20u);
        EXPECT_LE(collection.levels.size(), 40u);
        for (const auto& level : collection.levels) {
            EXPECT_GE(level->name.size(), 2u) << "level " << level->number << " has no title";
            EXPECT_LE(level->width, MAX_COLUMNS) << "level " << level->number;
            EXPECT_LE(level->height, MAX_ROWS) << "level " << level->number;
        }
    }
}

TEST(ShippedLevels, RecordedSolutionsSolveEveryLevel) {
    for (const std::string& name : shipped_collections()) {
        SCOPED_TRACE(name);
        TLevelCollection collection;
        std::ostringstream messages;
        ASSERT_EQ(collection.import(LEVELS_DIR, name, messages), 0);
        const std::map<int32_t, TRecord> records = read_solutions(name);
        EXPECT_EQ(records.size(), collection.levels.size());
        for (const auto& level : collection.levels) {
            const auto found = records.find(level->number);
            if (found == records.end()) {
                ADD_FAILURE() << "level " << level->number << " has no recorded solution";
                continue;
            }
            const TRecord& record = found->second;
            int32_t moves = 0;
            int32_t pushes = 0;
            EXPECT_EQ(replay_solution(*level, record.solution, moves, pushes), REPLAY_SOLVED)
                << "level " << level->number;
            EXPECT_EQ(moves, record.moves) << "level " << level->number;
            EXPECT_EQ(pushes, record.pushes) << "level " << level->number;
        }
    }
}
