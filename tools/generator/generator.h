// Making levels from a seed: a room, boxes on targets, a search that pulls them apart, and the floor no solution needs
// walled in.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "level/level.h"

// Which wall templates a room is stamped from.
enum : int32_t {
    STYLE_OPEN = 0,
    STYLE_MIXED = 1,
    STYLE_CORRIDORS = 2,
    // Not templates: a few overlapping rectangles with short walls inside.
    STYLE_BLOCKS = 3,
};

struct TGeneratorProfile {
    int32_t min_width;
    int32_t max_width;
    int32_t min_height;
    int32_t max_height;
    int32_t min_boxes;
    int32_t max_boxes;
    int32_t style;
    // A level is kept only when its fewest pushes and its box sessions per
    // pushed box reach these.
    int32_t min_pushes;
    double min_sessions;
    // The pull search stops here; the deepest start found so far still has
    // an exact push count, since the search goes level by level.
    int32_t state_limit;
};

// A level in the file's row characters, its fewest pushes, one solution,
// how entangled its boxes are and how hard the solver worked.
struct TGeneratedLevel {
    std::vector<std::string> rows;
    int32_t pushes = 0;
    double sessions = 0.0;
    int64_t states = 0;
    std::string solution;
};

// Builds a TLevel from row characters the way the collection reader would.
bool level_from_rows(const std::vector<std::string>& rows, TLevel& level);

class TGenerator {
public:
    explicit TGenerator(uint64_t seed) : random(seed) {}

    // One attempt; false when the room or its puzzle is not worth keeping.
    bool make(const TGeneratorProfile& profile, TGeneratedLevel& out);

private:
    int32_t below(int32_t limit) { return static_cast<int32_t>(random() % static_cast<uint64_t>(limit)); }
    int32_t between(int32_t low, int32_t high) { return low + below(high - low + 1); }
    std::vector<std::string> build_room(const TGeneratorProfile& profile);
    void carve_rooms_and_corridors(std::vector<std::string>& rows);
    void carve_blocks(std::vector<std::string>& rows);
    void stamp_templates(std::vector<std::string>& rows, int32_t style);

    std::mt19937_64 random;
};
