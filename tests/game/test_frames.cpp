// What the player sees: every screen in a few states, each frame's checksum compared with tests/data/game/frames.txt.
#include <sstream>

#include "game_fixture.h"

namespace {

// Level 1 holds every kind of cell: runs of walls, a lone wall, outside
// floor, floor, targets, boxes and a box on a target. Level 2 has the
// keeper on a target; level 3 is too wide for any tile set.
const std::string LEVELS = ";1\n'All kinds\n  #####\n###   ###\n# @$ *. #\n#    #  #\n#########\n\n"
                           ";2\n'On target\n######\n#+$  #\n#  * #\n######\n\n;3\n'Too wide\n" +
                           std::string(70, '#') + "\n#@$." + std::string(65, ' ') + "#\n" + std::string(70, '#') + "\n";

// FNV-1a over the visible pixels, row by row.
std::string checksum(const SDL_Surface* screen) {
    uint64_t hash = 14695981039346656037u;
    for (int32_t y = 0; y < screen->h; ++y)
        for (int32_t x = 0; x < screen->w; ++x)
            hash = (hash ^ pixel_at(screen, x, y)) * 1099511628211u;
    std::ostringstream text;
    text << screen->w << "x" << screen->h << " " << std::hex << hash;
    return text.str();
}

enum Screen { MENU, CHOOSER, HELP, PLAY };

// Stands among a scene's keys where the window is resized to w x h.
constexpr SDLKey RESIZE = SDLK_LAST;

// One state of one screen, with this many collections: the keys are queued
// and the screen runs until a key leaves it, showing this many frames, the
// last of them what is drawn at the end unless the screen leaves unshown.
struct Scene {
    const char* name;
    Screen screen;
    std::vector<SDLKey> keys;
    size_t flips;
    int32_t w = 0, h = 0;
    size_t collections = 1;
    bool shown = true;
};

}  // namespace

// After a deliberate change of the picture, run the test with
// CRATORIA_RECORD_FRAMES=1 to record the frames anew. Every frame that
// differs from its record is kept as a picture beside the test log, to be
// looked at, and named in the failure unless it is being recorded.
TEST_F(GameTest, EveryScreenLooksAsRecorded) {
    const bool recording = std::getenv("CRATORIA_RECORD_FRAMES") != nullptr;
    const std::string recorded = std::string(SOURCE_DIR) + "/tests/data/game/frames.txt";
    const std::string record = "\n" + read_file(recorded);
    const std::string pictures = std::string(BINARY_DIR) + "/Testing/Temporary/";
    fs::create_directories(pictures);
    write_file("levels/default", LEVELS);
    write_file("scores.xml", "<Collection name=\"default\"><Level nr=\"2\" moves=\"7\" pushes=\"2\"/></Collection>");
    start_game();
    const SDLKey DOWN = SDLK_DOWN, UP = SDLK_UP, RETURN = SDLK_RETURN, ESCAPE = SDLK_ESCAPE;
    std::vector<SDLKey> down_16(16, DOWN), down_79(79, DOWN);
    down_16.push_back(ESCAPE);
    down_79.push_back(ESCAPE);
    // A frame for each screen's first one and for each key that moves a
    // highlight, steps, undoes, restarts, changes the level or resizes; the
    // keys that leave the chooser and the help show the menu's next frame.
    const Scene scenes[] = {
        {"menu", MENU, {ESCAPE}, 1},
        {"menu on help", MENU, {DOWN, DOWN, UP, DOWN, ESCAPE}, 5},
        {"menu on quit", MENU, {DOWN, DOWN, DOWN, DOWN, ESCAPE}, 5},
        {"menu after choosing", MENU, {DOWN, RETURN, RETURN, ESCAPE}, 4},
        {"menu after help", MENU, {DOWN, DOWN, RETURN, SDLK_q, ESCAPE}, 5},
        {"help", HELP, {SDLK_n, ESCAPE}, 1},
        {"chooser of 5", CHOOSER, {DOWN, DOWN, DOWN, DOWN, ESCAPE}, 5, 0, 0, 5},
        {"chooser of 17", CHOOSER, down_16, 17, 0, 0, 17},
        {"chooser of 80", CHOOSER, down_79, 80, 0, 0, 80},
        {"play", PLAY, {}, 1},
        {"play after a push", PLAY, {SDLK_RIGHT}, 2},
        {"play after a step", PLAY, {DOWN}, 2},
        {"play after an undo", PLAY, {SDLK_RIGHT, SDLK_BACKSPACE}, 3},
        {"play after a restart", PLAY, {SDLK_RIGHT, SDLK_r}, 3},
        {"play on a target with a best", PLAY, {SDLK_n}, 2},
        {"play too wide", PLAY, {SDLK_p}, 2},
        {"play resized", PLAY, {RESIZE, SDLK_RIGHT}, 3, 1000, 700},
        {"menu resized", MENU, {RESIZE, DOWN, ESCAPE}, 3, 300, 200},
        {"menu after a resized help", MENU, {DOWN, DOWN, RETURN, RESIZE, ESCAPE}, 5, 640, 480},
        {"help after a resize", HELP, {RESIZE}, 1, 640, 200, 1, false},
        {"chooser of 80 resized", CHOOSER, {RESIZE, DOWN, DOWN, DOWN, ESCAPE}, 5, 640, 480},
        {"menu in a tiny window", MENU, {RESIZE, ESCAPE}, 2, 60, 89},
        {"play in a tiny window", PLAY, {RESIZE, SDLK_RIGHT}, 3, 91, 91},
    };
    std::string frames;
    for (const Scene& scene : scenes) {
        while (game->collections.size() < scene.collections) {
            game->collections.push_back(std::make_unique<TLevelCollection>());
            game->collections.back()->name = "Hall " + std::to_string(game->collections.size());
        }
        // The chooser gets presses only: SDL's queue holds no more than 128
        // events, and eighty names are a long way down.
        for (SDLKey key : scene.keys) {
            if (key == RESIZE)
                push(event(SDL_VIDEORESIZE, scene.w, scene.h));
            else if (scene.screen == CHOOSER)
                push(event(SDL_KEYDOWN, key));
            else
                press({key});
        }
        FakeClock::frames.clear();
        if (scene.screen == MENU)
            game->menu();
        else if (scene.screen == CHOOSER)
            game->choose_collection();
        else if (scene.screen == HELP)
            game->show_help();
        else
            press({SDLK_q}), game->play();
        // What a screen leaves in the queue (a key's release) is no input
        // for the next one.
        for (SDL_Event rest; SDL_PollEvent(&rest);) {
        }
        EXPECT_EQ(scene.flips, FakeClock::frames.size()) << scene.name;
        EXPECT_EQ(scene.shown, !FakeClock::frames.empty() && FakeClock::frames.back() == digest(game->screen))
            << scene.name;
        const std::string frame = std::string(scene.name) + ": " + checksum(game->screen) + "\n";
        frames += frame;
        if (record.find("\n" + frame) == std::string::npos) {
            const std::string picture = pictures + "frame " + scene.name + ".bmp";
            SDL_SaveBMP(game->screen, picture.c_str());
            if (!recording)
                ADD_FAILURE() << "differs from its record: " << picture;
        }
    }
    if (recording)
        write_file(recorded, frames);
    else
        EXPECT_EQ(record, "\n" + frames);
}
