// The title menu: its four entries, the highlight, and the way to the chooser, the help, play or quit.
#include "app/game.h"

#include "render/layout.h"

namespace {

// The entry block hangs from a point left of and above the window's centre,
// but never closer than the margin to the left edge or the header.
constexpr int32_t MENU_HALF_WIDTH = 200;
constexpr int32_t MENU_RISE = 110;
constexpr int32_t MENU_MARGIN = 20;
constexpr int32_t MENU_ROW_PITCH = 40;
// "Level Set:" sits a little left of the other entries, the name beside it.
constexpr int32_t MENU_LABEL_INDENT = 7;
constexpr int32_t MENU_NAME_OFFSET = 200;

SDL_Color entry_color(int32_t entry, int32_t selection) {
    return entry == selection ? COLOR_RED : COLOR_WHITE;
}

}  // namespace

void TGame::draw_menu(int32_t selection) {
    int32_t x = screen->w / 2 - MENU_HALF_WIDTH;
    if (x < MENU_MARGIN)
        x = MENU_MARGIN;
    int32_t y = board_height() / 2 + header_height - MENU_RISE;
    if (y < header_height + MENU_MARGIN)
        y = header_height + MENU_MARGIN;

    draw_background();
    const SDL_Color level_set_color = entry_color(MENU_LEVEL_SET, selection);
    const char* name = collection != nullptr ? collection->name.c_str() : "";
    font_big.draw_text_aligned(screen, x, y, entry_color(MENU_START, selection), ALIGN_LEFT, "Start Game");
    font_big.draw_text_aligned(screen, x - MENU_LABEL_INDENT, y + MENU_ROW_PITCH, level_set_color, ALIGN_LEFT,
                               "Level Set:");
    font_big.draw_text_aligned(screen, x + MENU_NAME_OFFSET, y + MENU_ROW_PITCH, level_set_color, ALIGN_LEFT, name);
    font_big.draw_text_aligned(screen, x, y + 2 * MENU_ROW_PITCH, entry_color(MENU_HELP, selection), ALIGN_LEFT,
                               "Help");
    font_big.draw_text_aligned(screen, x, y + 3 * MENU_ROW_PITCH, entry_color(MENU_QUIT, selection), ALIGN_LEFT,
                               "Quit");
}

int32_t TGame::menu() {
    int32_t selection = MENU_START;
    draw_frame();
    draw_menu(selection);
    flip();

    // Whatever ends the menu but Start, a queue that can no longer be read
    // included, is quit.
    int32_t result = MENU_RESULT_QUIT;
    run_screen([&](const SDL_Event& event) {
        if (event.type == SDL_QUIT)
            return SCREEN_LEAVE;
        if (event.type == SDL_VIDEORESIZE) {
            draw_frame();
            draw_menu(selection);
            return SCREEN_FLIP;
        }
        if (event.type != SDL_KEYDOWN)
            return SCREEN_STAY;
        switch (event.key.keysym.sym) {
        case SDLK_q:
        case SDLK_ESCAPE:
            return SCREEN_LEAVE;
        case SDLK_RETURN:
            if (selection == MENU_LEVEL_SET) {
                choose_collection();
            } else if (selection == MENU_HELP) {
                show_help();
            } else {
                result = selection == MENU_QUIT ? MENU_RESULT_QUIT : selection;
                return SCREEN_LEAVE;
            }
            break;
        case SDLK_UP:
            if (selection > MENU_START)
                --selection;
            break;
        case SDLK_DOWN:
            if (selection < MENU_QUIT)
                ++selection;
            break;
        default:
            return SCREEN_STAY;
        }
        draw_menu(selection);
        return SCREEN_FLIP;
    });
    return result;
}
