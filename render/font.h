// One TrueType font at one size, and the drawing of one line of text.
#pragma once

#include <cstdint>

#include <SDL.h>
#include <SDL_ttf.h>

enum : int32_t {
    TEXT_SOLID = 0,
    TEXT_SHADED = 1,
    TEXT_BLENDED = 2,
};

enum : int32_t {
    ALIGN_LEFT = 0,
    ALIGN_RIGHT = 1,
    ALIGN_CENTER = 2,
};

class TFont {
public:
    int32_t open(const char* file_name, int32_t point_size);
    void close();

    void draw_text(SDL_Surface* surface, Sint16 x, Sint16 y, SDL_Color fg, SDL_Color bg, int32_t mode, int32_t align,
                   const char* text) const;
    void draw_text_solid(SDL_Surface* surface, Sint16 x, Sint16 y, SDL_Color fg, const char* text) const;
    void draw_text_shaded(SDL_Surface* surface, Sint16 x, Sint16 y, SDL_Color fg, SDL_Color bg, const char* text) const;
    void draw_text_blended(SDL_Surface* surface, Sint16 x, Sint16 y, SDL_Color fg, const char* text) const;
    void draw_text_plain(SDL_Surface* surface, Sint16 x, Sint16 y, const char* text) const;
    void draw_text_aligned(SDL_Surface* surface, Sint16 x, Sint16 y, SDL_Color fg, int32_t align,
                           const char* text) const;

    TTF_Font* font = nullptr;
    SDL_Color color = {0, 0, 0, 0};
};
