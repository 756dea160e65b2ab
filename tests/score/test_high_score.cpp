// The best-score store and the exact text of scores.xml.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

#include "score/high_score.h"

namespace {

class HighScoreFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/cratoria-score-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        path = dir + "/scores.xml";
    }

    void TearDown() override
    {
        std::string command = "rm -rf '" + dir + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    std::string read_file(const std::string& name) const
    {
        std::ifstream in(name, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    void write_file(const std::string& name, const std::string& text) const
    {
        std::ofstream out(name, std::ios::binary);
        out << text;
    }

    std::string dir;
    std::string path;
};

TScore score_of(int32_t moves, int32_t pushes)
{
    TScore score;
    score.moves = moves;
    score.pushes = pushes;
    return score;
}

const char DECLARATION[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n";

}

TEST_F(HighScoreFile, WritesTheDocumentedLayoutByteForByte)
{
    THighScore store;
    store.set_score("default", 3, score_of(120, 31));
    store.set_score("default", 1, score_of(35, 10));
    ASSERT_TRUE(store.write_to_xml(path));
    EXPECT_EQ(read_file(path), std::string(DECLARATION) +
                                   "<Collection name=\"default\">\n"
                                   "    <Level nr=\"1\" moves=\"35\" pushes=\"10\" />\n"
                                   "    <Level nr=\"3\" moves=\"120\" pushes=\"31\" />\n"
                                   "</Collection>\n");
}

TEST_F(HighScoreFile, OneSolvedLevelGivesFourLines)
{
    THighScore store;
    EXPECT_FALSE(store.read_from_xml(path));
    store.set_score("default", 2, score_of(40, 12));
    ASSERT_TRUE(store.write_to_xml(path));
    EXPECT_EQ(read_file(path), std::string(DECLARATION) +
                                   "<Collection name=\"default\">\n"
                                   "    <Level nr=\"2\" moves=\"40\" pushes=\"12\" />\n"
                                   "</Collection>\n");
}
