// The loop the menu, chooser and help screen share, and its wait that sleeps until X or a signal wakes it.
#include "screens/screen_loop.h"

#include <errno.h>
#include <poll.h>
#include <signal.h>

#include <SDL_syswm.h>

#include "app/game.h"

namespace {

// Takes what SDL has queued, or what X has sent that SDL has not read yet.
// 1 for an event, 0 for none, -1 when the queue cannot be read.
int take_event(SDL_Event& event) {
    SDL_PumpEvents();
    return SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_ALLEVENTS);
}

}  // namespace

bool wait_for_event(SDL_Event& event) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) != 1 || info.subsystem != SDL_SYSWM_X11)
        return SDL_WaitEvent(&event) == 1;
    Display* display = info.info.x11.display;

    // SDL turns SIGINT and SIGTERM into SDL_QUIT from its signal handler.
    // They stay blocked except inside ppoll, so one that comes after the
    // queue was found empty still ends the sleep, and the handler never
    // runs while SDL holds its queue's lock.
    sigset_t quit_signals, previous;
    sigemptyset(&quit_signals);
    sigaddset(&quit_signals, SIGINT);
    sigaddset(&quit_signals, SIGTERM);
    sigprocmask(SIG_BLOCK, &quit_signals, &previous);
    int taken;
    while ((taken = take_event(event)) == 0) {
        // Events Xlib has already read from the connection would not wake
        // the poll; they are pumped first.
        if (XPending(display) > 0)
            continue;
        pollfd connection = {ConnectionNumber(display), POLLIN, 0};
        if (ppoll(&connection, 1, nullptr, &previous) < 0 && errno != EINTR) {
            taken = -1;
            break;
        }
    }
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    return taken == 1;
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
