// Loading BMP pictures into the window's pixel format; only render/ touches SDL surfaces and blits.
#pragma once

#include <string>

#include <SDL.h>

// The picture in the display format, owned by the caller, or null after a
// one-line message on standard error.
SDL_Surface* load_image(const std::string& file_name);
