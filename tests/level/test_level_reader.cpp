// Reading collection files: the states of the format, every message, and
// files that are damaged, huge or hostile.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "level/level_collection.h"
#include "tests/level/grid_text.h"

using Rows = std::vector<std::string>;

namespace {

const std::string MINI = "#####\n#@$.#\n#####\n";

class LevelReader : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        directory = std::filesystem::temp_directory_path() / ("cratoria_level_" + std::string(info->name()));
        std::filesystem::remove_all(directory);
        std::filesystem::create_directories(directory);
    }
    void TearDown() override { std::filesystem::remove_all(directory); }

    int32_t read(const std::string& text, const std::string& file_name = "set") {
        std::ofstream(directory / file_name, std::ios::binary) << text;
        messages.str("");
        return collection.import(directory.string() + "/", file_name, messages);
    }
    std::string problem(int32_t level, const std::string& what, const std::string& file_name = "set") const {
        return "TLevelCollection.import: " + file_name + ": level " + std::to_string(level) + ": " + what + "\n";
    }

    std::filesystem::path directory;
    std::ostringstream messages;
    TLevelCollection collection;
};

}  // namespace

TEST_F(LevelReader, KeepsLevelsInFileOrderWithTheirGridAndStart) {
    EXPECT_EQ(read("Some set\nby someone\n\n;1\n'First  \n" + MINI +
                   "\n\nnotes\n; two\n\n"
                   "  ####\n### .#\n#  $ #\n# @###\n####\n"),
              0);
    EXPECT_EQ(messages.str(), "");
    EXPECT_EQ(collection.name, "set");
    ASSERT_EQ(collection.levels.size(), 2u);
    const TLevel& first = *collection.levels[0];
    EXPECT_EQ(first.number, 1);
    EXPECT_EQ(first.name, "'First  ");
    EXPECT_EQ(grid_text(first), (Rows{"#####", "# $.#", "#####"}));
    const TLevel& second = *collection.levels[1];
    EXPECT_EQ(second.number, 2);
    EXPECT_EQ(second.name, "");
    EXPECT_EQ(grid_text(second), (Rows{"__####", "### .#", "#  $ #", "#  ###", "####__"}));
    EXPECT_EQ(std::make_pair(second.start_x, second.start_y), std::make_pair(2, 3));

    EXPECT_EQ(read("only words\n;not a header below\n"), 0);
    EXPECT_TRUE(collection.levels.empty()) << "a header without rows adds nothing";
    EXPECT_EQ(read("nothing here\n\n"), 0);
    EXPECT_TRUE(collection.levels.empty());
}

TEST_F(LevelReader, TitleSlotIsAlwaysConsumed) {
    // The first row stands in the title slot and is lost.
    EXPECT_EQ(read(";1\n#######\n" + MINI), 0);
    ASSERT_EQ(collection.levels.size(), 1u);
    EXPECT_EQ(collection.levels[0]->height, 3);

    // A second header is the first one's title slot and starts no level.
    EXPECT_EQ(read(";1\n;2\n\n" + MINI + "\n;3\n\n" + MINI), 0);
    ASSERT_EQ(collection.levels.size(), 2u);
    EXPECT_EQ(collection.levels[1]->number, 2);

    EXPECT_EQ(read(";1\n'Title\n'R w\n" + MINI), -2);
    EXPECT_EQ(messages.str(),
              problem(1, "error on line 1") + problem(1, "error on line 1") + problem(1, "error on line 1"));
    ASSERT_EQ(collection.levels.size(), 1u);
    EXPECT_EQ(collection.levels[0]->name, "'Title");
    EXPECT_EQ(collection.levels[0]->height, 4);
}

TEST_F(LevelReader, RowCharactersAndPlacementRules) {
    EXPECT_EQ(read(";\n\n #####\n #@$.#  \n  $#####\n#\t#\n#;#\n#####\n"), -2);
    EXPECT_EQ(messages.str(), problem(1, "error on line 2") + problem(1, "error on line 3") +
                                  problem(1, "error on line 4") + problem(1, "error on line 5"));
    ASSERT_EQ(collection.levels.size(), 1u);
    EXPECT_EQ(grid_text(*collection.levels[0]),
              (Rows{"_#####__", "_# $.#_!", "__!#####", "#!#_____", "#!#_____", "#####___"}));

    // A header line right below a level's last row is one more row of it.
    EXPECT_EQ(read(";\n\n" + MINI + ";2\n\n" + MINI), -2);
    EXPECT_EQ(messages.str(), problem(1, "error on line 4") + problem(1, "error on line 4"));
    // A line of spaces is not empty, so it does not end the level either.
    EXPECT_EQ(read(";\n\n" + MINI + "  \n\n"), -2);
    EXPECT_EQ(messages.str(), problem(1, "error on line 4"));
}

