// Loading BMP pictures: good files arrive in the window's format, damaged or
// hostile ones give the one message and no picture.
#include <sys/stat.h>

#include "render/image.h"
#include "render_fixture.h"

namespace {

const Rgb ORANGE = {250, 120, 10};

Rgb gradient(int x, int y) {
    return {static_cast<Uint8>(x * 20), static_cast<Uint8>(y * 20), 77};
}

class LoadImageTest : public RenderTest {
protected:
    // Loads the file and expects it refused with exactly the loader's message.
    void expect_refused(const std::string& path) {
        testing::internal::CaptureStderr();
        SDL_Surface* picture = load_image(path);
        const std::string message = testing::internal::GetCapturedStderr();
        EXPECT_EQ(nullptr, picture);
        EXPECT_EQ("load_image: error opening " + path + "\n", message);
        SDL_FreeSurface(picture);
    }

    std::vector<uint8_t> good_bmp() const { return make_bmp24(10, 6, gradient); }
};

TEST_F(LoadImageTest, LoadsBottomUpAndTopDownPicturesInTheWindowFormat) {
    for (bool top_down : {false, true}) {
        SDL_Surface* picture = load_image(write_file("pic.bmp", make_bmp24(10, 6, gradient, top_down)));
        ASSERT_NE(nullptr, picture);
        EXPECT_EQ(10, picture->w);
        EXPECT_EQ(6, picture->h);
        EXPECT_EQ(32, picture->format->BitsPerPixel);
        EXPECT_EQ(gradient(0, 0), surface_pixel(picture, 0, 0));
        EXPECT_EQ(gradient(9, 5), surface_pixel(picture, 9, 5));
        EXPECT_EQ(gradient(3, 1), surface_pixel(picture, 3, 1));
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
    std::vector<uint8_t> bytes = good_bmp();
    bytes[0] = 'X';
    expect_refused(write_file("signature.bmp", bytes));

    for (uint32_t bits : {0u, 2u, 7u, 15u, 33u, 0xffffu}) {
        bytes = good_bmp();
        put_le(bytes, 28, bits, 2);
        expect_refused(write_file("bits.bmp", bytes));
    }

    bytes = good_bmp();
    put_le(bytes, 30, 1, 4);
    expect_refused(write_file("rle.bmp", bytes));

    for (int32_t width : {0, -10, 8193}) {
        bytes = good_bmp();
        put_le(bytes, 18, static_cast<uint32_t>(width), 4);
        expect_refused(write_file("width.bmp", bytes));
    }
    for (int32_t height : {0, 8193, -8193, INT32_MIN}) {
        bytes = good_bmp();
        put_le(bytes, 22, static_cast<uint32_t>(height), 4);
        expect_refused(write_file("height.bmp", bytes));
    }
}

TEST_F(LoadImageTest, SizesThatTheFileCannotHoldAreRefused) {
    // 34 bytes claiming 30000 x 30000 pixels: SDL alone would allocate 2.7 GB.
    std::vector<uint8_t> tiny = good_bmp();
    put_le(tiny, 18, 30000, 4);
    put_le(tiny, 22, 30000, 4);
    tiny.resize(34);
    expect_refused(write_file("tiny.bmp", tiny));

    // Within each side's limit and backed by a (sparse) file large enough,
    // but more pixels than any picture may have.
    std::vector<uint8_t> many = good_bmp();
    put_le(many, 18, 8192, 4);
    put_le(many, 22, 4097, 4);
    const std::string many_path = write_file("many.bmp", many);
    std::filesystem::resize_file(many_path, 54 + 8192ull * 3 * 4097);
    expect_refused(many_path);

    std::vector<uint8_t> truncated = good_bmp();
    truncated.pop_back();
    expect_refused(write_file("truncated.bmp", truncated));

    std::vector<uint8_t> far_offset = good_bmp();
    put_le(far_offset, 10, 0xfffffff0u, 4);
    expect_refused(write_file("offset.bmp", far_offset));
}

TEST_F(LoadImageTest, LargestAllowedSideStillLoads) {
    SDL_Surface* picture = load_image(write_file("wide.bmp", make_bmp24(8192, 2, [](int, int) { return ORANGE; })));
    ASSERT_NE(nullptr, picture);
    EXPECT_EQ(8192, picture->w);
    EXPECT_EQ(ORANGE, surface_pixel(picture, 8191, 1));
    SDL_FreeSurface(picture);
}

TEST_F(LoadImageTest, PalettedPictureNeedsAColourCountWithinItsPalette) {
    // A 2 x 1 picture with 8 bits per pixel and two palette entries.
    std::vector<uint8_t> bytes(54 + 8 + 4, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    put_le(bytes, 2, static_cast<uint32_t>(bytes.size()), 4);
    put_le(bytes, 10, 62, 4);
    put_le(bytes, 14, 40, 4);
    put_le(bytes, 18, 2, 4);
    put_le(bytes, 22, 1, 4);
    put_le(bytes, 26, 1, 2);
    put_le(bytes, 28, 8, 2);
    put_le(bytes, 46, 2, 4);
    put_le(bytes, 54, 0x00ff0000, 4);
    put_le(bytes, 58, 0x000000ff, 4);
    bytes[62] = 1;
    bytes[63] = 0;

    SDL_Surface* picture = load_image(write_file("paletted.bmp", bytes));
    ASSERT_NE(nullptr, picture);
    EXPECT_EQ((Rgb{0, 0, 255}), surface_pixel(picture, 0, 0));
    EXPECT_EQ((Rgb{255, 0, 0}), surface_pixel(picture, 1, 0));
    SDL_FreeSurface(picture);

    // SDL would otherwise read a colour for each of four billion entries.
    put_le(bytes, 46, 0xffffffffu, 4);
    expect_refused(write_file("colours.bmp", bytes));
}

TEST_F(LoadImageTest, AlphaChannelIsDrawnOpaque) {
    // 32 bits per pixel with an explicit alpha mask, every pixel fully
    // transparent: the game draws it as if the alpha were not there.
    const int width = 4, height = 3, header = 14 + 108;
    std::vector<uint8_t> bytes(header + width * height * 4, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    put_le(bytes, 2, static_cast<uint32_t>(bytes.size()), 4);
    put_le(bytes, 10, header, 4);
    put_le(bytes, 14, 108, 4);
    put_le(bytes, 18, width, 4);
    put_le(bytes, 22, height, 4);
    put_le(bytes, 26, 1, 2);
    put_le(bytes, 28, 32, 2);
    put_le(bytes, 30, 3, 4);
    put_le(bytes, 54, 0x00ff0000, 4);
    put_le(bytes, 58, 0x0000ff00, 4);
    put_le(bytes, 62, 0x000000ff, 4);
    put_le(bytes, 66, 0xff000000, 4);
    for (int i = 0; i < width * height; ++i)
        put_le(bytes, header + 4 * i, 0x00fa780a, 4);

    SDL_Surface* picture = load_image(write_file("alpha.bmp", bytes));
    ASSERT_NE(nullptr, picture);
    fill_screen({0, 0, 0});
    SDL_Rect to = {5, 5, 0, 0};
    SDL_UpperBlit(picture, nullptr, screen, &to);
    EXPECT_EQ(ORANGE, pixel(5, 5));
    EXPECT_EQ(ORANGE, pixel(8, 7));
    SDL_FreeSurface(picture);
}

}  // namespace
