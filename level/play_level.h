// The working copy of a level with the keeper where he stands, and the rules of a step and its undo.
#pragma once

#include "level/level.h"

enum : int32_t {
    DIR_LEFT = 1,
    DIR_RIGHT = 2,
    DIR_UP = 3,
    DIR_DOWN = 4,
};

// Results of a step.
enum : int32_t {
    MOVE_STEPPED = 0,
    MOVE_PUSHED = 256,
    MOVE_NOT_A_STEP = -1,
    MOVE_BLOCKED = -2,
    MOVE_BOX_BLOCKED = -3,
    MOVE_UNKNOWN_CELL = -10,
};

// A step of the history: its direction code, or'ed with MOVE_PUSHED when it
// pushed a box. The length of the history is the move count.
inline int32_t history_entry(int32_t direction, int32_t result) {
    return direction | (result & MOVE_PUSHED);
}
inline int32_t entry_direction(int32_t entry) {
    return entry & 255;
}
inline bool entry_pushed(int32_t entry) {
    return (entry & MOVE_PUSHED) != 0;
}

// The (dx, dy) of a direction code; false for a code other than 1 to 4.
bool direction_delta(int32_t direction, int32_t& dx, int32_t& dy);

class TPlayLevel : public TLevel {
public:
    // Copies grid, number and name and puts the keeper on the start: 0, or
    // -1 when the copy's grid cannot be made, and nothing else changes.
    int32_t copy_from(const TLevel& source);

    // One step of the keeper: MOVE_STEPPED, MOVE_PUSHED or a refusal code.
    int32_t move(int32_t dx, int32_t dy);
    // Takes back a step made in (dx, dy): 0, MOVE_NOT_A_STEP or MOVE_BLOCKED.
    int32_t undo(int32_t dx, int32_t dy, bool pushed);

    int32_t keeper_x = 0;
    int32_t keeper_y = 0;
};
