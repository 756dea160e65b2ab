// Opening fonts and drawing one line of text in every mode and alignment.
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
        ASSERT_EQ(0, font.open((std::string(SOURCE_DIR) + "/gfx/vera.ttf").c_str(), 20));
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

    // What the window holds after drawing on a black one.
    std::vector<Rgb> drawn(Sint16 x, int32_t mode, int32_t align, const char* text) {
        fill_screen(BLACK);
        font.draw_text(screen, x, 30, WHITE, BLUE, mode, align, text);
        return snapshot();
    }

    int width_of(const char* text) const {
        int w = 0, h = 0;
        TTF_SizeText(font.font, text, &w, &h);
        return w;
    }

    TFont font;
};

TEST_F(FontTest, OpenSetsWhiteAndFailureLeavesNoFont) {
    EXPECT_EQ(255, font.color.r);
    EXPECT_EQ(255, font.color.g);
    EXPECT_EQ(255, font.color.b);

    TFont other;
    EXPECT_EQ(-1, other.open((dir + "/missing.ttf").c_str(), 20));
    EXPECT_EQ(nullptr, other.font);
    EXPECT_EQ(0, other.color.r);
    EXPECT_EQ(-1, other.open(write_file("junk.ttf", {1, 2, 3, 4, 5}).c_str(), 20));
    EXPECT_EQ(nullptr, other.font);
    // A fifo would block the opening for ever.
    ASSERT_EQ(0, mkfifo((dir + "/fifo.ttf").c_str(), 0644));
    EXPECT_EQ(-1, other.open((dir + "/fifo.ttf").c_str(), 20));

    fill_screen(BLACK);
    other.draw_text_plain(screen, 10, 10, "nothing");
    EXPECT_TRUE(screen_is(BLACK));
}

TEST_F(FontTest, AlignmentMovesTheLeftEdge) {
    // An odd width shows that the centring half is rounded down.
    const char* text = nullptr;
    for (const char* candidate : {"Moves", "Moves:", "Pushes", "Level 1", "Level 12", "Unsolved"})
        if (width_of(candidate) % 2 == 1)
            text = candidate;
    ASSERT_NE(nullptr, text);
    const int width = width_of(text);

    const std::vector<Rgb> center = drawn(160, TEXT_BLENDED, ALIGN_CENTER, text);
    EXPECT_TRUE(center == drawn(static_cast<Sint16>(160 - width / 2), TEXT_BLENDED, ALIGN_LEFT, text));
    EXPECT_FALSE(center == drawn(static_cast<Sint16>(160 - width / 2 - 1), TEXT_BLENDED, ALIGN_LEFT, text));

    const std::vector<Rgb> right = drawn(300, TEXT_BLENDED, ALIGN_RIGHT, text);
    EXPECT_TRUE(right == drawn(static_cast<Sint16>(300 - width), TEXT_BLENDED, ALIGN_LEFT, text));

    const std::vector<Rgb> left = drawn(40, TEXT_BLENDED, ALIGN_LEFT, text);
    EXPECT_TRUE(left == drawn(40, TEXT_BLENDED, 5, text));
    EXPECT_TRUE(left == drawn(40, TEXT_BLENDED, -1, text));
}

TEST_F(FontTest, UnknownModesAndEmptyTextsDrawNothing) {
    for (int32_t mode : {3, -1})
        EXPECT_TRUE(drawn(40, mode, ALIGN_LEFT, "Level 1") == std::vector<Rgb>(SCREEN_W * SCREEN_H, BLACK));
    for (int32_t mode : {TEXT_SOLID, TEXT_SHADED, TEXT_BLENDED})
        for (int32_t align : {ALIGN_LEFT, ALIGN_RIGHT, ALIGN_CENTER}) {
            fill_screen(BLACK);
            font.draw_text(screen, 160, 30, WHITE, BLUE, mode, align, "");
            EXPECT_TRUE(screen_is(BLACK)) << "mode " << mode << " align " << align;
        }
}

struct Colours {
    bool lit = false;
    bool only_red = true;
    bool blue = false;
    bool white = false;
};

TEST_F(FontTest, EachShorthandDrawsInItsColours) {
    auto colours_seen = [&](const std::function<void()>& draw) {
        fill_screen(BLACK);
        draw();
        Colours seen;
        for (const Rgb& c : snapshot()) {
            seen.lit = seen.lit || !(c == BLACK);
            seen.only_red = seen.only_red && c.g == 0 && c.b == 0;
            seen.blue = seen.blue || c == Rgb{0, 0, 255};
            seen.white = seen.white || c == Rgb{255, 255, 255};
        }
        return seen;
    };

    const Colours plain = colours_seen([&] { font.draw_text_plain(screen, 10, 10, "Cratoria"); });
    EXPECT_TRUE(plain.white);

    const Colours solid = colours_seen([&] { font.draw_text_solid(screen, 10, 10, RED, "Cratoria"); });
    const Colours blended = colours_seen([&] { font.draw_text_blended(screen, 10, 10, RED, "Cratoria"); });
    const Colours aligned =
        colours_seen([&] { font.draw_text_aligned(screen, 10, 10, RED, ALIGN_LEFT, "Cratoria"); });
    for (const Colours& red : {solid, blended, aligned}) {
        EXPECT_TRUE(red.lit);
        EXPECT_TRUE(red.only_red);
    }

    EXPECT_TRUE(colours_seen([&] { font.draw_text_shaded(screen, 10, 10, RED, BLUE, "Cratoria"); }).blue);
}

}  // namespace
