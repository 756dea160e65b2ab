// A temporary working directory for the benchmarks.
#include "bench/scratch_dir.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

TScratchDir::TScratchDir() {
    std::string pattern = (fs::temp_directory_path() / "cratoria-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    path = pattern;
}

TScratchDir::~TScratchDir() {
    std::error_code ignored;
    if (!old_dir.empty())
        fs::current_path(old_dir, ignored);
    fs::remove_all(path, ignored);
}

void TScratchDir::enter() {
    if (old_dir.empty())
        old_dir = fs::current_path().string();
    fs::current_path(path);
}

void TScratchDir::link_from_source(const std::string& name) const {
    fs::create_directory_symlink(fs::path(SOURCE_DIR) / name, fs::path(path) / name);
}
