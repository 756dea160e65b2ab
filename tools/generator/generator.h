// Finding the start of a level drawn by hand: its boxes pulled away from their targets, the hardest start kept, and
// only floor that no solution needs walled in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "level/level.h"

// The bounds of one design. All of them count states, not seconds, so the
// same blueprint always gives the same level.
struct TDesignOptions {
    // Pull states searched breadth first, which gives each its fewest
    // pushes; past this the search goes on with the best few of each depth.
    int64_t pull_states = 4000000;
    int32_t beam = 2000;
    // The most promising starts of the pull search, each solved to compare
    // the solver's effort.
    int32_t candidates = 8;
    int64_t solver_states = 3000000;
    // What a doubling of the solver's states is worth against one push.
    double effort = 3.0;
    // What one more run of pushes on a box, on average, is worth: starts
    // whose boxes must be taken up again and again are the better puzzles.
    double sessions = 0.0;
    // Each candidate's pushes and states on standard error.
    bool verbose = false;
    // Unused floor patches of this many cells or more are walled in.
    int32_t dead_patch = 4;
};

// A level as the collection file writes it, with its proof.
struct TDesignedLevel {
    std::vector<std::string> rows;
    int32_t pushes = 0;
    int32_t lone_pushes = 0;
    int32_t moves = 0;
    int64_t states = 0;
    double sessions = 0.0;
    std::string solution;
    // Floor cells walled in because the solution never used them.
    int32_t walled = 0;
};

// The rows of a level in the collection file's letters, without trailing
// spaces.
std::vector<std::string> rows_of(const TLevel& level);

// Reads rows in the collection file's letters with the game's own reader;
// false when they do not make one valid level.
bool level_of(const std::vector<std::string>& rows, TLevel& level);

// Solves and measures a level as it stands: false when it cannot be solved
// within the solver states.
bool prove(const std::vector<std::string>& rows, int64_t solver_states, TDesignedLevel& out);

// A blueprint is a level drawn solved, every box on its target. The start is
// found by pulling the boxes away from their targets; the keeper starts
// where the blueprint puts him, or as near as his region allows. False, with
// the reason, when the blueprint is not solved or no start can be proven.
bool design(const TLevel& blueprint, const TDesignOptions& options, TDesignedLevel& out, std::string& why);
