// Made-up level collections for the benchmarks: valid levels of varied size
// and shape, the same bytes on every run, written wherever a run wants them.
#pragma once

#include <cstdint>
#include <random>
#include <string>

class TLevelMaker {
public:
    explicit TLevelMaker(uint32_t seed = 1);

    // One level in the collection format: header, title, rows, blank line.
    // The keeper stands with floor to its left and right, so that it can
    // always step back and forth.
    std::string level(int32_t number, int32_t width, int32_t height);
    // A level of a size drawn from the range of usual levels.
    std::string any_level(int32_t number);
    // A collection of whole levels, at least min_bytes long.
    std::string collection_of_size(size_t min_bytes);
    std::string collection_of_count(int32_t count);

private:
    int32_t pick(int32_t low, int32_t high);

    std::mt19937 random;
};

// Writes text to path; false when the file cannot be written.
bool write_text_file(const std::string& path, const std::string& text);
