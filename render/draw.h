// The window's three bands and what is drawn in them, from what the caller hands over: a surface, a picture, a tile
// set, a level, fonts and counts. It keeps nothing and never flips; the caller shows each frame.
#pragma once

#include <cstdint>

#include <SDL.h>

#include "level/play_level.h"
#include "render/font.h"
#include "render/skin.h"

// What the status panel shows while a level is played; a best of 0 moves
// means the level has none yet.
struct TPanelCounts {
    int32_t level;
    int32_t moves;
    int32_t pushes;
    int32_t best_moves;
    int32_t best_pushes;
};

// The index of the first of count tile sets, largest tiles first, on which a
// board of columns x rows fits the room; -1 when none does.
int32_t fitting_skin(const TSkin* skins, int32_t count, int32_t columns, int32_t rows, int32_t room_width,
                     int32_t room_height);

void clear_screen(SDL_Surface* screen);
// The board area lies from row top, height rows high, across the window.
void draw_background(SDL_Surface* screen, SDL_Surface* picture, int32_t top, int32_t height);
// The level's cells and keeper centred in the board area: 0, or -1 (nothing
// drawn) when it would start left of or above the window.
int32_t draw_board(SDL_Surface* screen, const TSkin& skin, const TPlayLevel& level, int32_t top, int32_t height);
void draw_header(SDL_Surface* screen, const TFont& font, int32_t height);
// The bottom band: the message alone in its colour, or the counts when the
// message is null.
void draw_panel(SDL_Surface* screen, const TFont& font, int32_t height, const char* message, SDL_Color color,
                const TPanelCounts& counts);
