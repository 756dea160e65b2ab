// Opening fonts and drawing one line of text in every mode and alignment.
#include <algorithm>

#include <sys/stat.h>

#include "render/font.h"
#include "render_fixture.h"

namespace {

const SDL_Color WHITE = {255, 255, 255, 0};
const SDL_Color RED = {255, 0, 0, 0};
const SDL_Color BLUE = {0, 0, 255, 0};
const Rgb BLACK = {0, 0, 0};

class FontTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        ASSERT_EQ(0, TTF_Init());
        ASSERT_EQ(0, font.open(SOURCE_DIR "/gfx/vera.ttf", 20));
    }

    void TearDown() override {
        font.close();
        TTF_Quit();
        RenderTest::TearDown();
    }

    std::vector<Rgb> snapshot() const {
        std::vector<Rgb> pixels;
        for (int y = 0; y < SCREEN_H; ++y)
            for (int x = 0; x < SCREEN_W; ++x)
                pixels.push_back(pixel(x, y));
        return pixels;
    }

    // The window after drawing on a black one.
    std::vector<Rgb> drawn(Sint16 x, int32_t mode, int32_t align, const char* text) {
        fill_screen(BLACK);
        font.draw_text(screen, x, 30, WHITE, BLUE, mode, align, text);
        return snapshot();
    }

    bool any_pixel(const std::function<bool(Rgb)>& test) const {
        const std::vector<Rgb> pixels = snapshot();
        return std::any_of(pixels.begin(), pixels.end(), test);
    }

    TFont font;
};

TEST_F(FontTest, OpenSetsWhiteAndFailureLeavesNoFont) {
    EXPECT_EQ(255, font.color.r);
    EXPECT_EQ(255, font.color.b);

    TFont other;
    EXPECT_EQ(-1, other.open((dir + "/missing.ttf").c_str(), 20));
    EXPECT_EQ(nullptr, other.font);
    EXPECT_EQ(0, other.color.r);
    EXPECT_EQ(-1, other.open(write_file("junk.ttf", {1, 2, 3, 4, 5}).c_str(), 20));
    // Opening a fifo would wait forever for a writer.
    ASSERT_EQ(0, mkfifo((dir + "/fifo.ttf").c_str(), 0644));
    EXPECT_EQ(-1, other.open((dir + "/fifo.ttf").c_str(), 20));

    fill_screen(BLACK);
    other.draw_text_plain(screen, 10, 10, "nothing");
    EXPECT_TRUE(screen_is(BLACK));
}

TEST_F(FontTest, AlignmentMovesTheLeftEdge) {
    // An odd width shows that the centring half is rounded down.
    const char* text = nullptr;
    int width = 0;
    for (const char* candidate : {"Moves", "Moves:", "Pushes", "Level 1", "Level 12", "Unsolved"})
        if (TTF_SizeText(font.font, candidate, &width, nullptr) == 0 && width % 2 == 1) {
            text = candidate;
            break;
        }
    ASSERT_NE(nullptr, text);

    const std::vector<Rgb> center = drawn(160, TEXT_BLENDED, ALIGN_CENTER, text);
    EXPECT_TRUE(center == drawn(static_cast<Sint16>(160 - width / 2), TEXT_BLENDED, ALIGN_LEFT, text));
    EXPECT_FALSE(center == drawn(static_cast<Sint16>(160 - width / 2 - 1), TEXT_BLENDED, ALIGN_LEFT, text));
    EXPECT_TRUE(drawn(300, TEXT_BLENDED, ALIGN_RIGHT, text) ==
                drawn(static_cast<Sint16>(300 - width), TEXT_BLENDED, ALIGN_LEFT, text));

    const std::vector<Rgb> left = drawn(40, TEXT_BLENDED, ALIGN_LEFT, text);
    EXPECT_TRUE(left == drawn(40, TEXT_BLENDED, 5, text));
    EXPECT_TRUE(left == drawn(40, TEXT_BLENDED, -1, text));
}

TEST_F(FontTest, UnknownModesAndEmptyTextsDrawNothing) {
    const std::vector<Rgb> blank(SCREEN_W * SCREEN_H, BLACK);
    for (int32_t mode : {3, -1})
        EXPECT_TRUE(drawn(40, mode, ALIGN_LEFT, "Level 1") == blank) << "mode " << mode;
    for (int32_t mode : {TEXT_SOLID, TEXT_SHADED, TEXT_BLENDED})
        for (int32_t align : {ALIGN_LEFT, ALIGN_RIGHT, ALIGN_CENTER})
            EXPECT_TRUE(drawn(160, mode, align, "") == blank) << "mode " << mode << " align " << align;
}

TEST_F(FontTest, EachShorthandDrawsInItsColours) {
    fill_screen(BLACK);
    font.draw_text_plain(screen, 10, 10, "Cratoria");
    EXPECT_TRUE(any_pixel([](Rgb c) { return c == Rgb{255, 255, 255}; }));

    const std::function<void()> red_texts[] = {
        [&] { font.draw_text_solid(screen, 10, 10, RED, "Cratoria"); },
        [&] { font.draw_text_blended(screen, 10, 10, RED, "Cratoria"); },
        [&] { font.draw_text_aligned(screen, 10, 10, RED, ALIGN_LEFT, "Cratoria"); },
    };
    for (const auto& draw : red_texts) {
        fill_screen(BLACK);
        draw();
        EXPECT_TRUE(any_pixel([](Rgb c) { return c.r > 0; }));
        EXPECT_FALSE(any_pixel([](Rgb c) { return c.g > 0 || c.b > 0; }));
    }

    fill_screen(BLACK);
    font.draw_text_shaded(screen, 10, 10, RED, BLUE, "Cratoria");
    EXPECT_TRUE(any_pixel([](Rgb c) { return c == Rgb{0, 0, 255}; }));
}

}  // namespace
