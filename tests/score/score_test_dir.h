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
    void SetUp() override {
        char pattern[] = "/tmp/cratoria-score-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        path = dir + "/scores.xml";
    }

    void TearDown() override { ASSERT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0); }

    static std::string read_file(const std::string& name) {
        std::ostringstream text;
        text << std::ifstream(name, std::ios::binary).rdbuf();
        return text.str();
    }

    static void write_file(const std::string& name, const std::string& text) {
        std::ofstream(name, std::ios::binary) << text;
    }

    static bool exists(const std::string& name) {
        struct stat status;
        return lstat(name.c_str(), &status) == 0;
    }

    std::string dir;
    std::string path;
};

// The declaration every saved file starts with, followed by the body.
inline std::string score_file(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n" + body;
}
