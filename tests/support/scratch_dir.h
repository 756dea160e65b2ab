// The scratch directory every test folder uses: made fresh, optionally the working directory, removed at the end.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

class TScratchDir {
public:
    explicit TScratchDir(const std::string& kind = "test") {
        std::string pattern = (std::filesystem::temp_directory_path() / ("cratoria-" + kind + "-XXXXXX")).string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("no scratch directory");
        path = pattern;
    }
    ~TScratchDir() {
        std::error_code ignored;
        if (!old_dir.empty())
            std::filesystem::current_path(old_dir, ignored);
        // A test may have taken its own rights away to see a failure.
        std::filesystem::permissions(path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                     ignored);
        std::filesystem::remove_all(path, ignored);
    }
    TScratchDir(const TScratchDir&) = delete;
    TScratchDir& operator=(const TScratchDir&) = delete;

    // Makes it the working directory until the object goes; the game reads
    // levels/, gfx/ and scores.xml relative to it.
    void enter() {
        old_dir = std::filesystem::current_path().string();
        std::filesystem::current_path(path);
    }

    std::string operator/(const std::string& name) const { return path + "/" + name; }

    std::string path;

private:
    std::string old_dir;
};

inline void write_file(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string repeat(const std::string& text, size_t count) {
    std::string all;
    while (count-- > 0)
        all += text;
    return all;
}

inline std::string read_file(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}
