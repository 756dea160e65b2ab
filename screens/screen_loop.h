// Waiting for the next event.
#pragma once

#include <SDL.h>

// Blocks until an event arrives and takes it; false when no event can come.
bool wait_for_event(SDL_Event& event);