TEST_F(LevelReader, LevelChecksRunIndependently) {
    EXPECT_EQ(read(";\n\n#######\n#@+$$ #\n#######\n"), -2);
    EXPECT_EQ(messages.str(),
              problem(1, "there must be one guy") + problem(1, "number of targets does not match number of boxes"));
    EXPECT_EQ(read(";\n\n######\n#@$$.#\n######\n"), -2);
    EXPECT_EQ(messages.str(), problem(1, "number of targets does not match number of boxes"));
    EXPECT_EQ(read(";\n\n#####\n# $.#\n#####\n"), -2);
    EXPECT_EQ(messages.str(), problem(1, "there must be one guy"));
    EXPECT_EQ(read(";\n\n#####\n#@ ##\n#####\n"), -2);
    EXPECT_EQ(messages.str(), problem(1, "has no boxes"));
    EXPECT_EQ(read(";\n\n#####\n#@ .#\n#####\n"), -2);
    EXPECT_EQ(messages.str(),
              problem(1, "number of targets does not match number of boxes") + problem(1, "has no boxes"));
    EXPECT_EQ(read(";\n\n" + MINI + "\n;\n\n#####\n#@ *#\n#####\n\n;\n\n########\n#@a$b.c#\n########\n"), -2);
    EXPECT_EQ(messages.str(),
              problem(3, "error on line 2") + problem(3, "error on line 2") + problem(3, "error on line 2"));
    ASSERT_EQ(collection.levels.size(), 3u) << "levels with errors are kept";
    EXPECT_EQ(collection.levels[2]->number, 3);
}

TEST_F(LevelReader, MessagesStopAtTheLimitAndTheRestAreCounted) {
    // 150 tabs in a row, no keeper and no box, then a level without a keeper:
    // 153 errors in all, of which the first 100 are shown.
    const std::string wall(152, '#');
    const std::string tabs = "#" + std::string(150, '\t') + "#";
    EXPECT_EQ(read(";\n\n" + MINI + "\n;\n\n" + wall + "\n" + tabs + "\n" + wall + "\n\n;\n\n#####\n# $.#\n#####\n"),
              -2);
    std::string expected;
    for (int i = 0; i < 100; ++i)
        expected += problem(2, "error on line 2");
    expected += "TLevelCollection.import: set: 53 more errors not shown\n";
    EXPECT_EQ(messages.str(), expected);
    EXPECT_EQ(collection.levels.size(), 3u);

    // Exactly at the limit nothing is held back.
    EXPECT_EQ(read(";\n\n#####\n#" + std::string(99, '\t') + "#\n# $.#\n#####\n"), -2);
    expected.clear();
    for (int i = 0; i < 99; ++i)
        expected += problem(1, "error on line 2");
    EXPECT_EQ(messages.str(), expected + problem(1, "there must be one guy"));
}

namespace {

// Records what a stream has been given each time it is flushed.
class TFlushLog : public std::stringbuf {
public:
    std::vector<std::string> flushed;

protected:
    int sync() override {
        flushed.push_back(str());
        return 0;
    }
};

}  // namespace

TEST_F(LevelReader, EveryMessageIsFlushedAsItIsWritten) {
    std::ofstream(directory / "set", std::ios::binary) << ";\n\n#####\n#@ x#\n#####\n";
    TFlushLog log;
    std::ostream stream(&log);
    EXPECT_EQ(collection.import(directory.string() + "/", "set", stream), -2);
    EXPECT_EQ(log.flushed, (std::vector<std::string>{problem(1, "error on line 2"),
                                                     problem(1, "error on line 2") + problem(1, "has no boxes")}));
}

