// The collection chooser: every collection read at start, in columns, and the choice of the one to play.
#include "app/game.h"

#include "render/layout.h"

namespace {

constexpr int32_t CHOOSER_ROW_PITCH = 25;
// Room kept above the list for the title.
constexpr int32_t CHOOSER_TITLE_ROOM = 100;
constexpr int32_t CHOOSER_TITLE_DROP = 30;
constexpr int32_t CHOOSER_MARGIN = 20;

}  // namespace

void TGame::draw_collection_list(int32_t selection) {
    const int32_t w = screen->w;
    const int32_t area = board_height();
    draw_background();
    font_big.draw_text_aligned(screen, w / 2, header_height + CHOOSER_TITLE_DROP, COLOR_WHITE, ALIGN_CENTER,
                               "Choose level collection");

    const int32_t n = static_cast<int32_t>(collections.size());
    int32_t rows = (area - CHOOSER_TITLE_ROOM) / CHOOSER_ROW_PITCH;
    if (rows < 1)
        rows = 1;
    const int32_t columns = n / rows + (n % rows != 0 ? 1 : 0);
    // A few names should not be spread over the whole width.
    int32_t column_width = (w - 2 * CHOOSER_MARGIN) / columns;
    if (column_width > w / 3)
        column_width = w / 3;
    int32_t left = (w - column_width * columns) / 2;
    if (left < CHOOSER_MARGIN)
        left = CHOOSER_MARGIN;
    int32_t top = (area - CHOOSER_ROW_PITCH * rows - CHOOSER_TITLE_ROOM) / 2 + header_height + CHOOSER_TITLE_ROOM;
    if (top < header_height + CHOOSER_MARGIN)
        top = header_height + CHOOSER_MARGIN;

    for (int32_t i = 0; i < n; ++i) {
        const int32_t x = left + (i / rows) * column_width;
        const int32_t y = top + (i % rows) * CHOOSER_ROW_PITCH;
        font_small.draw_text_blended(screen, x, y, i == selection ? COLOR_RED : COLOR_WHITE,
                                     collections[i]->name.c_str());
    }
}

void TGame::choose_collection() {
    const int32_t n = static_cast<int32_t>(collections.size());
    if (n == 0)
        return;
    int32_t selection = 0;
    draw_collection_list(selection);
    flip();

    // The close button is dropped here: the chooser is left by a key.
    run_screen([&](const SDL_Event& event) {
        if (event.type == SDL_VIDEORESIZE) {
            draw_frame();
            draw_collection_list(selection);
            return SCREEN_FLIP;
        }
        if (event.type != SDL_KEYDOWN)
            return SCREEN_STAY;
        switch (event.key.keysym.sym) {
        case SDLK_RETURN:
            collection = collections[selection].get();
            return SCREEN_LEAVE;
        case SDLK_ESCAPE:
        case SDLK_q:
            return SCREEN_LEAVE;
        case SDLK_UP:
            if (selection > 0)
                --selection;
            break;
        case SDLK_DOWN:
            if (selection < n - 1)
                ++selection;
            break;
        default:
            return SCREEN_STAY;
        }
        draw_collection_list(selection);
        return SCREEN_FLIP;
    });
}
