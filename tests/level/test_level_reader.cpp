// Reading collection files: the format's states, every message in order, line ends, unreadable, huge or damaged files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include <unistd.h>

#include "level/level_collection.h"
#include "tests/level/grid_text.h"
#include "tests/support/child.h"
#include "tests/support/scratch_dir.h"

namespace {

const std::string MINI = "#####\n#@$.#\n#####\n";

// A file's text, the result of reading it, the messages (each line after
// "TLevelCollection.import: set: "), and per kept level its number and title
// on a line, then its grid with the keeper's start.
const std::vector<std::tuple<std::string, int32_t, std::string, std::string>> READ_CASES = {
    {"Set\n\n;1\n'First  \n" + MINI + "\n\nnotes\n; two\n\n  ####\n### .#\n# *$ #\n# @###\n####\n\n;3\n'No rows\n", 0,
     "", "1 'First  \n" + MINI + "2\n__####\n### .#\n# *$ #\n# @###\n####__\n"},
    // The title slot is always consumed, even by a row or by a second header.
    {";1\n#######\n" + MINI + "\n;2\n;3\n\n" + MINI + "\n\n\n", 0, "", "1\n" + MINI + "2\n" + MINI},
    {";1\n'\n'R w\n" + MINI, -2, repeat("level 1: error on line 1\n", 3), "1 '\n!!_!_\n" + MINI},
    // Only spaces before a row's first wall, a wall at its end, no tab, no NUL,
    // no carriage return but one before a line feed.
    {";\n\n #####\n #@$.#  \n  $#####\n#\t#\n#" + std::string(1, '\0') + "#\n#\r#\n#####\r", -2,
     "level 1: error on line 2\nlevel 1: error on line 3\nlevel 1: error on line 4\nlevel 1: error on line 5\n"
     "level 1: error on line 6\nlevel 1: error on line 7\n",
     "1\n_#####__\n_#@$.#_!\n__!#####\n#!#_____\n#!#_____\n#!#_____\n#####!__\n"},
    // A keeper left of the first wall is none; of several, the last one starts.
    {";\n\n #######\n@#@ x$.x\n #    $#\n #+  @ #\n #######\n", -2,
     repeat("level 1: error on line 2\n", 3) + "level 1: there must be one guy\n",
     "1\n_#######\n!#  !$.!\n_#    $#\n_#.  @ #\n_#######\n"},
    // A line of spaces or a header right below a level is one more row of it.
    {";\n\n" + MINI + "  \n;2\n\n" + MINI, -2, "level 1: error on line 4\n" + repeat("level 1: error on line 5\n", 2),
     "1\n" + MINI + "_!___\n!!___\n"},
    // The checks run independently; the end of the file completes a level
    // without a line end behind it.
    {";\n\n######\n#@+$$#\n######\n\n;\n\n#####\n#@ .#\n#####\n\n;\n\n#####\n#@ ##\n#####", -2,
     "level 1: there must be one guy\nlevel 1: number of targets does not match number of boxes\n"
     "level 2: number of targets does not match number of boxes\nlevel 2: has no boxes\nlevel 3: has no boxes\n",
     "1\n######\n# +$$#\n######\n2\n#####\n#@ .#\n#####\n3\n#####\n#@ ##\n#####\n"},
    {";\n\n#####\n#####\n\n;\n\n##\n#@\n##\n\n;\n\n###\n#@#\n#$#\n#.#\n###\n", -2,
     "level 1: level is smaller than 3 x 3\nlevel 2: level is smaller than 3 x 3\n", "3\n###\n#@#\n#$#\n#.#\n###\n"},
    // 152 errors, of which the first 100 are shown; then exactly 100.
    {";\n\n#" + std::string(150, '\t') + "#\n#$.#\n###\n\n;\n\n#####\n# $.#\n#####\n", -2,
     repeat("level 1: error on line 1\n", 100) + "52 more errors not shown\n",
     "1\n#" + std::string(150, '!') + "#\n#$.#" + std::string(148, '_') + "\n###" + std::string(149, '_') +
         "\n2\n#####\n# $.#\n#####\n"},
    {";\n\n#" + std::string(99, '\t') + "#\n#$.#\n###\n", -2,
     repeat("level 1: error on line 1\n", 99) + "level 1: there must be one guy\n",
     "1\n#" + std::string(99, '!') + "#\n#$.#" + std::string(97, '_') + "\n###" + std::string(98, '_') + "\n"},
};

// Records what a stream holds each time it is flushed.
struct TFlushLog : std::stringbuf {
    std::vector<std::string> flushed;
    int sync() override {
        flushed.push_back(str());
        return 0;
    }
};

}  // namespace

TEST(LevelReader, ReadsTheFormatWithEveryMessageFlushedInOrder) {
    TScratchDir dir;
    for (const auto& [plain, result, messages, kept] : READ_CASES) {
        // A file with CR LF line ends reads exactly as one with LF.
        std::string crlf;
        for (char c : plain)
            crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        for (const std::string& text : {plain, crlf}) {
            write_file(dir / "set", text);
            TFlushLog log;
            std::ostream stream(&log);
            TLevelCollection collection;
            EXPECT_EQ(collection.import(dir.path + "/", "set", stream), result) << text;
            std::vector<std::string> flushes;
            std::string shown;
            std::istringstream lines(messages);
            for (std::string line; std::getline(lines, line);)
                flushes.push_back(shown += "TLevelCollection.import: set: " + line + "\n");
            EXPECT_EQ(log.flushed, flushes) << text;
            std::string levels;
            for (const auto& level : collection.levels) {
                levels += std::to_string(level->number) + (level->name.empty() ? "\n" : " " + level->name + "\n");
                for (const std::string& row : grid_text(*level, level->start_x, level->start_y))
                    levels += row + "\n";
            }
            EXPECT_EQ(levels, kept) << text;
        }
    }
}

