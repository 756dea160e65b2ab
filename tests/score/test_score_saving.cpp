// Saving scores.xml without ever losing the records already on disk, whatever the file and however the save ends.
#include <gtest/gtest.h>
#include <sys/ptrace.h>
#include <sys/stat.h>

#include "score/high_score.h"
#include "tests/support/child.h"
#include "tests/support/scratch_dir.h"

namespace {

const std::string GOOD = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<Collection name=\"default\">\n"
                         "    <Level nr=\"1\" moves=\"35\" pushes=\"10\" />\n</Collection>\n";

// As many copies of the piece as fit in that many bytes.
std::string repeated(const std::string& piece, size_t bytes) {
    return repeat(piece, bytes / piece.size());
}

// Saves in a child, with file sizes limited, and as nobody when the tests
// run as root, who may write anything: 0, or the reason the save failed.
int save_in_child(const std::string& file, rlim_t size_limit) {
    return run_in_child([&] {
               signal(SIGXFSZ, SIG_IGN);
               const struct rlimit limit = {size_limit, size_limit};
               THighScore store;
               store.set_score(std::string(2000, 'n'), 1, {1, 1});
               if ((geteuid() == 0 && setuid(65534) != 0) || setrlimit(RLIMIT_FSIZE, &limit) != 0)
                   return -1;
               return store.write_to_xml(file) ? 0 : errno;
           })
        .status;
}

// Saves the store in a child that is killed after it has stopped this many
// times at the start or the end of a system call; false when the save ended
// before.
bool killed_while_saving(THighScore& store, const std::string& file, int stops) {
    const pid_t pid = fork();
    if (pid == 0) {
        ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
        raise(SIGSTOP);
        _exit(store.write_to_xml(file) ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ptrace(PTRACE_SETOPTIONS, pid, nullptr, PTRACE_O_EXITKILL);
    for (int i = 0; i < stops && !WIFEXITED(status); ++i) {
        ptrace(PTRACE_SYSCALL, pid, nullptr, nullptr);
        waitpid(pid, &status, 0);
    }
    if (WIFEXITED(status))
        return false;
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return true;
}

}  // namespace

// Each file is refused or does not parse, quickly and within bounded memory;
// one that takes longer, as TinyXML would on 200,000 attributes, is a fault
// that ends the test within that bound. The first save keeps it aside;
// neither the next save nor the next run's save of the readable file
// replaces that, and a start removes what a killed save left.
TEST(ScoreSaving, AnUnreadableFileIsKeptAsBackup) {
    const size_t BIG = 16 << 20;
    std::string attributes = "<a";
    for (int i = 0; i < 200000; ++i) {
        attributes += " a" + std::to_string(i) + "=''";
    }
    const std::string cases[] = {
        "<Collection name=\"default\">\n    <Level nr=",
        repeated("<a>", BIG),
        repeated("<a>", 3 << 19),  // nested too deep for TinyXML's recursion, within the item limit
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
        const TChildResult result = run_in_child(
            [&] {
                THighScore store;
                bool refused = !store.read_from_xml(file) && store.collection_scores.empty();
                store.set_score("default", 1, {35, 10});
                return refused && store.write_to_xml(file) && store.write_to_xml(file) ? 0 : 1;
            },
            HOSTILE_SECONDS);
        EXPECT_WITHIN_BOUNDS(result);
        ASSERT_EQ(result.status, 0) << result << " for " << text.substr(0, 40);
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
        EXPECT_EQ(save_in_child(file, mode == 0666 ? 1000 : 1 << 20), mode == 0666 ? ENOSPC : EACCES) << mode;
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
    // A chain of 39 links is still followed to its end, as the system would.
    for (int link = 0; link < 39; ++link)
        std::filesystem::create_symlink("chain" + std::to_string(link + 1), dir / ("chain" + std::to_string(link)));
    EXPECT_TRUE(store.write_to_xml(dir / "chain0"));
    EXPECT_TRUE(std::filesystem::is_regular_file(dir / "chain39"));
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

// Kills a save after each of its system calls, the rename among them: the
// file is always the old one or the new one, whole.
TEST(ScoreSaving, AKilledSaveLeavesTheOldOrTheNewFile) {
    TScratchDir dir;
    const std::string file = dir / "scores.xml";
    THighScore stores[2];
    for (int32_t i = 0; i < 100; ++i) {
        stores[i < 1 ? 0 : 1].set_score("collection " + std::to_string(i / 10), i % 10 + 1, {i, i % 7});
    }
    std::string texts[2];
    for (int i : {1, 0}) {
        ASSERT_TRUE(stores[i].write_to_xml(file));
        texts[i] = read_file(file);
    }
    int replaced[2] = {0, 0};
    for (int stops = 0; stops < 1000 && killed_while_saving(stores[1], file, stops); ++stops) {
        const std::string text = read_file(file);
        ASSERT_TRUE(text == texts[0] || text == texts[1]) << "torn file after " << stops << " stops";
        ++replaced[text == texts[1]];
        ASSERT_TRUE(stores[0].write_to_xml(file));
    }
    EXPECT_EQ(read_file(file), texts[1]);
    EXPECT_TRUE(replaced[0] > 0 && replaced[1] > 0) << replaced[0] << " kept, " << replaced[1] << " replaced";
}
