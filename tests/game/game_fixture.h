// A game in a scratch directory with its own pictures and fonts, a dummy window, queued input and a scripted clock.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include "app/game.h"
#include "tests/support/pixels.h"
#include "tests/support/scratch_dir.h"

namespace fs = std::filesystem;

// A key (a is its symbol), a resize (to a x b) or any other event.
inline SDL_Event event(Uint8 type, int a = 0, int b = 0) {
    SDL_Event e = {};
    e.type = type;
    if (type == SDL_VIDEORESIZE)
        e.resize.w = a, e.resize.h = b;
    else
        e.key.keysym.sym = static_cast<SDLKey>(a);
    return e;
}

inline void push(SDL_Event e) {
    SDL_PushEvent(&e);
}

// Each key pressed and released.
inline void press(std::initializer_list<SDLKey> keys) {
    for (SDLKey key : keys) {
        push(event(SDL_KEYDOWN, key));
        push(event(SDL_KEYUP, key));
    }
}

inline int queued_events() {
    SDL_Event events[128];
    return SDL_PeepEvents(events, 128, SDL_PEEKEVENT, SDL_ALLEVENTS);
}

// A digest of every pixel of the surface.
inline size_t digest(const SDL_Surface* surface) {
    return std::hash<std::string_view>()(
        std::string_view(static_cast<const char*>(surface->pixels), size_t(surface->pitch) * surface->h));
}

// The screens' clock and the window's flip. Each delay moves the clock on,
// delivers the events scheduled up to then, and notes the time of every
// change of the move count and of every pause that is not a pass of the
// loop; each flip notes the frame it shows.
struct FakeClock {
    using Step = std::pair<Uint32, size_t>;
    static inline Uint32 now = 0;
    static inline TGame* watched = nullptr;
    static inline std::multimap<Uint32, SDL_Event> scheduled;
    static inline std::vector<Step> steps;
    static inline std::vector<Uint32> pauses;
    // The time and move count of each frame shown, and its digest.
    static inline std::vector<Step> shown;
    static inline std::vector<size_t> frames;

    static Uint32 ticks() { return now; }
    static int flip(SDL_Surface* surface) {
        shown.emplace_back(now, watched->history.size());
        frames.push_back(digest(surface));
        return 0;
    }
    static void delay(Uint32 ms) {
        const size_t moves = watched->history.size();
        if (steps.empty() ? moves != 0 : steps.back().second != moves)
            steps.emplace_back(now, moves);
        if (ms != 10)
            pauses.push_back(now);
        now += ms;
        for (; !scheduled.empty() && scheduled.begin()->first <= now; scheduled.erase(scheduled.begin()))
            push(scheduled.begin()->second);
    }
};

class GameTest : public ::testing::Test {
protected:
    void SetUp() override {
        scratch.enter();
        fs::copy(std::string(SOURCE_DIR) + "/gfx", "gfx");
        fs::create_directory("levels");
        ASSERT_EQ(0, SDL_Init(SDL_INIT_VIDEO));
        ASSERT_EQ(0, TTF_Init());
        FakeClock::now = 0;
        FakeClock::scheduled.clear();
        FakeClock::steps.clear();
        FakeClock::pauses.clear();
        FakeClock::shown.clear();
        FakeClock::frames.clear();
    }

    // main's order: fonts closed, SDL_ttf down, the game object, then SDL.
    void TearDown() override { end_game(); }

    void end_game() {
        if (game) {
            game->font_big.close();
            game->font_small.close();
        }
        TTF_Quit();
        game.reset();
        SDL_Quit();
    }

    // A game on the level files written so far, as main starts it.
    TGame& start_game(int32_t init_result = INIT_OK) {
        if (!SDL_WasInit(SDL_INIT_VIDEO)) {
            SDL_Init(SDL_INIT_VIDEO);
            TTF_Init();
        }
        game = std::make_unique<TGame>();
        game->video_flags = SDL_HWSURFACE | SDL_RESIZABLE | SDL_DOUBLEBUF;
        game->screen = SDL_SetVideoMode(800, 600, 32, game->video_flags);
        game->ticks = &FakeClock::ticks;
        game->delay = &FakeClock::delay;
        game->flip_surface = &FakeClock::flip;
        FakeClock::watched = game.get();
        EXPECT_EQ(init_result, game->init());
        return *game;
    }

    Uint32 pixel(int32_t x, int32_t y) const { return pixel_at(game->screen, x, y); }

    TScratchDir scratch{"game"};
    std::unique_ptr<TGame> game;
};
