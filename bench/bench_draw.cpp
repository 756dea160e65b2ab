// What a frame costs to draw, without its flip: a full redraw and a keeper step on the largest 50-pixel board.
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <SDL_ttf.h>
#include <benchmark/benchmark.h>

#include "app/game.h"
#include "render/layout.h"

namespace {

namespace fs = std::filesystem;

// A game started as the program starts it, in a scratch directory with the
// repository's pictures and fonts and the given collections, drawing into a
// 32-bit window of the given size: the depth of every desktop today.
class TBenchGame {
public:
    TBenchGame(int w, int h, const std::vector<std::string>& collections)
        : dir(fs::temp_directory_path() / ("cratoria-bench-" + std::to_string(getpid()))) {
        // Set here rather than left to the caller: a benchmark that found a
        // display would measure the X server too.
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        fs::create_directories(dir / "levels");
        fs::create_directory_symlink(fs::path(SOURCE_DIR) / "gfx", dir / "gfx");
        for (size_t i = 0; i < collections.size(); ++i)
            std::ofstream(dir / "levels" / ("Made-up set " + std::to_string(i + 1))) << collections[i];
        fs::current_path(dir);
        SDL_Init(SDL_INIT_VIDEO);
        TTF_Init();
        game = std::make_unique<TGame>();
        game->screen = SDL_SetVideoMode(w, h, 32, 0);
        started = game->screen && game->init() == INIT_OK && game->start_level(0) == 0;
    }
    ~TBenchGame() {
        game->font_big.close();
        game->font_small.close();
        TTF_Quit();
        game.reset();
        SDL_Quit();
        fs::current_path(fs::temp_directory_path());
        fs::remove_all(dir);
    }

    fs::path dir;
    std::unique_ptr<TGame> game;
    bool started = false;
};

// Walls round as many 50-pixel cells as the board area holds, the keeper in
// the top-left corner with room to step right and back.
std::string largest_board(int w, int h) {
    const int columns = w / 50, rows = (h - 90) / 50;
    const std::string wall(columns, '#'), floor = "#" + std::string(columns - 2, ' ') + "#";
    std::string text = ";1\n\n" + wall + "\n#@  $." + floor.substr(6) + "\n";
    for (int r = 2; r < rows - 1; ++r)
        text += floor + "\n";
    return text + wall + "\n";
}

void BM_Redraw(benchmark::State& state) {
    TBenchGame bench(state.range(0), state.range(1), {largest_board(state.range(0), state.range(1))});
    if (!bench.started || bench.game->skin != &bench.game->skins[0])
        return state.SkipWithError("the game did not start on 50-pixel tiles");
    for (auto _ : state)
        bench.game->redraw();
}
BENCHMARK(BM_Redraw)->Args({800, 600})->Args({1920, 1080})->Unit(benchmark::kMicrosecond)->UseRealTime();

// What the play screen does for one step before its flip: the step with its
// board, the history entry and the status panel.
void BM_KeeperStep(benchmark::State& state) {
    TBenchGame bench(state.range(0), state.range(1), {largest_board(state.range(0), state.range(1))});
    if (!bench.started || bench.game->skin != &bench.game->skins[0])
        return state.SkipWithError("the game did not start on 50-pixel tiles");
    TGame& game = *bench.game;
    int32_t direction = DIR_RIGHT;
    for (auto _ : state) {
        const int32_t result = game.move_dir(direction);
        if (result < 0)
            return state.SkipWithError("the keeper could not step");
        game.history.push_back(history_entry(direction, result));
        game.draw_panel(nullptr, COLOR_WHITE);
        direction = direction == DIR_RIGHT ? DIR_LEFT : DIR_RIGHT;
    }
}
BENCHMARK(BM_KeeperStep)->Args({800, 600})->Args({1920, 1080})->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
