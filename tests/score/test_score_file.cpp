// Saving scores.xml without ever losing the records already on disk.
#include "score_test_dir.h"

#include <csignal>

#include <sys/resource.h>
#include <unistd.h>

using ScoreFile = ScoreDir;

namespace {

const std::string GOOD_FILE = score_file("<Collection name=\"default\">\n"
                                         "    <Level nr=\"1\" moves=\"35\" pushes=\"10\" />\n"
                                         "</Collection>\n");

}

TEST_F(ScoreFile, KeepsAnUnparseableFileAsBackupBeforeReplacingIt) {
    const std::string damaged = "<?xml version=\"1.0\" ?>\n<Collection name=\"default\">\n    <Level nr=";
    write_file(path, damaged);
    THighScore store;
    EXPECT_FALSE(store.read_from_xml(path));
    EXPECT_TRUE(store.collection_scores.empty());
    EXPECT_EQ(read_file(path), damaged);

    store.set_score("default", 1, {35, 10});
    ASSERT_TRUE(store.write_to_xml(path));
    EXPECT_EQ(read_file(path + ".bak"), damaged);
    EXPECT_EQ(read_file(path), GOOD_FILE);
    store.set_score("default", 1, {30, 10});
    ASSERT_TRUE(store.write_to_xml(path));
    EXPECT_EQ(read_file(path + ".bak"), damaged);
}

TEST_F(ScoreFile, FailedWriteLeavesTheOldFileWholeAndNoTemporaryFile) {
    write_file(path, GOOD_FILE);
    THighScore store;
    for (int32_t level = 1; level <= 200; ++level) {
        store.set_score("default", level, {level, level});
    }
    // A file size limit stops the write short, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit old_limit;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    struct rlimit limit = old_limit;
    limit.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    bool saved = store.write_to_xml(path);
    setrlimit(RLIMIT_FSIZE, &old_limit);

    EXPECT_FALSE(saved);
    EXPECT_EQ(read_file(path), GOOD_FILE);
    EXPECT_FALSE(exists(path + ".tmp"));
    EXPECT_FALSE(exists(path + ".bak"));
}

TEST_F(ScoreFile, RemovesTheLeftoverOfAKilledSaveAtStart) {
    write_file(path, GOOD_FILE);
    write_file(path + ".tmp", score_file("<Collection name=\"def"));
    THighScore store;
    EXPECT_TRUE(store.read_from_xml(path));
    EXPECT_FALSE(exists(path + ".tmp"));
    TScore score;
    EXPECT_TRUE(store.get_score("default", 1, score));
}

TEST_F(ScoreFile, LeavesADirectoryInThePlaceOfTheFileAlone) {
    ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
    write_file(path + "/inside", "kept");
    THighScore store;
    EXPECT_FALSE(store.read_from_xml(path));
    store.set_score("default", 1, {35, 10});
    EXPECT_FALSE(store.write_to_xml(path));
    EXPECT_EQ(read_file(path + "/inside"), "kept");
    EXPECT_FALSE(exists(path + ".tmp"));
    EXPECT_FALSE(exists(path + ".bak"));
}

TEST_F(ScoreFile, WritesThroughASymbolicLinkKeepingLinkAndPermissions) {
    ASSERT_EQ(mkdir((dir + "/real").c_str(), 0700), 0);
    const std::string target = dir + "/real/best.xml";
    write_file(target, GOOD_FILE);
    ASSERT_EQ(chmod(target.c_str(), 0204), 0);
    ASSERT_EQ(symlink("real/best.xml", path.c_str()), 0);

    THighScore store;
    ASSERT_TRUE(store.read_from_xml(path));
    store.set_score("default", 2, {40, 12});
    ASSERT_TRUE(store.write_to_xml(path));
    struct stat status;
    ASSERT_EQ(lstat(path.c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
    ASSERT_EQ(stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0604u);
    EXPECT_NE(read_file(target).find("<Level nr=\"2\" moves=\"40\" pushes=\"12\" />"), std::string::npos);
    EXPECT_FALSE(exists(target + ".tmp"));
}
