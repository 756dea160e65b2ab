// Levels drawn as text for the tests: one character per cell code.
#pragma once

#include <string>
#include <vector>

#include "level/level.h"

using Rows = std::vector<std::string>;

// "_" outside, " " floor, "." target, "$" box, "*" box on target, "?" the
// unknown code 5, "#" wall, "!" invalid; "@" and "+" the keeper on floor and
// on a target.
inline const std::string CELL_CHARS = "_ .$*??#";

inline void fill_grid(TLevel& level, const Rows& rows) {
    level.create(static_cast<int32_t>(rows[0].size()), static_cast<int32_t>(rows.size()));
    for (int32_t y = 0; y < level.height; ++y)
        for (int32_t x = 0; x < level.width; ++x) {
            const char c = rows[y][x];
            if (c == '@' || c == '+')
                level.set_start(x, y);
            const size_t code = CELL_CHARS.find(c == '@' ? ' ' : c == '+' ? '.' : c);
            level.set(x, y, code == std::string::npos ? CELL_INVALID : static_cast<int32_t>(code));
        }
}

// The keeper at (keeper_x, keeper_y) is drawn on any cell but a wall.
inline Rows grid_text(const TLevel& level, int32_t keeper_x = -1, int32_t keeper_y = -1) {
    Rows rows(level.height);
    for (int32_t y = 0; y < level.height; ++y)
        for (int32_t x = 0; x < level.width; ++x) {
            const int32_t code = level.get(x, y);
            const char c = code >= 0 && code <= 7 ? CELL_CHARS[code] : '!';
            const bool keeper = x == keeper_x && y == keeper_y && code != CELL_WALL;
            rows[y] += keeper ? (code == CELL_TARGET ? '+' : '@') : c;
        }
    return rows;
}
