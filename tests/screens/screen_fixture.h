// A started game in a scratch working directory, a scripted clock for the
// play screen, and queued input for every screen loop.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <SDL.h>
#include <gtest/gtest.h>

#include "app/game.h"

// The play screen's clock: delay() moves the fake time on and delivers the
// events scheduled up to then, and records every change of the move count.
struct FakeClock {
    struct Step {
        Uint32 time;
        size_t moves;
        bool operator==(const Step& other) const { return time == other.time && moves == other.moves; }
    };

    static Uint32 ticks();
    static void delay(Uint32 ms);

    static Uint32 now;
    static TGame* watched;
    static std::multimap<Uint32, SDL_Event> scheduled;
    static std::vector<Step> steps;
    static std::vector<Uint32> pauses;
};

void PrintTo(const FakeClock::Step& step, std::ostream* out);

SDL_Event key_event(SDLKey key, bool down);
void push_key(SDLKey key);
void push_keys(std::initializer_list<SDLKey> keys);
void push_event(Uint8 type);
void push_resize(int w, int h);
int queued_events();

// A rectangle that encloses every pixel of one colour class.
struct Box {
    int32_t left = -1, top = -1, right = -1, bottom = -1;
    bool empty() const { return left < 0; }
};

class ScreenTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void write_file(const std::string& path, const std::string& text);
    // Constructs and initialises the game with the level files written so far.
    TGame& start_game();
    // Adds a collection in memory; the game owns and frees it.
    TLevelCollection& add_collection(const std::string& name);

    void schedule_key(Uint32 at, SDLKey key, bool down);
    // Presses and releases a key so quickly that no repeat can follow.
    void schedule_tap(Uint32 at, SDLKey key);

    // Bounding box of the red text pixels (the highlight) inside a rectangle.
    Box red_box(int32_t x, int32_t y, int32_t w, int32_t h) const;
    // Whether any pixel of the rectangle is bright, as text is.
    bool has_text(int32_t x, int32_t y, int32_t w, int32_t h) const;
    std::string read_file(const std::string& path) const;

    std::string work_dir;
    std::string old_dir;
    std::unique_ptr<TGame> game;
};