TEST(LevelReader, FilesThatCannotBeRead) {
    TScratchDir dir;
    write_file(dir / "kept", ";\n\n" + MINI);
    TLevelCollection collection;
    TFlushLog log;
    std::ostream messages(&log);
    ASSERT_EQ(collection.import(dir.path + "/", "kept", messages), 0);
    // With standard input closed the file is opened as descriptor 0, and read all the same.
    const int input = dup(0);
    close(0);
    EXPECT_EQ(collection.import(dir.path + "/", "kept", messages), 0);
    dup2(input, 0);
    close(input);
    EXPECT_EQ(collection.import("no/such/", "file", messages), -1);
    EXPECT_EQ(collection.name, "kept");
    EXPECT_TRUE(collection.levels.empty());
    std::filesystem::create_directory(dir / "folder");
    EXPECT_EQ(collection.import(dir.path + "/", "folder", messages), -1);
    write_file(dir / "huge", "");
    ASSERT_EQ(truncate((dir / "huge").c_str(), LEVEL_MAX_FILE_SIZE + 1), 0);
    EXPECT_EQ(collection.import(dir.path + "/", "huge", messages), -1);
    EXPECT_EQ(collection.name, "kept");
    EXPECT_EQ(log.str(), "Error: Could not open level file ( no/such/file)\nError: Could not open level file ( " +
                             dir / "folder)\nError: Could not open level file ( " + dir / "huge): larger than 64 MB\n");
}

TEST(LevelReader, HugeAndDamagedFilesWithinBounds) {
    const std::string too_large = "TLevelCollection.import: set: level 1: level is too large\n";
    const std::string line(LEVEL_MAX_LINE, '#');
    const std::string open_row = std::string(4095, ' ') + "#\n";
    std::string noise(1 << 20, '\0');
    uint32_t state = 2026;
    for (char& c : noise)
        c = static_cast<char>((state = state * 1103515245u + 12345u) >> 24);
    // A file of head, copies of block, and tail; what it must give:
    // the result, the levels kept and the floor cells left in them after the
    // outside fill, then the messages. Damaged bytes: only how many lines.
    const std::tuple<std::string, std::string, size_t, std::string, std::string> cases[] = {
        {"", noise, 10, "", ""},
        {"", std::string(1 << 20, 'x'), 60, "\n;\n'" + std::string(1 << 20, 'x') + "\n" + MINI, "0 1 1\n"},
        // A row too long for any grid makes its level too large, whatever
        // rows follow it, and however few.
        {";\n\n", std::string(1 << 20, '#'), 6, "\n#\n#\n", "-2 0 0\n" + too_large},
        {";\n\n#" + line + "\n#@$.#\n", "", 0, "", "-2 0 0\n" + too_large},
        {"", "; a level\n\n" + MINI + "\n", 100000, "", "0 100000 100000\n"},
        // The longest line that can still be a row, and one byte more.
        {";\n\n" + line + "\n#@$." + std::string(line.size() - 5, ' ') + "#\n", "", 0, line,
         "0 1 " + std::to_string(LEVEL_MAX_LINE - 4) + "\n"},
        {";\n\n#" + line + "\n#@$." + std::string(line.size() - 4, ' ') + "#\n", "", 0, line, "-2 0 0\n" + too_large},
        // The largest grid, open to the border, floods to its end; one more row is too large.
        {";\n\n", open_row, 4095, "#@$." + std::string(4091, ' ') + "#\n", "0 1 0\n"},
        {";\n\n", open_row, 4096, "#@$." + std::string(4091, ' ') + "#\n\n;\n\n" + MINI, "-2 1 1\n" + too_large},
    };
    TScratchDir dir;
    for (const auto& [head, block, copies, tail, expected] : cases) {
        std::ofstream file(dir / "set", std::ios::binary);
        file << head << repeat(block, copies) << tail;
        file.close();
        const TChildResult child = run_in_child([&] {
            TLevelCollection collection;
            std::ostringstream messages;
            const int32_t result = collection.import(dir.path + "/", "set", messages);
            int64_t floor_cells = 0;
            for (const auto& level : collection.levels)
                floor_cells +=
                    std::count(level->cells.get(), level->cells.get() + level->width * level->height, CELL_FLOOR);
            write_file(dir / "said", std::to_string(result) + " " + std::to_string(collection.levels.size()) + " " +
                                         std::to_string(floor_cells) + "\n" + messages.str());
            return 0;
        });
        EXPECT_EQ(child.status, 0) << child;
        EXPECT_WITHIN_BOUNDS(child);
        const std::string said = read_file(dir / "said");
        if (expected.empty())
            EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), IMPORT_MESSAGE_LIMIT + 2) << said.substr(0, 40);
        else
            EXPECT_EQ(said, expected) << head.substr(0, 40);
    }
}
