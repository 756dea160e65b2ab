// What one solution says about a level as a puzzle: the floor it never uses, and how much its boxes get in each other's
// way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "level/level.h"

// Unvisited patches of at least this many cells count as dead rooms.
constexpr int32_t MEASURE_DEAD_ROOM = 4;

struct TLevelMeasures {
    int32_t boxes = 0;
    int32_t pushes = 0;
    // The fewest pushes if every box had the board to itself: the cheapest
    // matching of boxes to targets by lone-box push distances.
    int32_t lone_pushes = 0;
    // Non-wall cells the keeper can reach from his start, boxes ignored.
    int32_t interior = 0;
    int32_t unvisited = 0;
    int32_t dead_rooms = 0;
    int32_t largest_dead_room = 0;
    int32_t pushed_boxes = 0;
    // Runs of pushes on one box, after moving pushes wherever the order can
    // change without changing the result.
    int32_t sessions = 0;
    // One flag a grid cell (y * width + x): true for interior cells that the
    // keeper's start, a box's start, or any step of the solution touches.
    std::vector<uint8_t> visited;

    bool straight_home() const { return boxes >= 2 && pushes == lone_pushes; }
    double sessions_per_box() const { return pushed_boxes == 0 ? 0.0 : double(sessions) / pushed_boxes; }
};

// Measures a level along a solution in the game's letters (l r u d walk,
// upper case for a push); false when the letters do not solve the level.
bool measure_level(const TLevel& level, const std::string& solution, TLevelMeasures& out);
