// The working copy of a level and the rules of one step and its undo.
#include "level/play_level.h"

#include <algorithm>

namespace {

// Steps are taken by one cell along one axis; anything else is refused
// before it can move the keeper across the grid.
bool is_single_step(int32_t dx, int32_t dy) {
    return (dx == 0 && (dy == 1 || dy == -1)) || (dy == 0 && (dx == 1 || dx == -1));
}

bool is_walkable(int32_t code) {
    return code == CELL_FLOOR || code == CELL_TARGET;
}

bool is_box(int32_t code) {
    return code == CELL_BOX || code == CELL_BOX_ON_TARGET;
}

int32_t with_box(int32_t code) {
    return code == CELL_TARGET ? CELL_BOX_ON_TARGET : CELL_BOX;
}

int32_t without_box(int32_t code) {
    return code == CELL_BOX_ON_TARGET ? CELL_TARGET : CELL_FLOOR;
}

}  // namespace

bool direction_delta(int32_t direction, int32_t& dx, int32_t& dy) {
    switch (direction) {
    case DIR_LEFT:
        dx = -1;
        dy = 0;
        return true;
    case DIR_RIGHT:
        dx = 1;
        dy = 0;
        return true;
    case DIR_UP:
        dx = 0;
        dy = -1;
        return true;
    case DIR_DOWN:
        dx = 0;
        dy = 1;
        return true;
    default:
        dx = 0;
        dy = 0;
        return false;
    }
}

int32_t TPlayLevel::copy_from(const TLevel& source) {
    if (create(source.width, source.height) != 0)
        return -1;
    std::copy(source.cells.get(), source.cells.get() + static_cast<int64_t>(width) * height, cells.get());
    set_number(source.number);
    set_name(source.name);
    keeper_x = source.start_x;
    keeper_y = source.start_y;
    return 0;
}

int32_t TPlayLevel::move(int32_t dx, int32_t dy) {
    if (!is_single_step(dx, dy))
        return MOVE_NOT_A_STEP;
    const int32_t ahead_x = keeper_x + dx;
    const int32_t ahead_y = keeper_y + dy;
    const int32_t ahead = get(ahead_x, ahead_y);
    if (ahead == CELL_INVALID || ahead == CELL_OUTSIDE || ahead == CELL_WALL)
        return MOVE_BLOCKED;
    if (is_walkable(ahead)) {
        keeper_x = ahead_x;
        keeper_y = ahead_y;
        return MOVE_STEPPED;
    }
    if (!is_box(ahead))
        return MOVE_UNKNOWN_CELL;
    const int32_t beyond = get(ahead_x + dx, ahead_y + dy);
    if (!is_walkable(beyond))
        return MOVE_BOX_BLOCKED;
    set(ahead_x + dx, ahead_y + dy, with_box(beyond));
    set(ahead_x, ahead_y, without_box(ahead));
    keeper_x = ahead_x;
    keeper_y = ahead_y;
    return MOVE_PUSHED;
}

int32_t TPlayLevel::undo(int32_t dx, int32_t dy, bool pushed) {
    if (!is_single_step(dx, dy))
        return MOVE_NOT_A_STEP;
    const int32_t own = get(keeper_x, keeper_y);
    const int32_t behind = get(keeper_x - dx, keeper_y - dy);
    const int32_t ahead = get(keeper_x + dx, keeper_y + dy);
    if (!is_walkable(behind))
        return MOVE_BLOCKED;
    // The box comes back only onto a cell that can hold it, so an undo that
    // does not match the board can neither lose a box nor make a second one.
    if (pushed && is_box(ahead) && is_walkable(own)) {
        set(keeper_x, keeper_y, with_box(own));
        set(keeper_x + dx, keeper_y + dy, without_box(ahead));
    }
    keeper_x -= dx;
    keeper_y -= dy;
    return 0;
}
