// The level reader's throughput on a large collection.
#include <benchmark/benchmark.h>

#include "bench/level_maker.h"
#include "bench/scratch_dir.h"
#include "level/level_collection.h"

namespace {

constexpr size_t READER_FILE_BYTES = 10 * 1024 * 1024;
const char* const READER_FILE_NAME = "large";

// Made once per run: the same file for every repetition.
struct TLargeCollection {
    TLargeCollection() : text(TLevelMaker().collection_of_size(READER_FILE_BYTES)) {
        write_text_file(dir.path + "/" + READER_FILE_NAME, text);
    }
    TScratchDir dir;
    std::string text;
};

void BM_ImportLargeCollection(benchmark::State& state) {
    static const TLargeCollection file;
    TLevelCollection collection;
    for (auto _ : state) {
        if (collection.import(file.dir.path + "/", READER_FILE_NAME) != 0) {
            state.SkipWithError("the made-up collection did not read cleanly");
            break;
        }
        // Releasing the levels is the next import's business, not reading.
        state.PauseTiming();
        const size_t levels = collection.levels.size();
        collection.clear();
        state.ResumeTiming();
        state.counters["levels"] = static_cast<double>(levels);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.text.size()));
}
BENCHMARK(BM_ImportLargeCollection)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
