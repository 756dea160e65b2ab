// Saving scores.xml without ever losing the records already on disk, whatever the file and however the save ends.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "score/high_score.h"
#include "tests/support/child.h"
#include "tests/support/scratch_dir.h"

namespace {

const std::string GOOD = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<Collection name=\"default\">\n"
                         "    <Level nr=\"1\" moves=\"35\" pushes=\"10\" />\n</Collection>\n";

std::string repeated(const std::string& piece, size_t bytes) {
    std::string text;
    for (size_t count = bytes / piece.size(); count > 0; --count) {
        text += piece;
    }
    return text;
}

// Saves in a child, with file sizes limited, and as nobody when the tests
// run as root, who may write anything.
bool saved_in_child(const std::string& file, rlim_t size_limit) {
    return run_in_child([&] {
               signal(SIGXFSZ, SIG_IGN);
               const struct rlimit limit = {size_limit, size_limit};
               THighScore store;
               store.set_score(std::string(2000, 'n'), 1, {1, 1});
               bool as_user = geteuid() != 0 || setuid(65534) == 0;
               return as_user && setrlimit(RLIMIT_FSIZE, &limit) == 0 && store.write_to_xml(file) ? 0 : 1;
           }).status == 0;
}

}  // namespace

// Each file is refused or does not parse, quickly and within bounded memory.
// The first save keeps it aside; neither the next save nor the next run's
// save of the readable file replaces that, and a start removes what a killed
// save left.
TEST(ScoreSaving, AnUnreadableFileIsKeptAsBackup) {
    const size_t BIG = 16 << 20;
    std::string attributes = "<a";
    for (int i = 0; i < 200000; ++i) {
        attributes += " a" + std::to_string(i) + "=''";
    }
    const std::string cases[] = {
        "<Collection name=\"default\">\n    <Level nr=",
        repeated("<a>", BIG),
        "<!'>" + repeated("<a>", BIG - 4),
        attributes + "/>",
        repeated("<a/>", BIG),
        repeated("<Collection name=\"default\"/>", BIG - 2) + "\xE2\x82",
        GOOD + '\0' + GOOD,
        "<Collection name=\"\xFF\"/>",
        "<Collection name=\"&#;\"/>",
        repeated("<a>&#</a>&#1;", BIG),
        GOOD + std::string(BIG, ' '),
    };
    for (const auto& text : cases) {
        TScratchDir dir;
        const std::string file = dir / "scores.xml";
        write_file(file, text);
        const TChildResult result = run_in_child([&] {
            THighScore store;
            bool refused = !store.read_from_xml(file) && store.collection_scores.empty();
            store.set_score("default", 1, {35, 10});
            return refused && store.write_to_xml(file) && store.write_to_xml(file) ? 0 : 1;
        });
        EXPECT_EQ(result.status, 0) << result << " for " << text.substr(0, 40);
        EXPECT_WITHIN_BOUNDS(result);
        write_file(file + ".tmp", "half a save");
        THighScore next_run;
        EXPECT_TRUE(next_run.read_from_xml(file));
        EXPECT_FALSE(std::filesystem::exists(file + ".tmp"));
        EXPECT_TRUE(next_run.write_to_xml(file));
        EXPECT_TRUE(read_file(file) == GOOD && read_file(file + ".bak") == text) << text.substr(0, 40);
        EXPECT_FALSE(std::filesystem::exists(file + ".bak.1"));
    }
}

// Every unreadable file is kept under a name of its own, and the message
// says which, until the last name is reused.
TEST(ScoreSaving, EachUnreadableFileKeepsABackupOfItsOwn) {
    TScratchDir dir;
    const std::string file = dir / "scores.xml";
    for (int i = 0; i < 12; ++i) {
        const std::string backup = file + ".bak" + (i > 0 ? "." + std::to_string(std::min(i, 9)) : "");
        write_file(file, "<" + std::to_string(i));
        THighScore store;
        testing::internal::CaptureStderr();
        EXPECT_TRUE(!store.read_from_xml(file) && store.write_to_xml(file));
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "Note: the unreadable " + file + " is kept as " + backup + "\n");
    }
    EXPECT_EQ(read_file(file + ".bak") + read_file(file + ".bak.8") + read_file(file + ".bak.9"), "<0<8<11");
}

