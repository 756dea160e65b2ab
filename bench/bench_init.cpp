// Start-up of the game object: opening the fonts, and init, which reads
// every collection, cuts the tile sets and loads the background and scores.
#include <benchmark/benchmark.h>

#include <string>

#include <malloc.h>

#include "bench/bench_game.h"
#include "bench/level_maker.h"

namespace {

constexpr int32_t INIT_COLLECTIONS = 80;
constexpr int32_t INIT_LEVELS_EACH = 1000;

// init again on the same object: what it read before goes first, outside
// the measurement, so that each pass starts as the program does. The freed
// memory goes back to the system too: at start every page the levels fill
// is new and costs a page fault, and on a virtual machine those faults are
// much of the time that reading a large collection takes.
void run_init(benchmark::State& state, TBenchGame& bench) {
    if (bench.start() != INIT_OK) {
        state.SkipWithError("the game did not start");
        return;
    }
    TGame& game = *bench.game;
    for (auto _ : state) {
        state.PauseTiming();
        game.collections.clear();
        bench.free_loaded_surfaces();
        malloc_trim(0);
        state.ResumeTiming();
        if (game.init() != INIT_OK) {
            state.SkipWithError("init failed");
            break;
        }
    }
    size_t levels = 0;
    for (const auto& each : game.collections)
        levels += each->levels.size();
    state.counters["collections"] = static_cast<double>(game.collections.size());
    state.counters["levels"] = static_cast<double>(levels);
}

void BM_InitShippedData(benchmark::State& state) {
    TBenchGame bench(800, 600);
    bench.link_shipped_levels();
    run_init(state, bench);
}
BENCHMARK(BM_InitShippedData)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_InitLargeCollections(benchmark::State& state) {
    TBenchGame bench(800, 600);
    TLevelMaker maker;
    for (int32_t i = 1; i <= INIT_COLLECTIONS; ++i)
        bench.add_collection("made-up-" + std::to_string(i), maker.collection_of_count(INIT_LEVELS_EACH));
    run_init(state, bench);
}
BENCHMARK(BM_InitLargeCollections)->Unit(benchmark::kMillisecond)->UseRealTime();

// The fonts are opened by the constructor, before the window exists.
void BM_OpenFonts(benchmark::State& state) {
    TBenchGame bench(800, 600);
    for (auto _ : state) {
        TFont big;
        TFont small;
        if (big.open("gfx/base02.ttf", 30) != 0 || small.open("gfx/vera.ttf", 20) != 0) {
            state.SkipWithError("a font did not open");
            break;
        }
        big.close();
        small.close();
    }
}
BENCHMARK(BM_OpenFonts)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
