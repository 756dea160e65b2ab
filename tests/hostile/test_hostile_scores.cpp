// scores.xml damaged, huge, hostile or impossible to replace: reading never
// crashes, and no save destroys a record that was on disk before it.
#include <signal.h>
#include <sys/resource.h>

#include "hostile_fixture.h"
#include "score/high_score.h"

namespace {

bool same_records(const THighScore& a, const THighScore& b) {
    if (a.collection_scores.size() != b.collection_scores.size())
        return false;
    for (const auto& [name, scores] : a.collection_scores) {
        const auto other = b.collection_scores.find(name);
        if (other == b.collection_scores.end() || other->second->level_scores.size() != scores->level_scores.size())
            return false;
        for (const auto& [nr, score] : scores->level_scores) {
            TScore theirs;
            if (!other->second->get_score(nr, theirs) || theirs.moves != score.moves || theirs.pushes != score.pushes)
                return false;
        }
    }
    return true;
}

std::string level_line(int nr) {
    return "<Level nr=\"" + std::to_string(nr) + "\" moves=\"" + std::to_string(10 * nr) + "\" pushes=\"" +
           std::to_string(nr) + "\" />";
}

const std::string GOOD = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<Collection name=\"default\">\n    " +
                         level_line(1) + "\n</Collection>\n";

class HostileScores : public ::testing::Test {
protected:
    std::string path() const { return dir / "scores.xml"; }

    // A store that saves far more than a few kilobytes.
    static THighScore big_store() {
        THighScore store;
        for (int nr = 1; nr <= 2000; ++nr)
            store.set_score("default", nr, TScore{10 * nr, nr});
        return store;
    }

    TScratchDir dir;
};

}  // namespace

// Files TinyXML must never see: each is refused quickly without reading
// more than the size limit, and the next save keeps it whole beside the new
// file.
TEST_F(HostileScores, HostileFilesAreRefusedAndKeptAside) {
    const struct {
        const char* what;
        std::function<void(const std::string&)> make;
    } cases[] = {
        {"100,000 nested elements",
         [](const std::string& p) { write_repeated(p, "", "<Collection name=\"x\">", 100000, ""); }},
        {"a 50 MB attribute",
         [](const std::string& p) {
             write_repeated(p, "<Collection name=\"", std::string(1 << 20, 'n'), 50, "\" />\n");
         }},
        {"invalid UTF-8", [](const std::string& p) { write_file(p, "<Collection name=\"caf\xE9\" />\n"); }},
        {"a cut-off sequence at the end", [](const std::string& p) { write_file(p, GOOD + "\xE2\x82"); }},
        {"NUL bytes", [](const std::string& p) { write_file(p, GOOD + std::string(3, '\0') + GOOD); }},
    };
    for (const auto& each : cases) {
        std::filesystem::remove(path() + ".bak");
        each.make(path());
        const std::string before = read_file(path());
        const TChildResult result = run_in_child([&] {
            THighScore store;
            if (store.read_from_xml(path()) || !store.collection_scores.empty())
                return 1;
            store.set_score("default", 1, TScore{3, 1});
            return store.write_to_xml(path()) ? 0 : 2;
        });
        EXPECT_EQ(result.status, 0) << each.what << ": " << result;
        EXPECT_WITHIN_BOUNDS(result);
        EXPECT_TRUE(read_file(path() + ".bak") == before) << each.what;
        THighScore reread;
        EXPECT_TRUE(reread.read_from_xml(path())) << each.what;
    }
}

// Entities TinyXML decodes into bytes a name can hold, or leaves as they
// are: whatever is read must survive a save and a reload unchanged.
TEST_F(HostileScores, OddEntitiesReadBackAsTheyWereRead) {
    const char* names[] = {"&bogus;",
                           "&#0;",
                           "&#x0;",
                           "&#xD800;",
                           "&#xDCFF;",
                           "&#x110000;",
                           "&#xFFFFFFFF;",
                           "&#99999999999999999999;",
                           "&#;",
                           "&#x;",
                           "&",
                           "&amp",
                           "a&b;c",
                           "&#65;&#x42;",
                           "&#x7F;&#x80;&#xFFFE;",
                           "&lt;&gt;&quot;&apos;"};
    for (const char* name : names) {
        const std::string text = "<Collection name=\"" + std::string(name) + "\">" + level_line(2) +
                                 "<Level nr=\"&#49;\" moves=\"&#x39;9\" pushes=\"&bogus;\" /></Collection>\n";
        write_file(path(), text);
        const TChildResult result = run_in_child([&] {
            THighScore first;
            first.read_from_xml(path());
            if (!first.write_to_xml(dir / "again.xml"))
                return 1;
            THighScore second;
            if (!second.read_from_xml(dir / "again.xml"))
                return 2;
            return same_records(first, second) ? 0 : 3;
        });
        EXPECT_EQ(result.status, 0) << name << ": " << result;
    }
}

TEST_F(HostileScores, ADirectoryInPlaceOfTheFileIsLeftAlone) {
    std::filesystem::create_directory(path());
    write_file(path() + "/keep", "mine");
    THighScore store;
    EXPECT_FALSE(store.read_from_xml(path()));
    store.set_score("default", 1, TScore{3, 1});
    EXPECT_FALSE(store.write_to_xml(path()));
    EXPECT_EQ(read_file(path() + "/keep"), "mine");
    EXPECT_FALSE(std::filesystem::exists(path() + ".tmp"));
}

// Root writes anywhere, so the save runs as nobody: the file is nobody's,
// the directory root's, and only the directory stops the save.
TEST_F(HostileScores, AReadOnlyWorkingDirectoryKeepsTheOldFile) {
    write_file(path(), GOOD);
    const TChildResult result = run_in_child([&] {
        if (geteuid() == 0) {
            if (chown(path().c_str(), NOBODY_UID, NOBODY_GID) != 0 || !become_nobody())
                return 77;
        } else if (chmod(dir.path.c_str(), 0555) != 0) {
            return 77;
        }
        THighScore store = big_store();
        return store.write_to_xml(path()) ? 1 : 0;
    });
    chmod(dir.path.c_str(), 0755);
    if (result.status == 77)
        GTEST_SKIP() << "cannot make the directory read-only for this user";
    EXPECT_EQ(result.status, 0) << result;
    EXPECT_EQ(read_file(path()), GOOD);
    EXPECT_FALSE(std::filesystem::exists(path() + ".tmp"));
}

// A full disk, as the file size limit makes it: write() fails with EFBIG
// partway through the new text, as ENOSPC would.
TEST_F(HostileScores, AFullDiskKeepsTheOldFileWhole) {
    write_file(path(), GOOD);
    const TChildResult result = run_in_child([&] {
        signal(SIGXFSZ, SIG_IGN);
        const struct rlimit limit = {4096, 4096};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 77;
        THighScore store = big_store();
        return store.write_to_xml(path()) ? 1 : 0;
    });
    ASSERT_NE(result.status, 77) << "no file size limit";
    EXPECT_EQ(result.status, 0) << result;
    EXPECT_EQ(read_file(path()), GOOD);
    EXPECT_FALSE(std::filesystem::exists(path() + ".tmp"));

    THighScore store = big_store();
    EXPECT_TRUE(store.write_to_xml(path()));
    THighScore reread;
    EXPECT_TRUE(reread.read_from_xml(path()));
    EXPECT_TRUE(same_records(store, reread));
}
