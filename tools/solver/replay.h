// Checking a solution by playing it with the game's own move rules.
#pragma once

#include <cstdint>
#include <string>

#include "level/level.h"

enum : int32_t {
    REPLAY_SOLVED = 0,
    REPLAY_BAD_LETTER = -1,
    REPLAY_REFUSED = -2,
    REPLAY_NOT_SOLVED = -3,
};

// Plays letters (l r u d, upper case for a push) from the level's start.
// A lower-case letter that pushes or an upper-case one that does not counts
// as refused, so the recorded push count cannot lie. moves and pushes count
// the steps taken until the replay stopped.
int32_t replay_solution(const TLevel& level, const std::string& letters, int32_t& moves, int32_t& pushes);
