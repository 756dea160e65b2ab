// The search that proves a level solvable with the fewest pushes, or unsolvable, within a time and memory bound.
#pragma once

#include <cstdint>
#include <string>

#include "level/level.h"

enum : int32_t {
    SOLVE_SOLVED = 0,
    SOLVE_UNSOLVABLE = 1,
    SOLVE_GAVE_UP = 2,
    SOLVE_NOT_A_LEVEL = -1,
};

class TSolver {
public:
    // A* over box placements with the keeper's region as part of the state.
    // Returns one of the SOLVE_ codes and fills the results below.
    int32_t solve(const TLevel& level);

    // The bounds of one search. A stored state costs about 40 bytes plus two
    // per box, so the default state limit stays well under a gigabyte.
    double time_limit = 60.0;
    int64_t state_limit = 12000000;

    // Moves in the game's letters, upper case for a push; pushes is optimal.
    std::string solution;
    int32_t pushes = 0;
    int32_t moves = 0;
    int64_t states = 0;
    double seconds = 0.0;
};
