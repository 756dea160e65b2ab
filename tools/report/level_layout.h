// What a level's shape shows before anyone plays it: its floor, how its targets gather, its goal room, pillars and
// corridors, and how far it is from another level.
#pragma once

#include <cstdint>
#include <vector>

#include "level/level.h"

// What a grid cell holds, as far as the keeper can reach it.
enum : uint8_t {
    LAYOUT_FLOOR = 1,
    LAYOUT_TARGET = 2,
    LAYOUT_BOX = 4,
};

// A goal room holds at least this many targets, lacks at least this many
// boxes, and covers less than this percentage of the floor.
constexpr int32_t LAYOUT_GOAL_ROOM_TARGETS = 3;
constexpr int32_t LAYOUT_GOAL_ROOM_MISSING_BOXES = 2;
constexpr int32_t LAYOUT_GOAL_ROOM_FLOOR = 70;

// Levels at this distance or closer are near-duplicates.
constexpr double LAYOUT_NEAR_DUPLICATE = 0.30;

struct TLevelLayout {
    int32_t width = 0;
    int32_t height = 0;
    // LAYOUT_ flags a grid cell (y * width + x); 0 for every cell the keeper
    // cannot reach from his start through anything but walls.
    std::vector<uint8_t> cells;
    int32_t floor = 0;
    int32_t targets = 0;
    int32_t boxes = 0;
    // Targets of the largest group joined side by side.
    int32_t largest_target_group = 0;
    // A floor cell with two floor neighbours is a door; behind it, a goal
    // room is where boxes must be brought.
    bool goal_room = false;
    // Walls the keeper can walk all round.
    int32_t wall_islands = 0;
    // Floor cells whose only floor neighbours are two opposite ones.
    int32_t corridor = 0;
    // Targets with walls on three sides.
    int32_t pocketed_targets = 0;

    double corridor_share() const { return floor == 0 ? 0.0 : double(corridor) / floor; }
};

// False when the keeper does not start on the floor.
bool measure_layout(const TLevel& level, TLevelLayout& out);

// The fewest cells that differ in floor, targets and boxes, over every
// quarter turn, mirror and shift of one level laid on the other, as a share
// of the larger floor: 0 for the same level turned round.
double layout_distance(const TLevelLayout& a, const TLevelLayout& b);
