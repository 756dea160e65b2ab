// The play screen: its keys, the key repeat of a held cursor key, the history, and best results.
#include "app/game.h"

#include "render/layout.h"

namespace {

// How long a solved position stays on screen before the next level.
constexpr Uint32 PLAY_SOLVED_PAUSE = 200;

// SDL's own key repeat is never switched on, so a held cursor key sends one
// KEYDOWN; every step after the first is timed here.
struct KeyRepeat {
    int32_t held = 0;
    int32_t step_count = 0;
    Uint32 next_step = 0;
};

int32_t direction_of_key(SDLKey key) {
    switch (key) {
    case SDLK_LEFT:
        return DIR_LEFT;
    case SDLK_RIGHT:
        return DIR_RIGHT;
    case SDLK_UP:
        return DIR_UP;
    case SDLK_DOWN:
        return DIR_DOWN;
    default:
        return 0;
    }
}

// A trade of moves for pushes is not an improvement: a result must be no
// worse in either count. A first solution always counts.
bool is_new_best(int32_t moves, int32_t pushes, int32_t best_moves, int32_t best_pushes) {
    return best_moves == 0 || (moves <= best_moves && pushes <= best_pushes);
}

void undo_last_step(TGame& game) {
    const int32_t entry = game.history.back();
    game.history.pop_back();
    const bool pushed = entry_pushed(entry);
    game.undo_dir(entry_direction(entry), pushed);
    if (pushed)
        --game.pushes;
    game.draw_panel(nullptr, COLOR_WHITE);
    game.flip();
}

// A level that cannot be started (past the end, or too large for even the
// smallest tiles) sends play back to the first one.
void start_next_level(TGame& game) {
    if (game.start_level(game.level_nr + 1) != 0)
        game.start_level(0);
}

void start_previous_level(TGame& game) {
    if (game.level_nr > 0)
        game.start_level(game.level_nr - 1);
    else
        game.start_level(static_cast<int32_t>(game.collection->levels.size()) - 1);
}

void finish_level(TGame& game) {
    const int32_t moves = static_cast<int32_t>(game.history.size());
    if (is_new_best(moves, game.pushes, game.best_moves, game.best_pushes)) {
        game.best_moves = moves;
        game.best_pushes = game.pushes;
        game.highscore.set_score(game.collection->name, game.level.number, TScore{moves, game.pushes});
        // Saved now rather than only at shutdown: a kill, a crash or a failed
        // video mode later in the run must not take a solved level with it.
        // A failed save has said so itself, and the record stays in memory
        // for the next one.
        game.save_scores();
    }
    game.delay(PLAY_SOLVED_PAUSE);
    start_next_level(game);
    game.redraw();
    game.flip();
}

// Returns false when the key asks to leave the play screen.
bool handle_key(TGame& game, SDLKey key, KeyRepeat& repeat) {
    if (const int32_t direction = direction_of_key(key)) {
        repeat.held = direction;
        repeat.step_count = 0;
        repeat.next_step = 0;
        return true;
    }
    switch (key) {
    case SDLK_BACKSPACE:
        // With nothing to undo the key is ignored, and a held key goes on.
        if (!game.history.empty()) {
            undo_last_step(game);
            repeat.held = 0;
        }
        break;
    case SDLK_ESCAPE:
    case SDLK_r:
        game.start_level(game.level_nr);
        game.draw_board();
        game.draw_panel(nullptr, COLOR_WHITE);
        game.flip();
        break;
    case SDLK_n:
        start_next_level(game);
        game.redraw();
        repeat.held = 0;
        game.flip();
        break;
    case SDLK_p:
        start_previous_level(game);
        repeat.held = 0;
        game.redraw();
        game.flip();
        break;
    case SDLK_q:
        return false;
    default:
        break;
    }
    return true;
}

// One attempt of the held direction; a refused step is still an attempt, is
// still shown and is still followed by the solved test.
void take_step(TGame& game, KeyRepeat& repeat) {
    ++repeat.step_count;
    const int32_t result = game.move_dir(repeat.held);
    if (result >= 0) {
        const int32_t entry = history_entry(repeat.held, result);
        game.history.push_back(entry);
        if (entry_pushed(entry))
            ++game.pushes;
        game.draw_panel(nullptr, COLOR_WHITE);
    }
    const int32_t wait = repeat.step_count < 2 ? game.repeat_delay : game.repeat_interval;
    repeat.next_step = game.ticks() + static_cast<Uint32>(wait);
    game.flip();
    if (game.level.is_solved())
        finish_level(game);
}

}  // namespace

int32_t TGame::play() {
    // A collection without levels has nothing to show; staying would play on
    // whatever level an earlier collection left behind.
    if (collection == nullptr || collection->levels.empty())
        return 0;
    start_level(0);
    redraw();
    flip();

    // A held key wakes the loop when its next step is due; with none held
    // the loop sleeps until an event comes. Play shows its frames itself, as
    // a solved position must be on screen before the pause.
    KeyRepeat repeat;
    std::optional<Uint32> deadline;
    run_screen(
        [&](const SDL_Event& event) {
            // The pass that leaves still takes a step that is due.
            bool leave = event.type == SDL_QUIT;
            if (event.type == SDL_VIDEORESIZE) {
                choose_skin();
                redraw();
                flip();
            } else if (event.type == SDL_KEYDOWN) {
                leave = !handle_key(*this, event.key.keysym.sym, repeat);
            } else if (event.type == SDL_KEYUP && direction_of_key(event.key.keysym.sym) == repeat.held) {
                repeat.held = 0;
            }
            if (repeat.held != 0 && ticks() >= repeat.next_step)
                take_step(*this, repeat);
            deadline = repeat.held != 0 ? std::optional<Uint32>(repeat.next_step) : std::nullopt;
            return leave ? SCREEN_LEAVE : SCREEN_STAY;
        },
        deadline);
    return 0;
}
