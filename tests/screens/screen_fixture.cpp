// A started game in a scratch working directory, a scripted clock for the
// play screen, and queued input for every screen loop.
#include "screen_fixture.h"

#include <cstdlib>
#include <fstream>
#include <ostream>
#include <sstream>

#include <SDL_ttf.h>

#include "tests/support/scratch_game.h"

namespace {

const int32_t SKIN_SIZES[SKIN_COUNT] = {50, 40, 30, 20, 12};
// A play screen that has not left by this fake time never will.
constexpr Uint32 RUNAWAY_TIME = 600000;

// Tiles in blues and greens, so that nothing on the board looks like the
// red of a highlighted entry.
void write_skin(int32_t size) {
    SDL_Surface* picture = SDL_CreateRGBSurface(SDL_SWSURFACE, 6 * size, 2 * size, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    for (int32_t tile = 0; tile < SKIN_TILE_COUNT; ++tile) {
        SDL_Rect rect = {static_cast<Sint16>(tile % 6 * size), static_cast<Sint16>(tile / 6 * size),
                         static_cast<Uint16>(size), static_cast<Uint16>(size)};
        SDL_FillRect(picture, &rect, SDL_MapRGB(picture->format, 10, 40 + 15 * tile, 120));
    }
    const std::string path = "gfx/skin" + std::to_string(size) + ".bmp";
    SDL_SaveBMP(picture, path.c_str());
    SDL_FreeSurface(picture);
}

void write_background() {
    SDL_Surface* picture = SDL_CreateRGBSurface(SDL_SWSURFACE, 48, 32, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    SDL_FillRect(picture, nullptr, SDL_MapRGB(picture->format, 30, 30, 60));
    SDL_SaveBMP(picture, "gfx/back.bmp");
    SDL_FreeSurface(picture);
}

SDL_Color pixel(const SDL_Surface* surface, int32_t x, int32_t y) {
    const int bpp = surface->format->BytesPerPixel;
    const Uint8* p = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch + x * bpp;
    Uint32 value = 0;
    switch (bpp) {
    case 1:
        value = *p;
        break;
    case 2:
        value = *reinterpret_cast<const Uint16*>(p);
        break;
    case 3:
        value = SDL_BYTEORDER == SDL_LIL_ENDIAN ? p[0] | p[1] << 8 | p[2] << 16 : p[2] | p[1] << 8 | p[0] << 16;
        break;
    default:
        value = *reinterpret_cast<const Uint32*>(p);
        break;
    }
    SDL_Color color = {0, 0, 0, 0};
    SDL_GetRGB(value, surface->format, &color.r, &color.g, &color.b);
    return color;
}

}  // namespace

Uint32 FakeClock::now = 0;
TGame* FakeClock::watched = nullptr;
std::multimap<Uint32, SDL_Event> FakeClock::scheduled;
std::vector<FakeClock::Step> FakeClock::steps;
std::vector<Uint32> FakeClock::pauses;

Uint32 FakeClock::ticks() {
    return now;
}

// The play screen calls this at the end of every pass, so the move count
// seen here is that of the step taken in the pass, at the pass's time.
void FakeClock::delay(Uint32 ms) {
    if (watched != nullptr) {
        const size_t moves = watched->history.size();
        if (steps.empty() ? moves != 0 : steps.back().moves != moves)
            steps.push_back(Step{now, moves});
    }
    if (ms != 10)
        pauses.push_back(now);
    now += ms;
    while (!scheduled.empty() && scheduled.begin()->first <= now) {
        SDL_Event event = scheduled.begin()->second;
        SDL_PushEvent(&event);
        scheduled.erase(scheduled.begin());
    }
    if (now > RUNAWAY_TIME && now - ms <= RUNAWAY_TIME) {
        ADD_FAILURE() << "the play screen did not leave";
        push_event(SDL_QUIT);
    }
}

void PrintTo(const FakeClock::Step& step, std::ostream* out) {
    *out << "{" << step.time << " ms, " << step.moves << " moves}";
}

SDL_Event key_event(SDLKey key, bool down) {
    SDL_Event event = {};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.type = event.type;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    return event;
}

void push_key(SDLKey key) {
    SDL_Event down = key_event(key, true);
    SDL_Event up = key_event(key, false);
    SDL_PushEvent(&down);
    SDL_PushEvent(&up);
}

void push_keys(std::initializer_list<SDLKey> keys) {
    for (SDLKey key : keys)
        push_key(key);
}

void push_event(Uint8 type) {
    SDL_Event event = {};
    event.type = type;
    SDL_PushEvent(&event);
}

void push_resize(int w, int h) {
    SDL_Event event = {};
    event.type = SDL_VIDEORESIZE;
    event.resize.w = w;
    event.resize.h = h;
    SDL_PushEvent(&event);
}

int queued_events() {
    SDL_Event events[128];
    return SDL_PeepEvents(events, 128, SDL_PEEKEVENT, SDL_ALLEVENTS);
}

void ScreenTest::SetUp() {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    ASSERT_NO_FATAL_FAILURE(enter_scratch_directory("screens", work_dir, old_dir));

    ASSERT_EQ(0, SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER));
    ASSERT_EQ(0, TTF_Init());
    for (int32_t size : SKIN_SIZES)
        write_skin(size);
    write_background();

    FakeClock::now = 0;
    FakeClock::watched = nullptr;
    FakeClock::scheduled.clear();
    FakeClock::steps.clear();
    FakeClock::pauses.clear();
}

void ScreenTest::TearDown() {
    shut_down_game(game);
    leave_scratch_directory(work_dir, old_dir);
}

void ScreenTest::write_file(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

TGame& ScreenTest::start_game() {
    game = std::make_unique<TGame>();
    game->video_flags = SDL_HWSURFACE | SDL_RESIZABLE | SDL_DOUBLEBUF;
    game->screen = SDL_SetVideoMode(800, 600, 0, game->video_flags);
    EXPECT_NE(nullptr, game->screen);
    EXPECT_EQ(INIT_OK, game->init());
    game->ticks = &FakeClock::ticks;
    game->delay = &FakeClock::delay;
    FakeClock::watched = game.get();
    return *game;
}

TLevelCollection& ScreenTest::add_collection(const std::string& name) {
    auto* added = new TLevelCollection;
    added->name = name;
    game->collections.emplace_back(added);
    return *added;
}

void ScreenTest::schedule_key(Uint32 at, SDLKey key, bool down) {
    FakeClock::scheduled.emplace(at, key_event(key, down));
}

void ScreenTest::schedule_tap(Uint32 at, SDLKey key) {
    schedule_key(at, key, true);
    schedule_key(at, key, false);
}

Box ScreenTest::red_box(int32_t x, int32_t y, int32_t w, int32_t h) const {
    Box box;
    for (int32_t j = y; j < y + h && j < game->screen->h; ++j)
        for (int32_t i = x; i < x + w && i < game->screen->w; ++i) {
            const SDL_Color c = pixel(game->screen, i, j);
            if (c.r < 150 || c.g > 80 || c.b > 80)
                continue;
            if (box.empty()) {
                box = Box{i, j, i, j};
                continue;
            }
            box.left = std::min(box.left, i);
            box.top = std::min(box.top, j);
            box.right = std::max(box.right, i);
            box.bottom = std::max(box.bottom, j);
        }
    return box;
}

bool ScreenTest::has_text(int32_t x, int32_t y, int32_t w, int32_t h) const {
    for (int32_t j = y; j < y + h; ++j)
        for (int32_t i = x; i < x + w; ++i) {
            const SDL_Color c = pixel(game->screen, i, j);
            if (c.r > 150 && c.g > 150 && c.b > 150)
                return true;
        }
    return false;
}

std::string ScreenTest::read_file(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
