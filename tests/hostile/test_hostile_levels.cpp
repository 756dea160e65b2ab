// Level files that are damaged, huge or not files at all: each is read to
// its end or refused with its message, in seconds and bounded memory.
#include <algorithm>
#include <cstdint>

#include "hostile_fixture.h"
#include "level/level_collection.h"

namespace {

const std::string MINI = "#####\n#@$.#\n#####\n";

class HostileLevels : public ::testing::Test {
protected:
    // Imports the file in a child process whose standard error, the
    // reader's stream, goes to a file. The child's exit status is the
    // import's result + 10, or 1 when its level count differs.
    TChildResult import_in_child(const std::string& file_name, size_t expected_levels = SIZE_MAX) {
        return run_in_child([&] {
            redirect_stderr(dir / "messages");
            TLevelCollection collection;
            const int32_t result = collection.import(dir.path + "/", file_name);
            if (expected_levels != SIZE_MAX && collection.levels.size() != expected_levels)
                return 1;
            return 10 + result;
        });
    }

    std::string messages() const { return read_file(dir / "messages"); }
    std::string problem(int level, const std::string& what, const std::string& file = "set") const {
        return "TLevelCollection.import: " + file + ": level " + std::to_string(level) + ": " + what + "\n";
    }

    TScratchDir dir;
};

size_t count_lines(const std::string& text) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

}  // namespace

// Random bytes: every invalid cell gets its own line, as the format wants.
TEST_F(HostileLevels, BinaryDataAndNulBytesAreReadToTheEnd) {
    TNoise noise(20261206);
    write_file(dir / "set", noise.bytes(1024 * 1024));
    TChildResult random = import_in_child("set");
    EXPECT_EQ(random.status, 10 - 2) << random;
    EXPECT_WITHIN_BOUNDS(random);
    // The first hundred errors are shown, then one line counts the rest.
    const std::string said = messages();
    EXPECT_EQ(count_lines(said), static_cast<size_t>(IMPORT_MESSAGE_LIMIT) + 1);
    EXPECT_EQ(said.substr(0, 30), "TLevelCollection.import: set: ");
    EXPECT_NE(said.find(" more errors not shown\n"), std::string::npos);

    // NUL bytes are cells like any other byte, and a NUL line is not empty.
    std::string nul_level = ";\n\n#####\n#@$.#\n#" + std::string(1, '\0') + "  #\n#####\n";
    write_file(dir / "set", std::string(4096, '\0') + "\n" + nul_level);
    TChildResult nul = import_in_child("set", 1);
    EXPECT_EQ(nul.status, 10 - 2) << nul;
    EXPECT_EQ(messages(), problem(1, "error on line 3"));
}

// Five megabytes of random bytes hold about two million invalid cells. One
// line for each would be some 150 MB of messages, flushed one by one: five to
// twenty seconds of every start-up spent writing to the terminal.
TEST_F(HostileLevels, BinaryFileOfFiveMegabytesIsRejectedInSeconds) {
    TNoise noise(20261206);
    write_file(dir / "set", noise.bytes(5 * 1024 * 1024));
    TChildResult result = import_in_child("set");
    EXPECT_EQ(result.status, 10 - 2) << result;
    EXPECT_LT(result.seconds, 3.0) << result;
    EXPECT_LT(count_lines(messages()), 10000u);
}

TEST_F(HostileLevels, OneLineOfAHundredMegabytes) {
    const std::string block(1024 * 1024, '#');
    write_repeated(dir / "set", "", std::string(1024 * 1024, 'x'), 100, "\n;\n\n" + MINI);
    TChildResult comment = import_in_child("set", 1);
    EXPECT_EQ(comment.status, 10) << comment;
    EXPECT_WITHIN_BOUNDS(comment);

    write_repeated(dir / "set", ";1\n\n", block, 100, "\n#\n#\n");
    TChildResult row = import_in_child("set", 0);
    EXPECT_EQ(row.status, 10 - 2) << row;
    EXPECT_WITHIN_BOUNDS(row);
    EXPECT_EQ(messages(), problem(1, "level is too large"));

    // The title slot keeps at most the largest grid's worth of a title.
    write_repeated(dir / "set", ";1\n'", block, 100, "\n" + MINI);
    TChildResult title = import_in_child("set", 1);
    EXPECT_EQ(title.status, 10) << title;
    EXPECT_WITHIN_BOUNDS(title);
}

