// The help screen: the play screen's keys as a two-column table.
#include "app/game.h"

#include "render/layout.h"

namespace {

constexpr int32_t HELP_TITLE_DROP = 30;
constexpr int32_t HELP_RISE = 90;
// Keeps the first row clear of the title in a low window.
constexpr int32_t HELP_MIN_DROP = 70;
constexpr int32_t HELP_ROW_PITCH = 25;
// Half the gap between the key column and the description column.
constexpr int32_t HELP_GUTTER = 10;

struct HelpRow {
    const char* key;
    const char* action;
};

constexpr HelpRow HELP_ROWS[] = {
    {"Cursor Keys :", "Movement"}, {"Backspace :", "Undo Move"}, {"Escape / R :", "Restart Level"},
    {"N :", "Next Level"},         {"P :", "Previous Level"},    {"Q :", "Quit"},
};

}  // namespace

void TGame::show_help() {
    const int32_t mid = screen->w / 2;
    draw_background();
    font_big.draw_text_aligned(screen, mid, header_height + HELP_TITLE_DROP, COLOR_WHITE, ALIGN_CENTER,
                               "Help: Keyboard Commands");
    int32_t y = board_height() / 2 + header_height - HELP_RISE;
    if (y < header_height + HELP_MIN_DROP)
        y = header_height + HELP_MIN_DROP;
    for (const HelpRow& row : HELP_ROWS) {
        font_small.draw_text_aligned(screen, mid - HELP_GUTTER, y, COLOR_WHITE, ALIGN_RIGHT, row.key);
        font_small.draw_text_aligned(screen, mid + HELP_GUTTER, y, COLOR_WHITE, ALIGN_LEFT, row.action);
        y += HELP_ROW_PITCH;
    }
    flip();

    // After a resize the menu redraws for the new size; the help is not
    // drawn again, so there is nothing to flip. The close button is dropped:
    // the help is left by a key.
    run_screen([this](const SDL_Event& event) {
        if (event.type == SDL_VIDEORESIZE) {
            draw_frame();
            return SCREEN_LEAVE;
        }
        if (event.type != SDL_KEYDOWN)
            return SCREEN_STAY;
        const SDLKey key = event.key.keysym.sym;
        const bool leave = key == SDLK_ESCAPE || key == SDLK_RETURN || key == SDLK_SPACE || key == SDLK_q;
        return leave ? SCREEN_LEAVE : SCREEN_STAY;
    });
}
