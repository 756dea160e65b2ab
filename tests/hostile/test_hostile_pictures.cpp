// BMP files whose headers lie: each is refused with the loader's one line,
// or loaded whole, never read past its end or allocated at its word.
#include <SDL.h>

#include "hostile_fixture.h"
#include "render/image.h"

namespace {

void put_le(std::string& bytes, size_t at, uint32_t value, int size) {
    char little_endian[4];
    for (int i = 0; i < size; ++i)
        little_endian[i] = static_cast<char>(value >> (8 * i));
    bytes.replace(at, size, little_endian, size);
}

// A valid uncompressed picture of the given depth, with a grey palette
// when it has one.
std::string make_bmp(int width, int height, int depth) {
    const int colours = depth <= 8 ? 1 << depth : 0;
    const int offset = 54 + 4 * colours;
    const int row_size = (width * depth + 31) / 32 * 4;
    std::string bytes(offset + row_size * height, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    put_le(bytes, 2, static_cast<uint32_t>(bytes.size()), 4);
    put_le(bytes, 10, offset, 4);
    put_le(bytes, 14, 40, 4);
    put_le(bytes, 18, width, 4);
    put_le(bytes, 22, height, 4);
    put_le(bytes, 26, 1, 2);
    put_le(bytes, 28, depth, 2);
    for (int i = 0; i < colours; ++i)
        put_le(bytes, 54 + 4 * i, (i * 255 / (colours - 1)) * 0x010101u, 4);
    for (size_t i = offset; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7);
    return bytes;
}

std::string with(std::string bytes, size_t at, uint32_t value, int size) {
    put_le(bytes, at, value, size);
    return bytes;
}

class HostilePictures : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        ASSERT_NE(SDL_SetVideoMode(64, 64, 32, SDL_SWSURFACE), nullptr) << SDL_GetError();
    }
    void TearDown() override { SDL_Quit(); }

    // Loads the bytes as a picture in a child; its status is 0 for a
    // picture, 1 for a refusal with exactly the loader's message.
    TChildResult load(const std::string& bytes) {
        write_file(dir / "picture.bmp", bytes);
        return run_in_child([&] {
            redirect_stderr(dir / "messages");
            SDL_Surface* picture = load_image(dir / "picture.bmp");
            if (picture) {
                SDL_FreeSurface(picture);
                return 0;
            }
            std::fflush(stderr);
            return read_file(dir / "messages") == "load_image: error opening " + (dir / "picture.bmp") + "\n" ? 1 : 2;
        });
    }

    TScratchDir dir;
};

}  // namespace

TEST_F(HostilePictures, LyingHeadersAreRefused) {
    const std::string rgb = make_bmp(16, 16, 24);
    const std::string paletted = make_bmp(16, 16, 8);
    ASSERT_EQ(load(rgb).status, 0);
    ASSERT_EQ(load(paletted).status, 0);
    ASSERT_EQ(load(make_bmp(16, 16, 1)).status, 0);
    // The pixels are found through their offset, so a header claiming to be
    // larger than the file does no harm.
    EXPECT_EQ(load(with(rgb, 14, 0xFFFFFFFF, 4)).status, 0);

    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"magic only", "BM"},
        {"file header only", rgb.substr(0, 14)},
        {"cut in the info header", rgb.substr(0, 30)},
        {"cut in the pixels", rgb.substr(0, rgb.size() - 100)},
        {"cut in the palette", paletted.substr(0, 100)},
        {"width 2^31 - 1", with(rgb, 18, 0x7FFFFFFF, 4)},
        {"negative width", with(rgb, 18, 0xFFFFFFF0, 4)},
        {"height -2^31", with(rgb, 22, 0x80000000, 4)},
        {"100000 x 100000", with(with(rgb, 18, 100000, 4), 22, 100000, 4)},
        {"zero width", with(rgb, 18, 0, 4)},
        {"depth 0", with(rgb, 28, 0, 2)},
        {"depth 2", with(rgb, 28, 2, 2)},
        {"depth 7", with(rgb, 28, 7, 2)},
        {"depth 64", with(rgb, 28, 64, 2)},
        {"depth 65535", with(rgb, 28, 0xFFFF, 2)},
        {"two billion colours", with(paletted, 46, 0x7FFFFFFF, 4)},
        {"run-length compressed", with(paletted, 30, 1, 4)},
        {"unknown compression", with(rgb, 30, 0x7FFFFFFF, 4)},
        {"pixels past the end", with(rgb, 10, 0xFFFFFFF0, 4)},
        {"info header of 13 bytes", with(rgb, 14, 13, 4)},
    };
    for (const auto& each : cases) {
        const TChildResult result = load(each.bytes);
        EXPECT_EQ(result.status, 1) << each.what << ": " << result;
        EXPECT_WITHIN_BOUNDS(result);
    }
}

// Random damage to the headers and palettes of good pictures: whatever
// loads is a picture, whatever does not says so, and nothing else happens.
TEST_F(HostilePictures, DamagedHeadersNeverCrashTheLoader) {
    const std::string originals[] = {make_bmp(16, 16, 24), make_bmp(9, 5, 8),  make_bmp(33, 3, 4),
                                     make_bmp(7, 7, 1),    make_bmp(5, 4, 32), make_bmp(6, 6, 16)};
    const TChildResult result = run_in_child([&] {
        redirect_stderr(dir / "messages");
        TNoise noise(77);
        int loaded = 0;
        for (int round = 0; round < 3000; ++round) {
            std::string bytes = originals[round % 6];
            const int changes = 1 + noise.next() % 4;
            for (int i = 0; i < changes; ++i) {
                const size_t at = noise.next() % std::min<size_t>(bytes.size(), 80);
                bytes[at] = static_cast<char>(noise.next() >> 24);
            }
            if (noise.next() % 8 == 0)
                bytes.resize(noise.next() % bytes.size());
            write_file(dir / "picture.bmp", bytes);
            if (SDL_Surface* picture = load_image(dir / "picture.bmp")) {
                SDL_FreeSurface(picture);
                ++loaded;
            }
        }
        return loaded > 0 ? 0 : 1;
    });
    EXPECT_EQ(result.status, 0) << result;
    EXPECT_LT(result.seconds, 60) << result;
    EXPECT_LT(result.max_rss_mb, CASE_MAX_RSS_MB) << result;
}
