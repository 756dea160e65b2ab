// The scratch directory in which the fuzz targets write each input as a file.
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>

// A directory chosen by the caller, who removes it even after a crash;
// else one of our own, in memory where there is such a file system:
// every input is written to a file and the saves sync theirs. The name
// ends in a slash, ready for a file name.
inline std::string scratch_directory(const std::string& target) {
    if (const char* given = std::getenv("CRATORIA_FUZZ_SCRATCH"))
        return std::string(given) + "/";
    std::string in_memory = "/dev/shm/cratoria-fuzz-" + target + ".XXXXXX";
    std::string on_disk = "/tmp/cratoria-fuzz-" + target + ".XXXXXX";
    const char* made = mkdtemp(in_memory.data());
    if (!made)
        made = mkdtemp(on_disk.data());
    if (!made)
        std::abort();
    static std::string directory;
    directory = made;
    std::atexit([] { std::filesystem::remove_all(directory); });
    return directory + "/";
}
