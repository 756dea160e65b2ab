// Loading BMP pictures: good files arrive in the window's format, damaged or
// hostile ones give the one message and no picture.
#include <sys/stat.h>

#include "render/image.h"
#include "render/skin.h"
#include "render_fixture.h"

namespace {

const Rgb ORANGE = {250, 120, 10};

Rgb gradient(int x, int y) {
    return {static_cast<Uint8>(x * 20), static_cast<Uint8>(y * 20), 77};
}

class LoadImageTest : public RenderTest {
protected:
    void expect_refused(const std::string& path) {
        testing::internal::CaptureStderr();
        SDL_Surface* picture = load_image(path);
        const std::string message = testing::internal::GetCapturedStderr();
        EXPECT_EQ(nullptr, picture);
        EXPECT_EQ("load_image: error opening " + path + "\n", message);
        SDL_FreeSurface(picture);
    }

    // A good 10 x 6 picture with one header field overwritten.
    void expect_refused_with(size_t at, uint32_t value, int size) {
        std::vector<uint8_t> bytes = make_bmp(10, 6, gradient);
        put_le(bytes, at, value, size);
        expect_refused(write_file("bad.bmp", bytes));
    }
};

TEST_F(LoadImageTest, LoadsBottomUpAndTopDownPicturesInTheWindowFormat) {
    for (bool top_down : {false, true}) {
        SDL_Surface* picture = load_image(write_file("pic.bmp", make_bmp(10, 6, gradient, top_down)));
        ASSERT_NE(nullptr, picture);
        EXPECT_EQ(10, picture->w);
        EXPECT_EQ(6, picture->h);
        EXPECT_EQ(32, picture->format->BitsPerPixel);
        for (auto [x, y] : {std::pair{0, 0}, std::pair{9, 5}, std::pair{3, 1}})
            EXPECT_EQ(gradient(x, y), surface_pixel(picture, x, y)) << "top_down " << top_down;
        SDL_FreeSurface(picture);
    }
}

TEST_F(LoadImageTest, MissingEmptyAndNonRegularFilesAreRefused) {
    expect_refused(dir + "/missing.bmp");
    expect_refused(write_file("empty.bmp", {}));
    ASSERT_EQ(0, mkdir((dir + "/folder.bmp").c_str(), 0755));
    expect_refused(dir + "/folder.bmp");
    // Opening a fifo for reading would wait forever for a writer.
    ASSERT_EQ(0, mkfifo((dir + "/fifo.bmp").c_str(), 0644));
    expect_refused(dir + "/fifo.bmp");
}

TEST_F(LoadImageTest, HeadersTheLoaderWouldTrustAreRefused) {
    expect_refused_with(0, 'X', 1);
    for (uint32_t bits : {0u, 2u, 7u, 15u, 33u, 0xffffu})
        expect_refused_with(28, bits, 2);
    expect_refused_with(30, 1, 4);
    for (int32_t width : {0, -10, 8193})
        expect_refused_with(18, static_cast<uint32_t>(width), 4);
    for (int32_t height : {0, 8193, -8193, INT32_MIN})
        expect_refused_with(22, static_cast<uint32_t>(height), 4);
}

TEST_F(LoadImageTest, SizesTheFileCannotHoldAreRefused) {
    // 34 bytes claiming 30000 x 30000 pixels: SDL alone would allocate 2.7 GB.
    std::vector<uint8_t> tiny = make_bmp(10, 6, gradient);
    put_le(tiny, 18, 30000, 4);
    put_le(tiny, 22, 30000, 4);
    tiny.resize(34);
    expect_refused(write_file("tiny.bmp", tiny));

    std::vector<uint8_t> truncated = make_bmp(10, 6, gradient);
    truncated.pop_back();
    expect_refused(write_file("truncated.bmp", truncated));
    expect_refused_with(10, 0xfffffff0u, 4);

    // Each side within its limit and a (sparse) file large enough, but more
    // pixels than any picture may have.
    std::vector<uint8_t> many = make_bmp(10, 6, gradient);
    put_le(many, 18, 8192, 4);
    put_le(many, 22, 4097, 4);
    const std::string many_path = write_file("many.bmp", many);
    std::filesystem::resize_file(many_path, 54 + 8192ull * 3 * 4097);
    expect_refused(many_path);

    SDL_Surface* widest = load_image(write_file("wide.bmp", make_bmp(8192, 2, [](int, int) { return ORANGE; })));
    ASSERT_NE(nullptr, widest);
    EXPECT_EQ(ORANGE, surface_pixel(widest, 8191, 1));
    SDL_FreeSurface(widest);
}

TEST_F(LoadImageTest, AlphaChannelIsDrawnOpaque) {
    SDL_Surface* picture = load_image(write_file("alpha.bmp", make_bmp(
                                                                  4, 3, [](int, int) { return ORANGE; }, false, true)));
    ASSERT_NE(nullptr, picture);
    fill_screen({0, 0, 0});
    SDL_Rect to = {5, 5, 0, 0};
    SDL_UpperBlit(picture, nullptr, screen, &to);
    EXPECT_EQ(ORANGE, pixel(5, 5));
    EXPECT_EQ(ORANGE, pixel(8, 7));
    SDL_FreeSurface(picture);

    TestSkin skin;
    ASSERT_EQ(0, skin.load(1, 1, 32, dir + "/alpha.bmp"));
    fill_screen({0, 0, 0});
    EXPECT_EQ(0, skin.draw_tile(TILE_WALL, screen, 0, 0));
    EXPECT_EQ(ORANGE, pixel(0, 0));
}

}  // namespace
