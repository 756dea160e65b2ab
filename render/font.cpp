// One TrueType font at one size, and the drawing of one line of text.
#include "render/font.h"

#include "level/text_file.h"
#include "render/layout.h"

int32_t TFont::open(const char* file_name, int32_t point_size) {
    close();
    if (file_name && is_regular_file(file_name))
        font = TTF_OpenFont(file_name, point_size);
    if (!font)
        return -1;
    color = COLOR_WHITE;
    return 0;
}

void TFont::close() {
    if (font)
        TTF_CloseFont(font);
    font = nullptr;
}

void TFont::draw_text(SDL_Surface* surface, Sint16 x, Sint16 y, SDL_Color fg, SDL_Color bg, int32_t mode, int32_t align,
                      const char* text) const {
    if (!font || !surface || !text)
        return;
    SDL_Surface* line = nullptr;
    switch (mode) {
    case TEXT_SOLID:
        line = TTF_RenderText_Solid(font, text, fg);
        break;
    case TEXT_SHADED:
        line = TTF_RenderText_Shaded(font, text, fg, bg);
        break;
    case TEXT_BLENDED:
        line = TTF_RenderText_Blended(font, text, fg);
        break;
    default:
        return;
    }
    // An empty text, or one the font cannot render, gives no line at all.
    if (!line)
        return;

    SDL_Rect to = {x, y, 0, 0};
    if (align == ALIGN_RIGHT)
        to.x = static_cast<Sint16>(x - line->w);
    else if (align == ALIGN_CENTER)
        to.x = static_cast<Sint16>(x - line->w / 2);
    SDL_UpperBlit(line, nullptr, surface, &to);
    SDL_FreeSurface(line);
}

void TFont::draw_text_solid(SDL_Surface* surface, Sint16 x, Sint16 y, SDL_Color fg, const char* text) const {
    draw_text(surface, x, y, fg, COLOR_BLACK, TEXT_SOLID, ALIGN_LEFT, text);
}

void TFont::draw_text_shaded(SDL_Surface* surface, Sint16 x, Sint16 y, SDL_Color fg, SDL_Color bg,
                             const char* text) const {
    draw_text(surface, x, y, fg, bg, TEXT_SHADED, ALIGN_LEFT, text);
}

void TFont::draw_text_blended(SDL_Surface* surface, Sint16 x, Sint16 y, SDL_Color fg, const char* text) const {
    draw_text(surface, x, y, fg, COLOR_BLACK, TEXT_BLENDED, ALIGN_LEFT, text);
}

void TFont::draw_text_plain(SDL_Surface* surface, Sint16 x, Sint16 y, const char* text) const {
    draw_text(surface, x, y, color, COLOR_BLACK, TEXT_BLENDED, ALIGN_LEFT, text);
}

void TFont::draw_text_aligned(SDL_Surface* surface, Sint16 x, Sint16 y, SDL_Color fg, int32_t align,
                              const char* text) const {
    draw_text(surface, x, y, fg, COLOR_BLACK, TEXT_BLENDED, align, text);
}
