// Reading back what was drawn: the colour of one pixel of a 32-bit surface.
#pragma once

#include <SDL.h>

// The colour at (x, y) as 0xRRGGBB, whatever the surface's channel order.
inline Uint32 pixel_at(const SDL_Surface* surface, int x, int y) {
    const Uint8* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
    Uint8 r, g, b;
    SDL_GetRGB(reinterpret_cast<const Uint32*>(row)[x], surface->format, &r, &g, &b);
    return Uint32(r) << 16 | Uint32(g) << 8 | b;
}
