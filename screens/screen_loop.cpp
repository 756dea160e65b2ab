// The one loop every screen runs, and the one way it waits: asleep until X, a signal or a deadline wakes it.
#include <errno.h>
#include <poll.h>
#include <signal.h>

#include <SDL_syswm.h>

#include "app/game.h"

namespace {

// Without an X connection to sleep on, the queue is looked at this often,
// as SDL_WaitEvent does.
constexpr Uint32 POLL_INTERVAL = 10;

// Set by SIGINT and SIGTERM; a signal handler can safely do no more.
volatile sig_atomic_t quit_signalled = 0;

void note_quit_signal(int) {
    quit_signalled = 1;
}

// Takes what SDL has queued, or what X has sent that SDL has not read yet.
// 1 for an event, 0 for none, -1 when the queue cannot be read.
int32_t take_event(SDL_Event& event) {
    SDL_PumpEvents();
    return SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_ALLEVENTS);
}

}  // namespace

void catch_quit_signals() {
    struct sigaction action = {};
    action.sa_handler = note_quit_signal;
    // A save or a read under way goes on as if nothing had come.
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int32_t TGame::wait_for_event(SDL_Event& event, std::optional<Uint32> deadline) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    int32_t taken;
    if (SDL_GetWMInfo(&info) != 1 || info.subsystem != SDL_SYSWM_X11) {
        while ((taken = take_event(event)) == 0 && !quit_signalled && !(deadline && ticks() >= *deadline))
            delay(POLL_INTERVAL);
        return quit_signalled ? -1 : taken;
    }
    Display* display = info.info.x11.display;

    // The quit signals stay blocked except inside ppoll, so one that comes
    // after the flag was looked at still ends the sleep.
    sigset_t quit_signals, previous;
    sigemptyset(&quit_signals);
    sigaddset(&quit_signals, SIGINT);
    sigaddset(&quit_signals, SIGTERM);
    sigprocmask(SIG_BLOCK, &quit_signals, &previous);
    while ((taken = take_event(event)) == 0 && !quit_signalled) {
        // Events Xlib has already read from the connection would not wake
        // the poll; they are pumped first.
        if (XPending(display) > 0)
            continue;
        timespec left = {};
        if (deadline) {
            const Uint32 now = ticks();
            if (now >= *deadline)
                break;
            left = {(*deadline - now) / 1000, (*deadline - now) % 1000 * 1000000L};
        }
        pollfd connection = {ConnectionNumber(display), POLLIN, 0};
        if (ppoll(&connection, 1, deadline ? &left : nullptr, &previous) < 0 && errno != EINTR) {
            taken = -1;
            break;
        }
    }
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    return quit_signalled ? -1 : taken;
}

void TGame::run_screen(const std::function<TScreenAction(const SDL_Event&)>& answer,
                       const std::optional<Uint32>& deadline) {
    for (;;) {
        // A passed deadline reaches the answer as SDL_NOEVENT.
        SDL_Event event = {};
        // When no event will come, the screen ends as if left, which no
        // caller needs told apart: play, the chooser and help go back to the
        // menu, whose own loop then ends as quit does, so the game still
        // shuts down in order.
        if (wait_for_event(event, deadline) < 0)
            return;
        if (event.type == SDL_VIDEORESIZE)
            resize(event.resize.w, event.resize.h);
        switch (answer(event)) {
        case SCREEN_LEAVE:
            return;
        case SCREEN_FLIP:
            flip();
            break;
        case SCREEN_STAY:
            break;
        }
    }
}
