// A game object in a scratch working directory, drawn on the dummy driver.
#include "bench/bench_game.h"

#include <filesystem>

#include "bench/level_maker.h"

namespace {

// The benchmarks measure the 32-bit path, the depth of every desktop today.
constexpr int32_t BENCH_DEPTH = 32;

}  // namespace

TBenchGame::TBenchGame(int32_t width, int32_t height) : width(width), height(height) {
    dir.enter();
    dir.link_from_source("gfx");
}

TBenchGame::~TBenchGame() {
    if (!game)
        return;
    free_loaded_surfaces();
    game->font_big.close();
    game->font_small.close();
    game.reset();
}

void TBenchGame::link_shipped_levels() {
    dir.link_from_source("levels");
}

void TBenchGame::add_collection(const std::string& name, const std::string& text) {
    std::filesystem::create_directories(dir.path + "/levels");
    write_text_file(dir.path + "/levels/" + name, text);
}

int32_t TBenchGame::start() {
    game = std::make_unique<TGame>();
    game->video_flags = SDL_HWSURFACE | SDL_RESIZABLE | SDL_DOUBLEBUF;
    game->screen = SDL_SetVideoMode(width, height, BENCH_DEPTH, game->video_flags);
    if (!game->screen)
        return -1;
    return game->init();
}

void TBenchGame::free_loaded_surfaces() {
    for (TSkin& each : game->skins) {
        for (SDL_Surface*& tile : each.tiles) {
            SDL_FreeSurface(tile);
            tile = nullptr;
        }
    }
    SDL_FreeSurface(game->background);
    game->background = nullptr;
}