TEST_F(LevelReader, LineEnds) {
    const std::string text = "set\n;1\n'T\n\n  ####\n###@ #\n# $. #\n######\n\n;2\n\n" + MINI;
    ASSERT_EQ(read(text), 0);
    const Rows first = grid_text(*collection.levels[0]);
    std::string crlf;
    for (char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(read(crlf), 0);
    ASSERT_EQ(collection.levels.size(), 2u);
    EXPECT_EQ(grid_text(*collection.levels[0]), first);
    EXPECT_EQ(collection.levels[0]->name, "'T");

    // A carriage return not followed by a line feed is an ordinary byte.
    EXPECT_EQ(read(";\n\n#####\n#@$.#\r#\n#####"), -2);
    EXPECT_EQ(messages.str(), problem(1, "error on line 2"));
    EXPECT_EQ(read(";\n\n#####\n#@$.#\n#####\r"), -2);
    EXPECT_EQ(messages.str(), problem(1, "error on line 3"));

    // The last level is complete at the end of the file, line end or not.
    EXPECT_EQ(read(";\n\n" + MINI.substr(0, MINI.size() - 1)), 0);
    EXPECT_EQ(collection.levels.size(), 1u);
    EXPECT_EQ(read(";\n\n#####\n#@$$#\n#####"), -2);
    EXPECT_EQ(messages.str(), problem(1, "number of targets does not match number of boxes"));
    EXPECT_EQ(read(";\n\n" + MINI + "\n\n\n"), 0);
    EXPECT_EQ(collection.levels.size(), 1u);
}

TEST_F(LevelReader, LevelsWithoutAGridAreReportedNotKept) {
    EXPECT_EQ(read(";\n\n#####\n#####\n\n;\n\n##\n#@\n##\n\n;\n\n" + MINI), -2);
    EXPECT_EQ(messages.str(), problem(1, "level is smaller than 3 x 3") + problem(2, "level is smaller than 3 x 3"));
    ASSERT_EQ(collection.levels.size(), 1u);
    EXPECT_EQ(collection.levels[0]->number, 3);

    // Exactly the largest grid is kept; one more row is too large.
    std::string rows = std::string(4096, '#') + "\n#@$." + std::string(4091, ' ') + "#\n";
    for (int i = 0; i < 4094; ++i)
        rows += std::string(4096, '#') + "\n";
    EXPECT_EQ(read(";\n\n" + rows), 0);
    EXPECT_EQ(messages.str(), "");
    EXPECT_EQ(read(";\n\n" + rows + "#\n"), -2);
    EXPECT_EQ(messages.str(), problem(1, "level is too large"));
    EXPECT_TRUE(collection.levels.empty());
}

TEST_F(LevelReader, HostileFilesFinishQuickly) {
    const auto start = std::chrono::steady_clock::now();

    // 60,000 x 60,001 cells would wrap a 32-bit product.
    std::string wide = ";\n\n" + std::string(60000, '#') + "\n";
    for (int i = 0; i < 60000; ++i)
        wide += "#\n";
    EXPECT_EQ(read(wide), -2);
    EXPECT_EQ(messages.str(), problem(1, "level is too large"));

    const std::string line(10 * 1024 * 1024, 'x');
    EXPECT_EQ(read(";\n\n" + line + "\n" + line + "\n\n"), -2);
    EXPECT_EQ(messages.str(), problem(1, "level is too large"));
    EXPECT_EQ(read(line + "\n;\n'" + line + "\n" + MINI), 0);
    ASSERT_EQ(collection.levels.size(), 1u);
    EXPECT_EQ(collection.levels[0]->name.size(), static_cast<size_t>(LEVEL_MAX_LINE));

    std::string binary(1 << 20, '\0');
    uint32_t seed = 12345;
    for (char& c : binary) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>(seed >> 24);
    }
    EXPECT_EQ(read(binary), -2);

    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST_F(LevelReader, FilesThatCannotBeRead) {
    ASSERT_EQ(read(";\n\n" + MINI, "kept"), 0);
    collection.name = "before";
    messages.str("");
    EXPECT_EQ(collection.import("no/such/", "file", messages), -1);
    EXPECT_EQ(messages.str(), "Error: Could not open level file ( no/such/file)\n");
    EXPECT_EQ(collection.name, "before");
    EXPECT_TRUE(collection.levels.empty());

    std::filesystem::create_directory(directory / "folder");
    EXPECT_EQ(collection.import(directory.string() + "/", "folder", messages), -2);
    EXPECT_EQ(messages.str(), "Error: Could not open level file ( no/such/file)\n"
                              "TLevelCollection.import: folder: read error\n");
    EXPECT_EQ(collection.name, "folder");
}

TEST_F(LevelReader, CommunitySetReadsWithoutErrors) {
    const std::string sets = "/work/shared/fixtures/public-levels/";
    if (!std::filesystem::exists(sets + "microban-skinner-xye-2025.xsb"))
        GTEST_SKIP() << "community level sets are not on this machine";
    EXPECT_EQ(collection.import(sets, "microban-skinner-xye-2025.xsb", messages), 0);
    EXPECT_EQ(messages.str(), "");
    ASSERT_EQ(collection.levels.size(), 155u);
    for (size_t i = 0; i < collection.levels.size(); ++i)
        EXPECT_EQ(collection.levels[i]->number, static_cast<int32_t>(i + 1));
}
