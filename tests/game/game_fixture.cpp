// A game object in a scratch working directory of its own.
#include "game_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>

#include <SDL_ttf.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const int32_t SKIN_SIZES[SKIN_COUNT] = {50, 40, 30, 20, 12};

// The game's own fonts once they exist; until then any TrueType font shows
// whether texts land where they should.
std::string font_source(const char* name) {
    const std::string own = std::string(SOURCE_DIR) + "/gfx/" + name;
    if (fs::exists(own))
        return own;
    return "/usr/share/fonts/truetype/ttf-bitstream-vera/Vera.ttf";
}

SDL_Surface* rgb_surface(int32_t w, int32_t h) {
    return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
}

void fill(SDL_Surface* surface, SDL_Rect* rect, Rgb color) {
    SDL_FillRect(surface, rect, SDL_MapRGB(surface->format, color.r, color.g, color.b));
}

}  // namespace

void PrintTo(const Rgb& color, std::ostream* out) {
    *out << "(" << int(color.r) << ", " << int(color.g) << ", " << int(color.b) << ")";
}

Rgb tile_color(int32_t tile, int32_t size) {
    return Rgb{static_cast<Uint8>(tile * 23), static_cast<Uint8>(size * 2), static_cast<Uint8>(200 - tile)};
}

void make_grid(TLevel& level, int32_t width, int32_t height, int32_t fill_code) {
    level.release();
    ASSERT_EQ(0, level.create(width, height));
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            level.set(x, y, fill_code);
}

void GameTest::SetUp() {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    char buffer[] = "/tmp/cratoria-game-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(buffer));
    work_dir = buffer;
    old_dir = fs::current_path();
    fs::current_path(work_dir);
    fs::create_directory("gfx");
    fs::create_directory("levels");
    fs::copy_file(font_source("base02.ttf"), "gfx/base02.ttf");
    fs::copy_file(font_source("vera.ttf"), "gfx/vera.ttf");

    ASSERT_EQ(0, SDL_Init(SDL_INIT_VIDEO));
    ASSERT_EQ(0, TTF_Init());
    screen = SDL_SetVideoMode(800, 600, 32, 0);
    ASSERT_NE(nullptr, screen);
    for (int32_t size : SKIN_SIZES)
        write_skin(size, "gfx/skin" + std::to_string(size) + ".bmp");
}

void GameTest::TearDown() {
    // The order of main's shutdown: fonts, SDL_ttf, then the game object.
    if (game) {
        game->font_big.close();
        game->font_small.close();
    }
    TTF_Quit();
    game.reset();
    SDL_Quit();
    fs::current_path(old_dir);
    fs::remove_all(work_dir);
}

void GameTest::write_file(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

void GameTest::add_level_file(const std::string& fixture, const std::string& name) {
    fs::copy_file(std::string(TEST_DATA_DIR) + "/game/" + fixture, "levels/" + name);
}

void GameTest::add_tiny_collection(const std::string& name) {
    write_file("levels/" + name, ";1\n'Tiny\n#####\n#@$.#\n#####\n");
}

void GameTest::write_skin(int32_t size, const std::string& path) {
    SDL_Surface* picture = rgb_surface(6 * size, 2 * size);
    for (int32_t tile = 1; tile <= 10; ++tile) {
        const int32_t place = tile - 1;
        SDL_Rect rect = {static_cast<Sint16>(place % 6 * size), static_cast<Sint16>(place / 6 * size),
                         static_cast<Uint16>(size), static_cast<Uint16>(size)};
        fill(picture, &rect, tile_color(tile, size));
    }
    SDL_SaveBMP(picture, path.c_str());
    SDL_FreeSurface(picture);
}

void GameTest::write_background(int32_t w, int32_t h, Rgb fill_color, Rgb corner) {
    SDL_Surface* picture = rgb_surface(w, h);
    fill(picture, nullptr, fill_color);
    SDL_Rect dot = {0, 0, 1, 1};
    fill(picture, &dot, corner);
    SDL_SaveBMP(picture, "gfx/back.bmp");
    SDL_FreeSurface(picture);
}

TGame& GameTest::make_game() {
    game = std::make_unique<TGame>();
    game->screen = screen;
    game->video_flags = 0;
    return *game;
}

TGame& GameTest::start_game() {
    TGame& made = make_game();
    EXPECT_EQ(INIT_OK, made.init());
    return made;
}

Rgb GameTest::pixel(int32_t x, int32_t y) const {
    SDL_Surface* surface = game ? game->screen : screen;
    const Uint8* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
    const Uint32 value = reinterpret_cast<const Uint32*>(row)[x];
    Rgb color;
    SDL_GetRGB(value, surface->format, &color.r, &color.g, &color.b);
    return color;
}

void GameTest::fill_screen(Rgb color) {
    fill(game ? game->screen : screen, nullptr, color);
}

bool GameTest::area_is(int32_t x, int32_t y, int32_t w, int32_t h, Rgb color) const {
    for (int32_t j = y; j < y + h; ++j)
        for (int32_t i = x; i < x + w; ++i)
            if (!(pixel(i, j) == color))
                return false;
    return true;
}
