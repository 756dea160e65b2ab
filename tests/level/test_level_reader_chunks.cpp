// The reader takes a file in chunks and reads a line in place when it lies
// in one chunk; these cases put every part of a level across a chunk's end,
// and check the counts that it keeps per row rather than per cell.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "level/level_collection.h"
#include "tests/level/grid_text.h"

using Rows = std::vector<std::string>;

namespace {

// The size in which the reader takes a file.
constexpr size_t CHUNK = 65536;

const std::string LEVEL = ";1\n'A title long enough to cross a chunk\n  #####\n###  .#\n#@ $* #\n########\n\n";
const Rows LEVEL_GRID = {"__#####_", "###  .#_", "#  $* #_", "########"};

class LevelReaderChunks : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        directory = std::filesystem::temp_directory_path() / ("cratoria_chunks_" + std::string(info->name()));
        std::filesystem::remove_all(directory);
        std::filesystem::create_directories(directory);
    }
    void TearDown() override { std::filesystem::remove_all(directory); }

    int32_t read(const std::string& text) {
        std::ofstream(directory / "set", std::ios::binary) << text;
        messages.str("");
        return collection.import(directory.string() + "/", "set", messages);
    }

    // A comment line that makes the text behind it begin `before` bytes
    // ahead of the first chunk's end.
    static std::string lead(size_t before) { return std::string(CHUNK - before - 1, 'c') + "\n"; }

    static std::string with_crlf(const std::string& text) {
        std::string crlf;
        for (char c : text)
            crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        return crlf;
    }

    std::filesystem::path directory;
    std::ostringstream messages;
    TLevelCollection collection;
};

}  // namespace

TEST_F(LevelReaderChunks, EveryLineOfALevelMayCrossAChunksEnd) {
    for (const bool crlf : {false, true}) {
        const std::string level = crlf ? with_crlf(LEVEL) : LEVEL;
        for (size_t before = 0; before <= level.size(); ++before) {
            SCOPED_TRACE("level begins " + std::to_string(before) + " bytes before the chunk's end" +
                         (crlf ? ", CR LF" : ""));
            ASSERT_EQ(read(lead(before) + level + level), 0) << messages.str();
            EXPECT_EQ(messages.str(), "");
            ASSERT_EQ(collection.levels.size(), 2u);
            for (const auto& each : collection.levels) {
                EXPECT_EQ(grid_text(*each), LEVEL_GRID);
                EXPECT_EQ(each->name, "'A title long enough to cross a chunk");
                EXPECT_EQ(std::make_pair(each->start_x, each->start_y), std::make_pair(1, 2));
            }
        }
    }
}

TEST_F(LevelReaderChunks, ACarriageReturnAtAChunksEndBelongsToTheLineEndOnlyBeforeALineFeed) {
    // The row's last wall is the chunk's last byte but one, its CR the last.
    const std::string head = ";1\n\n#####\n#@$.#";
    EXPECT_EQ(read(lead(head.size() + 1) + head + "\r\n#####\n"), 0) << messages.str();
    ASSERT_EQ(collection.levels.size(), 1u);
    EXPECT_EQ(grid_text(*collection.levels[0]), (Rows{"#####", "# $.#", "#####"}));

    // Without a line feed behind it the CR is a character of the row, and
    // an invalid one.
    EXPECT_EQ(read(lead(head.size() + 1) + head + "\r#\n#####\n"), -2);
    EXPECT_EQ(messages.str(), "TLevelCollection.import: set: level 1: error on line 2\n");
}

TEST_F(LevelReaderChunks, RowErrorsAreCountedPerCellAndTheLastKeeperStarts) {
    // Three bad cells in one row, one of them the row's last; a keeper left
    // of the first wall, which is no keeper; then three keepers, of which the
    // last in row order is the start.
    EXPECT_EQ(read(";1\n\n #######\n@#@ x$.x\n #    $#\n #+  @ #\n #######\n"), -2);
    EXPECT_EQ(messages.str(), std::string("TLevelCollection.import: set: level 1: error on line 2\n") +
                                  "TLevelCollection.import: set: level 1: error on line 2\n" +
                                  "TLevelCollection.import: set: level 1: error on line 2\n" +
                                  "TLevelCollection.import: set: level 1: there must be one guy\n");
    ASSERT_EQ(collection.levels.size(), 1u);
    const TLevel& level = *collection.levels[0];
    EXPECT_EQ(std::make_pair(level.start_x, level.start_y), std::make_pair(5, 3));
    EXPECT_EQ(grid_text(level), (Rows{"_#######", "!#  !$.!", "_#    $#", "_#.    #", "_#######"}));
}
