// Text in each of its three modes.
#include <SDL_ttf.h>

#include "render/font.h"
#include "render_fixture.h"

// Red text on a white window, in a band of its own for each mode: solid and
// blended letters leave the window around them as it was, shaded ones stand
// on a box of their background colour.
TEST_F(RenderTest, EachTextModeDrawsItsOwnWay) {
    ASSERT_EQ(0, TTF_Init());
    TFont font;
    ASSERT_EQ(0, font.open(SOURCE_DIR "/gfx/vera.ttf", 20));
    const SDL_Color red = {255, 0, 0, 0}, blue = {0, 0, 255, 0};
    fill(0xFFFFFF);
    font.draw_text_solid(screen, 0, 0, red, "M");
    font.draw_text_shaded(screen, 0, 80, red, blue, "M");
    font.draw_text_blended(screen, 0, 160, red, "M");
    font.close();
    TTF_Quit();
    std::vector<Uint32> all = pixels();
    for (int band = 0; band < 3; ++band) {
        const auto first = all.begin() + band * 80 * screen->w, end = first + 80 * screen->w;
        EXPECT_GT(std::count(first, end, 0xFF0000u), 10) << band;
        EXPECT_EQ(band == 1 ? 0x0000FFu : 0xFFFFFFu, *first) << band;
    }
}
