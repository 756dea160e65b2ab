// Checking a solution by playing it with the game's own move rules.
#include "tools/solver/replay.h"

#include <cctype>
#include <cstring>

#include "level/play_level.h"
#include "tools/solver/board.h"

int32_t replay_solution(const TLevel& level, const std::string& letters, int32_t& moves, int32_t& pushes) {
    moves = 0;
    pushes = 0;
    TPlayLevel play;
    play.copy_from(level);
    for (char letter : letters) {
        const char* found = std::strchr(BOARD_LETTERS, std::tolower(static_cast<unsigned char>(letter)));
        if (letter == '\0' || !found)
            return REPLAY_BAD_LETTER;
        const int32_t direction = static_cast<int32_t>(found - BOARD_LETTERS) + 1;
        int32_t dx = 0;
        int32_t dy = 0;
        direction_delta(direction, dx, dy);
        const int32_t result = play.move(dx, dy);
        const bool push_letter = std::isupper(static_cast<unsigned char>(letter)) != 0;
        if (result < 0 || (result == MOVE_PUSHED) != push_letter)
            return REPLAY_REFUSED;
        ++moves;
        if (result == MOVE_PUSHED)
            ++pushes;
    }
    return play.is_solved() ? REPLAY_SOLVED : REPLAY_NOT_SOLVED;
}
