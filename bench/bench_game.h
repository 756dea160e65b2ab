// A game object as the program would have it after start-up, for the
// benchmarks: a window of a chosen size at 32 bits on SDL's dummy driver,
// the repository's pictures and fonts, and levels of the benchmark's choice,
// all in a scratch working directory.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/game.h"
#include "bench/scratch_dir.h"

class TBenchGame {
public:
    TBenchGame(int32_t width, int32_t height);
    ~TBenchGame();
    TBenchGame(const TBenchGame&) = delete;
    TBenchGame& operator=(const TBenchGame&) = delete;

    // Before start: where the game will find its levels.
    void link_shipped_levels();
    void add_collection(const std::string& name, const std::string& text);

    // Opens the window, constructs the game object and runs its init;
    // init's result.
    int32_t start();
    // The surfaces init loaded, which the game leaves to SDL's shutdown;
    // a benchmark that runs init again and again frees them in between.
    void free_loaded_surfaces();

    TScratchDir dir;
    std::unique_ptr<TGame> game;

private:
    int32_t width;
    int32_t height;
};
