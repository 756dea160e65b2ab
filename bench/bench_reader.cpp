// The level reader's throughput on a large collection.
#include <benchmark/benchmark.h>
#include <malloc.h>

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

// fresh_pages: whether the memory of the levels read before goes back to
// the system between passes. Without, the reader refills pages it has used
// already, as it does when a collection is read again; with, every page is
// new, as at start-up, and each costs a page fault.
void import_large_collection(benchmark::State& state, bool fresh_pages) {
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
        if (fresh_pages)
            malloc_trim(0);
        state.ResumeTiming();
        state.counters["levels"] = static_cast<double>(levels);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.text.size()));
}

void BM_ImportLargeCollection(benchmark::State& state) {
    import_large_collection(state, false);
}
BENCHMARK(BM_ImportLargeCollection)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ImportLargeCollectionFreshPages(benchmark::State& state) {
    import_large_collection(state, true);
}
BENCHMARK(BM_ImportLargeCollectionFreshPages)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
