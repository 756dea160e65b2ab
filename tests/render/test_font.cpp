// Drawing one line of text the ways the game does: blended, in its colour,
// at the pixel its alignment says, and nothing at all for an empty text.
#include <algorithm>

#include "render/font.h"
#include "render_fixture.h"

namespace {

using Font = RenderTest;

TEST_F(Font, TextIsDrawnInItsColourAtThePixelItsAlignmentSays) {
    ASSERT_EQ(0, TTF_Init());
    TFont font;
    ASSERT_EQ(0, font.open(SOURCE_DIR "/gfx/vera.ttf", 20));
    const SDL_Color red = {255, 0, 0, 0};
    auto drawn = [&](Sint16 x, int32_t align, const char* text) {
        fill(0);
        font.draw_text_aligned(screen, x, 30, red, align, text);
        return pixels();
    };

    // An odd width shows that the centring half is rounded down.
    const char* text = "Moves";
    int width = 0;
    ASSERT_EQ(0, TTF_SizeText(font.font, text, &width, nullptr));
    ASSERT_EQ(1, width % 2) << "choose a text of odd width";
    const Sint16 left = Sint16(160 - width / 2);
    const std::vector<Uint32> from_left = drawn(left, ALIGN_LEFT, text);
    EXPECT_EQ(from_left, drawn(160, ALIGN_CENTER, text));
    EXPECT_EQ(from_left, drawn(Sint16(left + width), ALIGN_RIGHT, text));
    EXPECT_EQ(from_left, drawn(left, 5, text));
    EXPECT_NE(from_left, drawn(Sint16(left - 1), ALIGN_LEFT, text));

    const std::vector<Uint32> blank(320 * 240, 0);
    for (int32_t align : {ALIGN_LEFT, ALIGN_RIGHT, ALIGN_CENTER})
        EXPECT_EQ(blank, drawn(160, align, "")) << "alignment " << align;
    font.draw_text(screen, 10, 10, red, red, 3, ALIGN_LEFT, "Cratoria");
    EXPECT_EQ(blank, pixels()) << "mode 3";

    font.draw_text_plain(screen, 10, 10, "Cratoria");
    font.draw_text_blended(screen, 10, 50, red, "Cratoria");
    const std::vector<Uint32> both = pixels();
    EXPECT_TRUE(std::count(both.begin(), both.end(), 0xffffffu) && std::count(both.begin(), both.end(), 0xff0000u));
    font.close();
    TTF_Quit();
}

}  // namespace
