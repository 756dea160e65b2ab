// The import command: public sets kept whole, each kind of file converted, levels left out, hostile files refused.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <tuple>

#include "level/level_collection.h"
#include "tests/support/child.h"
#include "tests/support/scratch_dir.h"

namespace {

const std::string TOOL = BINARY_DIR "/import/cratoria-import";
const std::string PUBLIC = SOURCE_DIR "/../shared/fixtures/public-levels/";
const std::string OWN = TEST_DATA_DIR "/import/";

// Runs the command in the folder of the files named, writing into dir/levels
// and its output into dir/out and dir/err; returns its exit status.
int run_import(const TScratchDir& dir, const std::string& folder, const std::string& arguments) {
    std::filesystem::create_directory(dir / "levels");
    const std::string command = "cd '" + folder + "' && '" + TOOL + "' --to '" + dir / "levels' " + arguments + " >'" +
                                dir / "out' 2>'" + dir / "err'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void convert_public(const TScratchDir& dir, const std::string& file, TLevelCollection& collection) {
    run_import(dir, PUBLIC, file);
    const std::string name = file.substr(0, file.rfind('.'));
    EXPECT_EQ(read_file(dir / "err"), "");
    ASSERT_EQ(collection.import(dir / "levels/", name), 0);
    EXPECT_EQ(read_file(dir / "out"), "imported " + file + ": " + std::to_string(collection.levels.size()) +
                                          " levels kept, 0 left out; \"" + name +
                                          "\" is in the level set chooser the next time the game starts\n");
}

// The grid back in the characters of a level file, keeper included.
std::vector<std::string> rows_of(const TLevel& level) {
    std::vector<std::string> rows;
    for (int32_t y = 0; y < level.height; ++y) {
        std::string row;
        for (int32_t x = 0; x < level.width; ++x)
            row += cell_letter(level.get(x, y), x == level.start_x && y == level.start_y);
        rows.push_back(row.substr(0, row.find_last_not_of(' ') + 1));
    }
    return rows;
}

// The line after the first whole block of these rows from line at on, or npos.
size_t find_rows(const std::vector<std::string>& lines, const std::vector<std::string>& rows, size_t at) {
    auto is_row = [](const std::string& line) {
        return !line.empty() && line.find_first_not_of(" #$.*@+") == line.npos;
    };
    for (; at + rows.size() <= lines.size(); ++at) {
        const size_t end = at + rows.size();
        if ((at == 0 || !is_row(lines[at - 1])) && (end == lines.size() || !is_row(lines[end])) &&
            std::equal(rows.begin(), rows.end(), lines.begin() + at))
            return end;
    }
    return std::string::npos;
}

// The file, its levels, how many have titles, and one level's number and title.
const std::tuple<const char*, size_t, size_t, size_t, const char*> PUBLIC_FILES[] = {
    {"boxoban-hard-003.txt", 332, 0, 1, ""},
    {"microban-skinner-xye-2025.xsb", 155, 11, 44, "'Duh!"},
    {"microban-skinner-xye-2008.xsb", 155, 11, 155, "'The Dungeon"},
    {"sasquatch-skinner-arduban.txt", 50, 2, 49, "'Parallel Logic"},
    {"xsokoban-90-screen-headers.xsb", 90, 0, 1, ""},
    {"xsokoban-original-extra-titles-after.txt", 90, 0, 90, ""},
    {"grigoriev-grigr2001.xsb", 100, 100, 1, "'Bardak #01"},
    // Its last level has "-" for floor, which must read as the same rows.
    {"drfogh-accumulated1.xsb", 51, 51, 51, "'Newyear 2025 - The Sequel"},
};

// Every level, found row for row in its source in the same order, with the
// rows around it, so that a lost first or last row shows; "-" is floor there.
TEST(ImportPublic, EveryLevelKeepsItsRowsAndTitle) {
    if (!std::filesystem::is_directory(PUBLIC))
        GTEST_SKIP() << "the public level sets are not in " << PUBLIC << ", beside the checkout";
    for (const auto& [file, levels, titled_levels, number, title] : PUBLIC_FILES) {
        SCOPED_TRACE(file);
        TScratchDir dir("import");
        TLevelCollection collection;
        convert_public(dir, file, collection);
        ASSERT_EQ(collection.levels.size(), levels);
        EXPECT_EQ(collection.levels[number - 1]->name, title);
        std::vector<std::string> lines;
        std::istringstream text(read_file(PUBLIC + file));
        for (std::string line; std::getline(text, line);) {
            std::replace(line.begin(), line.end(), '-', ' ');
            lines.push_back(line.substr(0, line.find_last_not_of(' ') + 1));
        }
        size_t titled = 0;
        size_t at = 0;
        for (const auto& level : collection.levels) {
            titled += !level->name.empty();
            at = find_rows(lines, rows_of(*level), at);
            ASSERT_NE(at, std::string::npos) << "level " << level->number << " differs from its source";
        }
        EXPECT_EQ(titled, titled_levels);
    }
}

// Run-length rows, CR LF without a last line end, XML in ISO-8859-1 with a
// DOCTYPE, UTF-8 with a byte order mark, notes and credits before headerless
// levels, and a level left out for each reason, in one run: the collections
// written and the report, exactly. Then a collection of that name is replaced
// only when forced, and even then a link in the way is replaced, never the
// file it leads to: an installed collection, say. A shipped set's name is
// refused even when forced, and a folder that is not there is named as such.
TEST(ImportOwn, ConvertsEachKindAndReplacesOnlyWhenForced) {
    TScratchDir dir("import");
    EXPECT_EQ(run_import(dir, OWN, "run-length.sok crlf.xsb collection.slc left-out.txt bom.txt notes.txt"), 0);
    std::string err;
    for (const std::string name : {"run-length", "crlf", "collection", "left-out", "bom", "notes"}) {
        err += read_file(OWN + name + ".err");
        EXPECT_EQ(read_file(dir / "levels/" + name), read_file(OWN + name + ".expected")) << name;
    }
    EXPECT_EQ(read_file(dir / "err"), err);
    EXPECT_NE(read_file(dir / "out").find("\nimported bom.txt: 2 levels kept, 0 left out, 3 characters replaced; "),
              std::string::npos);
    write_file(dir / "installed", "mine");
    std::filesystem::remove(dir / "levels/crlf");
    std::filesystem::create_symlink(dir / "installed", dir / "levels/crlf");
    EXPECT_EQ(run_import(dir, OWN, "crlf.xsb"), 73);
    EXPECT_EQ(read_file(dir / "err"),
              "cratoria --import: crlf.xsb: " + dir / "levels/crlf already exists; --force replaces it\n");
    EXPECT_EQ(run_import(dir, OWN, "--force crlf.xsb"), 0);
    EXPECT_EQ(read_file(dir / "levels/crlf"), read_file(OWN + "crlf.expected"));
    EXPECT_EQ(read_file(dir / "installed"), "mine");

    EXPECT_EQ(run_import(dir, OWN, "--force --name default crlf.xsb"), 73);
    EXPECT_EQ(read_file(dir / "err"), "cratoria --import: crlf.xsb: \"default\" is a set of the game's own, whose best "
                                      "results would mix with the new levels; --name gives another name\n");
    EXPECT_EQ(run_import(dir, OWN, "--name ../other crlf.xsb"), 64);
    EXPECT_EQ(run_import(dir, OWN, "--name other crlf.xsb"), 0);
    EXPECT_EQ(read_file(dir / "levels/other"), read_file(OWN + "crlf.expected"));
    EXPECT_EQ(run_import(dir, OWN, "--to '" + dir / "missing' crlf.xsb"), 73);
    EXPECT_EQ(read_file(dir / "err"),
              "cratoria --import: crlf.xsb: cannot write " + dir / "missing/crlf: No such file or directory\n");
    EXPECT_EQ(read_file(dir / "out"), "");
}

// The game reads the first 80 collections by name, and its title menu shows
// about the first 20 characters of a name: an import the player would not
// find in the game still succeeds, and says why.
TEST(ImportOwn, WarnsWhenTheGameWouldNotShowTheCollection) {
    TScratchDir dir("import");
    const std::string said = "cratoria --import: crlf.xsb: ";
    run_import(dir, OWN, "--name microban-skinner-xye-2025 crlf.xsb");
    EXPECT_EQ(run_import(dir, OWN, "--name microban-skinner-xye-2008 crlf.xsb"), 0);
    EXPECT_EQ(read_file(dir / "err"), said + "\"microban-skinner-xye-2008\" and \"microban-skinner-xye-2025\" look "
                                             "alike in the title menu, which shows about the first 20 characters of a "
                                             "name; --name gives a shorter one\n");
    for (int i = 10; i < 88; ++i)
        write_file(dir / "levels/set-" + std::to_string(i), read_file(OWN + "crlf.expected"));
    const std::string limit = said + "the game reads at most 80 collections, the first by name, so ";
    EXPECT_EQ(run_import(dir, OWN, "--name zz crlf.xsb"), 0);
    EXPECT_EQ(read_file(dir / "err"), limit + "\"zz\" will not be shown\n");
    EXPECT_EQ(run_import(dir, OWN, "--name a crlf.xsb"), 0);
    EXPECT_EQ(read_file(dir / "err"), limit + "\"set-87\" and those after it will not be shown\n");
}

// A picture of 10 MB, a file of 1 GB without a byte on disk, short lines
// that unfold to gigabytes, XML nested a million deep or with an element of
// a hundred thousand attributes, which TinyXML would compare pairwise, an
// empty file, a folder and a missing file: one line each, a failure status,
// nothing written, within time and memory bounds.
TEST(ImportHostile, RefusedWithinBounds) {
    TScratchDir dir("import");
    write_file(dir / "picture.png", "\x89PNG\r\n\x1A\n" + std::string(10 << 20, '\0'));
    write_file(dir / "packed.sok", repeat("1864135#|#@$.1864131 #|1864135#\n\n", 2000));
    write_file(dir / "deep.slc", "\xEF\xBB\xBF" + repeat("<a>", 1000000));
    std::string attributes = "<L";
    for (int32_t i = 0; i < 100000; ++i)
        attributes += " a" + std::to_string(i) + "='1'";
    write_file(dir / "attributes.slc", attributes + "/>");
    write_file(dir / "sparse", "");
    ASSERT_EQ(truncate((dir / "sparse").c_str(), int64_t{1} << 30), 0);
    write_file(dir / "empty.txt", "");
    std::filesystem::create_directories(dir / "folder");
    const struct {
        const char* file;
        int status;
        const char* message;
    } CASES[] = {
        {"picture.png", 65, "not a level collection: it holds binary data"},
        {"sparse", 65, "not a level collection: a file of more than 64 MB"},
        {"packed.sok", 65, "its levels together are larger than the game allows"},
        {"deep.slc", 65, "not a level collection: XML nested more than 32 deep"},
        {"attributes.slc", 65, "not a level collection: XML with too many elements or attributes"},
        {"empty.txt", 65, "not a level collection: no level found in it"},
        {"folder", 66, "cannot read it: Is a directory"},
        {"missing", 66, "cannot open it: No such file or directory"},
    };
    for (const auto& c : CASES) {
        SCOPED_TRACE(c.file);
        const TChildResult result = run_in_child([&] {
            if (freopen((dir / "err").c_str(), "w", stderr))
                execl(TOOL.c_str(), TOOL.c_str(), "--to", (dir / "levels").c_str(), (dir / c.file).c_str(), nullptr);
            return 127;
        });
        EXPECT_WITHIN_BOUNDS(result);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(read_file(dir / "err"), "cratoria --import: " + dir / c.file + ": " + c.message + "\n");
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "levels"));
}

}  // namespace