// A full disk, which a file size limit stands for, a read-only file, a
// directory in the file's place and a link that leads back to itself; the
// save says why it failed.
TEST(ScoreSaving, WhatCannotBeReplacedIsLeftWhole) {
    TScratchDir dir;
    const std::string file = dir / "scores.xml";
    write_file(file, GOOD);
    ASSERT_EQ(chmod(dir.path.c_str(), 0777), 0);
    for (mode_t mode : {0666, 0444}) {
        ASSERT_EQ(chmod(file.c_str(), mode), 0);
        EXPECT_FALSE(saved_in_child(file, mode == 0666 ? 1000 : 1 << 20)) << mode;
        EXPECT_EQ(read_file(file), GOOD);
        EXPECT_FALSE(std::filesystem::exists(file + ".tmp"));
    }
    std::filesystem::remove(file);
    std::filesystem::create_directory(file);
    THighScore store;
    EXPECT_FALSE(store.read_from_xml(file) || store.write_to_xml(file));
    std::filesystem::create_symlink("loop", dir / "loop");
    errno = 0;
    EXPECT_FALSE(store.write_to_xml(dir / "loop"));
    EXPECT_EQ(errno, ELOOP);
}

// A link stays a link: the file it leads to is replaced with its permissions
// kept (and its owner's right to read and write it), or created as any new
// file is, readable and writable by all but what the umask takes away.
TEST(ScoreSaving, ASymbolicLinkLeadsTheSaveToItsTarget) {
    TScratchDir dir;
    const mode_t mask = umask(022);
    write_file(dir / "kept.xml", "");
    ASSERT_EQ(chmod((dir / "kept.xml").c_str(), 0204), 0);
    for (const std::string target : {"kept.xml", "new.xml"}) {
        std::filesystem::remove(dir / "scores.xml");
        std::filesystem::create_symlink(target, dir / "scores.xml");
        // Nor is a link planted where the save writes its new file followed.
        std::filesystem::create_symlink("planted", dir / (target + ".tmp"));
        THighScore store;
        store.set_score("default", 1, {35, 10});
        ASSERT_TRUE(store.write_to_xml(dir / "scores.xml")) << target;
        EXPECT_TRUE(std::filesystem::is_symlink(dir / "scores.xml"));
        EXPECT_EQ(read_file(dir / target), GOOD);
    }
    umask(mask);
    EXPECT_EQ(std::filesystem::status(dir / "kept.xml").permissions(), std::filesystem::perms(0604));
    EXPECT_EQ(std::filesystem::status(dir / "new.xml").permissions(), std::filesystem::perms(0644));
    EXPECT_FALSE(std::filesystem::exists(dir / "planted"));
}

// Kills a process while it saves the store that is not in the file. Each
// kill comes later after a round that left the file as it was and sooner
// after one that replaced it, so that the kills gather around the rename
// whatever a save takes on this disk.
TEST(ScoreSaving, AKilledSaveLeavesTheOldOrTheNewFile) {
    TScratchDir dir;
    const std::string file = dir / "scores.xml";
    THighScore stores[2];
    for (int32_t i = 0; i < 2400; ++i) {
        stores[i < 180 ? 0 : 1].set_score("collection " + std::to_string(i / 60), i % 60 + 1, {i, i % 7});
    }
    std::string texts[2];
    for (int i : {1, 0}) {
        ASSERT_TRUE(stores[i].write_to_xml(file));
        texts[i] = read_file(file);
    }
    std::chrono::microseconds delay(1000);
    int replaced[2] = {0, 0};
    for (int round = 0, now = 0; round < 100; ++round) {
        const pid_t pid = fork();
        if (pid == 0) {
            _exit(stores[1 - now].write_to_xml(file) ? 0 : 1);
        }
        std::this_thread::sleep_for(delay * (50 + rand() % 100) / 100);
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        const std::string text = read_file(file);
        ASSERT_TRUE(text == texts[0] || text == texts[1]) << "torn file after round " << round;
        const bool changed = text != texts[now];
        ++replaced[changed];
        now = text == texts[1];
        delay = changed ? delay / 2 : std::min(delay * 2, std::chrono::microseconds(1000000));
    }
    EXPECT_TRUE(replaced[0] > 0 && replaced[1] > 0) << replaced[0] << " kept, " << replaced[1] << " replaced";
}
