// A fresh directory for each test's scores files, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <sys/stat.h>

#include "score/high_score.h"

class ScoreDir : public ::testing::Test {
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
        chmod(dir.c_str(), 0700);
        std::string command = "rm -rf '" + dir + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    static std::string read_file(const std::string& name)
    {
        std::ifstream in(name, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    static void write_file(const std::string& name, const std::string& text)
    {
        std::ofstream out(name, std::ios::binary);
        out << text;
    }

    static bool exists(const std::string& name)
    {
        struct stat status;
        return lstat(name.c_str(), &status) == 0;
    }

    static TScore score_of(int32_t moves, int32_t pushes)
    {
        TScore score;
        score.moves = moves;
        score.pushes = pushes;
        return score;
    }

    std::string dir;
    std::string path;
};

constexpr char SCORE_DECLARATION[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n";
