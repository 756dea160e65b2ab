// Waiting for the next event without waking while nothing happens.
#pragma once

#include <SDL.h>

// Blocks until an event arrives and takes it; false when no event can come.
// Under X11 the process sleeps on the X connection: SDL_WaitEvent would poll
// the queue a hundred times a second.
bool wait_for_event(SDL_Event& event);
