// Levels drawn as text for the tests: one character per cell code.
#pragma once

#include <string>
#include <vector>

#include "level/level.h"

// "_" outside, " " floor, "." target, "$" box, "*" box on target, "#" wall,
// "!" invalid; "@" and "+" stand for floor and target and set the start.
inline void fill_grid(TLevel& level, const std::vector<std::string>& rows) {
    level.create(static_cast<int32_t>(rows[0].size()), static_cast<int32_t>(rows.size()));
    for (int32_t y = 0; y < level.height; ++y) {
        for (int32_t x = 0; x < level.width; ++x) {
            const std::string codes = "_ .$*??#";
            const char c = rows[y][x];
            if (c == '@' || c == '+')
                level.set_start(x, y);
            const int32_t code = c == '!'   ? CELL_INVALID
                                 : c == '@' ? CELL_FLOOR
                                 : c == '+' ? CELL_TARGET
                                            : static_cast<int32_t>(codes.find(c));
            level.set(x, y, code);
        }
    }
}

inline std::vector<std::string> grid_text(const TLevel& level) {
    std::vector<std::string> rows;
    for (int32_t y = 0; y < level.height; ++y) {
        std::string row;
        for (int32_t x = 0; x < level.width; ++x) {
            const int32_t code = level.get(x, y);
            row += code >= 0 && code <= 7 ? "_ .$*??#"[code] : '!';
        }
        rows.push_back(row);
    }
    return rows;
}
