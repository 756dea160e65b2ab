// Drawing without the flip: a full redraw and a keeper step in play, and the
// title menu and the collection chooser, at the window sizes players use.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/bench_game.h"
#include "bench/level_maker.h"
#include "render/layout.h"

namespace {

constexpr int32_t DRAW_TILE = 50;
// The header and status panel bands, which the board area leaves out.
constexpr int32_t DRAW_BANDS_HEIGHT = 50 + 40;
constexpr int32_t DRAW_LIST_LENGTH = 80;

// The worst board for its window: as many 50-pixel tiles as the board area
// holds, so every redraw and every step blits the most tiles it ever can.
std::string largest_board(int32_t width, int32_t height) {
    const int32_t columns = width / DRAW_TILE;
    const int32_t rows = (height - DRAW_BANDS_HEIGHT) / DRAW_TILE;
    return TLevelMaker().level(1, columns, rows);
}

// A game in play on the largest board for a window of the benchmark's size.
bool start_play(benchmark::State& state, TBenchGame& bench) {
    const int32_t width = static_cast<int32_t>(state.range(0));
    const int32_t height = static_cast<int32_t>(state.range(1));
    bench.add_collection("default", largest_board(width, height));
    if (bench.start() != INIT_OK || bench.game->start_level(0) != 0 || bench.game->skin != &bench.game->skins[0]) {
        state.SkipWithError("the game did not start on 50-pixel tiles");
        return false;
    }
    state.counters["tiles"] = bench.game->level.width * bench.game->level.height;
    return true;
}

void BM_Redraw(benchmark::State& state) {
    TBenchGame bench(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)));
    if (!start_play(state, bench))
        return;
    for (auto _ : state)
        bench.game->redraw();
}
BENCHMARK(BM_Redraw)->Args({800, 600})->Args({1920, 1080})->Unit(benchmark::kMicrosecond)->UseRealTime();

// What the play screen does for one held cursor key's step before its flip:
// the step with its board, the history entry and the status panel.
void BM_KeeperStep(benchmark::State& state) {
    TBenchGame bench(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)));
    if (!start_play(state, bench))
        return;
    TGame& game = *bench.game;
    game.redraw();
    int32_t direction = DIR_RIGHT;
    for (auto _ : state) {
        const int32_t result = game.move_dir(direction);
        if (result < 0) {
            state.SkipWithError("the keeper could not step");
            break;
        }
        game.history.push_back(result | direction);
        game.draw_panel(nullptr, COLOR_WHITE);
        direction = direction == DIR_RIGHT ? DIR_LEFT : DIR_RIGHT;
    }
}
BENCHMARK(BM_KeeperStep)->Args({800, 600})->Args({1920, 1080})->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_DrawMenu(benchmark::State& state) {
    TBenchGame bench(800, 600);
    bench.link_shipped_levels();
    if (bench.start() != INIT_OK) {
        state.SkipWithError("the game did not start");
        return;
    }
    int32_t selection = MENU_START;
    for (auto _ : state) {
        bench.game->draw_menu(selection);
        selection = selection == MENU_QUIT ? MENU_START : selection + 1;
    }
}
BENCHMARK(BM_DrawMenu)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_DrawCollectionList(benchmark::State& state) {
    TBenchGame bench(800, 600);
    TLevelMaker maker;
    for (int32_t i = 1; i <= DRAW_LIST_LENGTH; ++i)
        bench.add_collection("Made-up set " + std::to_string(i), maker.collection_of_count(1));
    if (bench.start() != INIT_OK || bench.game->collections.size() != DRAW_LIST_LENGTH) {
        state.SkipWithError("the game did not start with every collection");
        return;
    }
    int32_t selection = 0;
    for (auto _ : state) {
        bench.game->draw_collection_list(selection);
        selection = (selection + 1) % DRAW_LIST_LENGTH;
    }
}
BENCHMARK(BM_DrawCollectionList)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
