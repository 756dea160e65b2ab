// A level seen by the solver: its squares, their neighbours, squares no box may enter, and the lower bound's distances.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "level/level.h"

// Directions in the order of the game's direction codes, minus one.
enum : int32_t {
    BOARD_LEFT = 0,
    BOARD_RIGHT = 1,
    BOARD_UP = 2,
    BOARD_DOWN = 3,
    BOARD_DIRECTIONS = 4,
};

// A solution's letters in the same order: lower case a step, upper case a
// push.
constexpr char BOARD_LETTERS[BOARD_DIRECTIONS + 1] = "lrud";

// A push distance or matching cost that means "never".
constexpr int32_t BOARD_UNREACHABLE = 1000000;

class TBoard {
public:
    // False when the level cannot be searched: invalid cells, no keeper on
    // the floor, no boxes, or box and target counts that differ.
    bool load(const TLevel& level);

    static int32_t opposite(int32_t direction) { return direction ^ 1; }

    // The squares the keeper reaches from keeper without crossing a box;
    // returns the smallest of them, which names the region.
    int32_t reach(int32_t keeper, const std::vector<uint8_t>& box_at, std::vector<uint8_t>& seen,
                  std::vector<int32_t>& queue) const;

    // Appends the keeper's shortest walk from one square to another around
    // the boxes, in the game's lower-case letters; false when there is none.
    bool walk(int32_t from, int32_t goal, const std::vector<uint8_t>& box_at, std::string& out) const;

    // Cost of the cheapest assignment of boxes to distinct targets, counted
    // in pushes that ignore every other box; BOARD_UNREACHABLE when some box
    // can reach no free target at all.
    int32_t lower_bound(const std::vector<uint16_t>& boxes) const;

    // True when the box just pushed onto square is frozen together with its
    // neighbours while one of them stands off a target.
    bool frozen_deadlock(int32_t square, const std::vector<uint8_t>& box_at) const;

    int32_t width = 0;
    int32_t height = 0;
    std::vector<int32_t> cell_of;
    std::vector<int32_t> square_of;
    std::vector<std::array<int32_t, BOARD_DIRECTIONS>> next;
    std::vector<uint8_t> is_target;
    std::vector<uint8_t> is_dead;
    std::vector<int32_t> targets;
    // distance[t][s]: pushes that bring a lone box from square s to target t.
    std::vector<std::vector<int32_t>> distance;
    std::vector<uint16_t> start_boxes;
    int32_t start_keeper = -1;

private:
    bool frozen(int32_t square, const std::vector<uint8_t>& box_at, std::vector<uint8_t>& fixed,
                std::vector<int32_t>& frozen_boxes) const;
    bool blocked(int32_t square, int32_t first, int32_t second, const std::vector<uint8_t>& box_at,
                 std::vector<uint8_t>& fixed, std::vector<int32_t>& frozen_boxes) const;

    mutable std::vector<int32_t> cost;
};
