// The benchmark program: SDL on its dummy driver, so that drawing is
// measured without a display, then every registered benchmark.
#include <cstdio>
#include <cstdlib>

#include <SDL.h>
#include <SDL_ttf.h>
#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    // Set here rather than left to the caller: a benchmark that found a
    // display would measure the X server too.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) < 0) {
        std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        return 1;
    }
    if (TTF_Init() != 0) {
        std::fprintf(stderr, "TTF_Init failed\n");
        SDL_Quit();
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    TTF_Quit();
    SDL_Quit();
    return 0;
}
