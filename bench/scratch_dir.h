// A temporary working directory that the benchmarks fill with fixtures and
// that is removed, with everything in it, when the object goes.
#pragma once

#include <string>

class TScratchDir {
public:
    TScratchDir();
    ~TScratchDir();
    TScratchDir(const TScratchDir&) = delete;
    TScratchDir& operator=(const TScratchDir&) = delete;

    // Makes it the working directory until the object goes; the game reads
    // levels/ and gfx/ relative to it.
    void enter();
    // A symbolic link named name to the repository's directory of that name.
    void link_from_source(const std::string& name) const;

    std::string path;

private:
    std::string old_dir;
};
