// The loop that the title menu, the chooser and the help screen share.
#include "screens/screen_loop.h"

#include "app/game.h"

bool wait_for_event(SDL_Event& event) {
    return SDL_WaitEvent(&event) == 1;
}

bool TGame::run_screen(const std::function<TScreenAction(const SDL_Event&)>& answer) {
    for (;;) {
        SDL_Event event;
        if (!wait_for_event(event))
            return false;
        if (event.type == SDL_VIDEORESIZE) {
            resize(event.resize.w, event.resize.h);
            draw_frame();
        }
        switch (answer(event)) {
        case SCREEN_LEAVE:
            return true;
        case SCREEN_FLIP:
            flip();
            break;
        case SCREEN_STAY:
            break;
        }
    }
}
