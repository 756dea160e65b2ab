// Loading BMP pictures: good ones arrive whole and opaque; damaged or hostile ones give one message and no picture.
#include <sys/stat.h>

#include <filesystem>

#include "render/image.h"
#include "render_fixture.h"
#include "tests/support/child.h"

namespace {

Uint32 gradient(int x, int y) {
    return 0x100000 * x + 0x1000 * y + 77;
}

using LoadImage = RenderTest;

TEST_F(LoadImage, GoodPicturesArriveWholeAndOpaque) {
    // The second has the old 12-byte header: 16-bit sides, no masks, no alpha.
    std::string old = make_bmp(10, 6, gradient).erase(26, 96);
    for (auto [at, value] : {std::pair{10, 26}, {14, 12}, {18, 10 | 6 << 16}, {22, 1 | 32 << 16}})
        put_le(old, at, value, 4);
    // The last has eight bits and a palette, as SDL writes it.
    SDL_Surface* paletted = SDL_CreateRGBSurface(0, 10, 6, 8, 0, 0, 0, 0);
    for (int i = 0; i < 60; ++i) {
        const Uint32 colour = gradient(i % 10, i / 10);
        SDL_Color entry = {Uint8(colour >> 16), Uint8(colour >> 8), Uint8(colour), 0};
        SDL_SetColors(paletted, &entry, i, 1);
        static_cast<Uint8*>(paletted->pixels)[i / 10 * paletted->pitch + i % 10] = Uint8(i);
    }
    SDL_SaveBMP(paletted, (dir / "paletted.bmp").c_str());
    SDL_FreeSurface(paletted);
    const std::string pictures[] = {make_bmp(10, 6, gradient), old, make_bmp(10, 6, gradient, true),
                                    read_file(dir / "paletted.bmp")};
    for (int i = 0; i < 4; ++i) {
        SDL_Surface* picture = load_image(file("good.bmp", pictures[i]));
        ASSERT_NE(nullptr, picture) << "picture " << i;
        EXPECT_TRUE(picture->w == 10 && picture->h == 6) << "picture " << i;
        fill(0);
        SDL_UpperBlit(picture, nullptr, screen, nullptr);
        SDL_FreeSurface(picture);
        for (auto [x, y] : {std::pair{0, 0}, {9, 0}, {0, 5}, {9, 5}})
            EXPECT_EQ(gradient(x, y), pixel_at(screen, x, y)) << "picture " << i;
    }
}

struct THostile {
    const char* what;
    std::vector<std::pair<size_t, uint32_t>> fields;  // values at offsets: 2 bytes for the depth, else 4
    size_t size = std::string::npos;                  // the file cut short, or grown through a hole
};

// Damaged and hostile files, each loaded in a child of its own: none may
// hang, crash or allocate what its header claims.
TEST_F(LoadImage, HostilePicturesAreRefusedWithOneLine) {
    const std::string good = make_bmp(16, 16, gradient);
    const THostile hostile[] = {
        {"empty", {}, 0},
        {"cut in the pixels", {}, good.size() - 1},
        {"header of 13 bytes", {{14, 13}}},
        {"negative width", {{18, uint32_t(-16)}}},
        {"height -2^31", {{22, 0x80000000}}},
        {"30000 x 30000 in 34 bytes", {{18, 30000}, {22, 30000}}, 34},
        {"8192 x 4097 in a file that holds them", {{18, 8192}, {22, 4097}}, 122 + 8192 * 4 * 4097},
        {"depth 0", {{28, 0}}},
        {"depth 15", {{28, 15}}},
        {"depth 65535", {{28, 0xffff}}},
        {"two billion colours", {{28, 8}, {46, 0x7fffffff}}},
        {"pixels past the end", {{10, 0xfffffff0}}},
    };
    ASSERT_EQ(0, mkdir((dir / "directory").c_str(), 0755));
    ASSERT_EQ(0, mkfifo((dir / "fifo").c_str(), 0644));
    std::vector<std::string> paths = {dir / "missing", dir / "directory", dir / "fifo"};
    for (const THostile& each : hostile) {
        std::string bytes = good;
        for (auto [at, value] : each.fields)
            put_le(bytes, at, value, at == 28 ? 2 : 4);
        paths.push_back(file(each.what, bytes));
        if (each.size != std::string::npos)
            std::filesystem::resize_file(paths.back(), each.size);
    }
    for (const std::string& path : paths) {
        const TChildResult result = run_in_child(
            [&] {
                std::freopen((dir / "messages").c_str(), "w", stderr);
                if (load_image(path))
                    return 1;
                std::fflush(stderr);
                return read_file(dir / "messages") == "load_image: error opening " + path + "\n" ? 0 : 2;
            },
            10);
        EXPECT_EQ(0, result.status) << path << ": " << result;
        EXPECT_WITHIN_BOUNDS(result);
    }
}

}  // namespace
