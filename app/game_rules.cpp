// The rules of play on the game object: starting a level, and steps and undos drawn as they happen.
#include "app/game.h"

int32_t TGame::start_level(int32_t index) {
    if (!collection || index < 0 || index >= static_cast<int32_t>(collection->levels.size()))
        return -1;
    const TLevel* source = collection->levels[index].get();
    // A level without a grid would leave the working copy without one, and
    // every later step and drawing would read cells that do not exist.
    if (!source || !source->cells)
        return -1;

    if (level_nr >= 0)
        level.release();
    if (level.copy_from(*source) != 0)
        return -1;
    level_nr = index;
    history.clear();
    pushes = 0;

    TScore best;
    if (highscore.get_score(collection->name, level.number, best)) {
        best_moves = best.moves;
        best_pushes = best.pushes;
    } else {
        best_moves = 0;
        best_pushes = 0;
    }
    return choose_skin();
}

int32_t TGame::move(int32_t dx, int32_t dy) {
    const int32_t result = level.move(dx, dy);
    if (result >= 0)
        draw_board();
    return result;
}

int32_t TGame::move_dir(int32_t direction) {
    int32_t dx, dy;
    if (!direction_delta(direction, dx, dy))
        return MOVE_NOT_A_STEP;
    return move(dx, dy);
}

int32_t TGame::undo(int32_t dx, int32_t dy, bool pushed) {
    const int32_t result = level.undo(dx, dy, pushed);
    if (result == 0)
        draw_board();
    return result;
}

int32_t TGame::undo_dir(int32_t direction, bool pushed) {
    int32_t dx, dy;
    if (!direction_delta(direction, dx, dy))
        return MOVE_NOT_A_STEP;
    return undo(dx, dy, pushed);
}
