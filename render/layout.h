// The colours and fixed texts of the window's bands.
#pragma once

#include <SDL.h>

constexpr SDL_Color COLOR_BLACK = {0, 0, 0, 0};
constexpr SDL_Color COLOR_DARK_GREY = {20, 20, 20, 0};
constexpr SDL_Color COLOR_WHITE = {255, 255, 255, 0};
constexpr SDL_Color COLOR_RED = {255, 0, 0, 0};
constexpr SDL_Color COLOR_GREY = {128, 128, 128, 0};

// Shown in the status panel of the menu, chooser and help screens.
constexpr const char* version_line = "Cratoria " CRATORIA_VERSION " - a box-pushing puzzle game";
// The header's right-hand text.
constexpr const char* credit_line = "by the Cratoria team";