TEST_F(HostileLevels, AHundredThousandLevels) {
    std::string levels;
    for (int i = 1; i <= 100000; ++i)
        levels += "; " + std::to_string(i) + "\n\n" + MINI + "\n";
    write_file(dir / "set", levels);
    TChildResult result = run_in_child([&] {
        TLevelCollection collection;
        if (collection.import(dir.path + "/", "set") != 0 || collection.levels.size() != 100000)
            return 1;
        for (size_t i = 0; i < collection.levels.size(); ++i)
            if (collection.levels[i]->number != static_cast<int32_t>(i + 1))
                return 2;
        return 0;
    });
    EXPECT_EQ(result.status, 0) << result;
    EXPECT_WITHIN_BOUNDS(result);
}

// 16,777,217 = 24,929 x 673: one cell more than the largest grid, reached
// with rows of moderate width; the largest grid itself is kept.
TEST_F(HostileLevels, GridsAtTheCellLimit) {
    const std::string closed_row = "#" + std::string(671, ' ') + "#\n";
    write_repeated(dir / "set", ";\n\n" + std::string(673, '#') + "\n#@$." + std::string(668, ' ') + "#\n", closed_row,
                   24929 - 3, std::string(673, '#') + "\n");
    TChildResult over = import_in_child("set", 0);
    EXPECT_EQ(over.status, 10 - 2) << over;
    EXPECT_WITHIN_BOUNDS(over);
    EXPECT_EQ(messages(), problem(1, "level is too large"));

    const std::string wide_row = "#" + std::string(4094, ' ') + "#\n";
    write_repeated(dir / "set", ";\n\n" + std::string(4096, '#') + "\n#@$." + std::string(4091, ' ') + "#\n", wide_row,
                   4096 - 3, std::string(4096, '#') + "\n");
    TChildResult largest = import_in_child("set", 1);
    EXPECT_EQ(largest.status, 10) << largest;
    EXPECT_WITHIN_BOUNDS(largest);
}

// Open floor touching the border is flooded from it cell by cell; the fill
// must not recurse once per cell.
TEST_F(HostileLevels, DeepFloodsOfOpenFloor) {
    for (int side : {2000, 4096}) {
        const std::string open_row = std::string(side - 1, ' ') + "#\n";
        write_repeated(dir / "set", ";\n\n", open_row, side - 1, "#@$." + std::string(side - 5, ' ') + "#\n");
        TChildResult result = run_in_child([&] {
            TLevelCollection collection;
            if (collection.import(dir.path + "/", "set") != 0 || collection.levels.size() != 1)
                return 1;
            const TLevel& level = *collection.levels[0];
            return level.get(side / 2, side / 2) == CELL_OUTSIDE && level.get(2, side - 1) == CELL_BOX ? 0 : 2;
        });
        EXPECT_EQ(result.status, 0) << side << ": " << result;
        EXPECT_WITHIN_BOUNDS(result);
    }
}

TEST_F(HostileLevels, EntriesThatAreNotReadableFiles) {
    std::filesystem::create_directory(dir / "folder");
    TChildResult folder = import_in_child("folder", 0);
    EXPECT_EQ(folder.status, 10 - 2) << folder;
    EXPECT_EQ(messages(), "TLevelCollection.import: folder: read error\n");

    std::filesystem::create_symlink(dir / "nowhere", dir / "dangling");
    TChildResult dangling = import_in_child("dangling", 0);
    EXPECT_EQ(dangling.status, 10 - 1) << dangling;
    EXPECT_EQ(messages(), "Error: Could not open level file ( " + dir.path + "/dangling)\n");

    write_file(dir / "locked", ";\n\n" + MINI);
    ASSERT_EQ(chmod((dir / "locked").c_str(), 0), 0);
    TChildResult locked = run_in_child([&] {
        redirect_stderr(dir / "messages");
        if (geteuid() == 0 && !become_nobody())
            return 77;
        TLevelCollection collection;
        return 10 + collection.import(dir.path + "/", "locked");
    });
    if (locked.status == 77)
        GTEST_SKIP() << "running as root without a way to drop privileges; permissions do not stop root's reads";
    EXPECT_EQ(locked.status, 10 - 1) << locked;
    EXPECT_EQ(messages(), "Error: Could not open level file ( " + dir.path + "/locked)\n");
}
