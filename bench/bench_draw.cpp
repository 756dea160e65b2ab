// What a frame costs to draw, without its flip: a full redraw and a keeper step on the largest 50-pixel board.
#include <stdlib.h>

#include <iostream>
#include <string>

#include <SDL_ttf.h>
#include <benchmark/benchmark.h>

#include "level/level_collection.h"
#include "render/draw.h"
#include "render/image.h"
#include "render/layout.h"

namespace {

constexpr int32_t HEADER_HEIGHT = 50;
constexpr int32_t PANEL_HEIGHT = 40;

// What the play screen draws, loaded as the program loads it from the
// repository's gfx/, with the level started, in a 32-bit window of the given
// size: the depth of every desktop today.
class TBenchBoard {
    // Up first and down last, around everything else the board holds.
    struct TLibraries {
        TLibraries() {
            // Set here rather than left to the caller: a benchmark that
            // found a display would measure the X server too.
            setenv("SDL_VIDEODRIVER", "dummy", 1);
            SDL_Init(SDL_INIT_VIDEO);
            TTF_Init();
        }
        ~TLibraries() {
            TTF_Quit();
            SDL_Quit();
        }
    } libraries;

public:
    TBenchBoard(int w, int h, const std::string& levels) {
        screen = SDL_SetVideoMode(w, h, 32, 0);
        const std::string gfx = SOURCE_DIR "/gfx/";
        TLevelCollection collection;
        started = screen && skin.load(50, 50, 32, gfx + "skin50.bmp") == 0 &&
                  font_big.open((gfx + "base02.ttf").c_str(), 30) == 0 &&
                  font_small.open((gfx + "vera.ttf").c_str(), 20) == 0 &&
                  collection.import_text(levels, "Made-up set", std::cerr) == 0 &&
                  level.copy_from(*collection.levels.at(0)) == 0 &&
                  fitting_skin(&skin, 1, level.width, level.height, w, area_height()) == 0;
        background = load_image(gfx + "back.bmp");
    }
    ~TBenchBoard() {
        SDL_FreeSurface(background);
        font_big.close();
        font_small.close();
    }

    int32_t area_height() const { return screen->h - HEADER_HEIGHT - PANEL_HEIGHT; }
    void draw_panel() {
        ::draw_panel(screen, font_small, PANEL_HEIGHT, nullptr, COLOR_WHITE, {level.number, moves, 0, 0, 0});
    }

    SDL_Surface* screen = nullptr;
    SDL_Surface* background = nullptr;
    TSkin skin;
    TFont font_big;
    TFont font_small;
    TPlayLevel level;
    int32_t moves = 0;
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
    TBenchBoard bench(state.range(0), state.range(1), largest_board(state.range(0), state.range(1)));
    if (!bench.started)
        return state.SkipWithError("the board did not start on 50-pixel tiles");
    for (auto _ : state) {
        draw_background(bench.screen, bench.background, HEADER_HEIGHT, bench.area_height());
        draw_board(bench.screen, bench.skin, bench.level, HEADER_HEIGHT, bench.area_height());
        draw_header(bench.screen, bench.font_big, HEADER_HEIGHT);
        bench.draw_panel();
    }
}
BENCHMARK(BM_Redraw)->Args({800, 600})->Args({1920, 1080})->Unit(benchmark::kMicrosecond)->UseRealTime();

// What the play screen does for one step before its flip: the step with its
// board, the move count and the status panel.
void BM_KeeperStep(benchmark::State& state) {
    TBenchBoard bench(state.range(0), state.range(1), largest_board(state.range(0), state.range(1)));
    if (!bench.started)
        return state.SkipWithError("the board did not start on 50-pixel tiles");
    int32_t dx = 1;
    for (auto _ : state) {
        if (bench.level.move(dx, 0) < 0)
            return state.SkipWithError("the keeper could not step");
        draw_board(bench.screen, bench.skin, bench.level, HEADER_HEIGHT, bench.area_height());
        ++bench.moves;
        bench.draw_panel();
        dx = -dx;
    }
}
BENCHMARK(BM_KeeperStep)->Args({800, 600})->Args({1920, 1080})->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
