// The one application object, on which every screen works: its resources, levels, history and best scores.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <SDL.h>

#include "level/level_collection.h"
#include "level/play_level.h"
#include "render/font.h"
#include "render/skin.h"
#include "score/high_score.h"

constexpr int32_t MAX_COLLECTIONS = 80;
constexpr int32_t SKIN_COUNT = 5;
// The one file the best results live in, relative to the working directory.
constexpr const char* SCORES_FILE = "scores.xml";

enum : int32_t {
    INIT_OK = 0,
    INIT_NO_COLLECTIONS = -11,
    INIT_SKIN50_FAILED = -21,
    INIT_SKIN40_FAILED = -22,
    INIT_SKIN30_FAILED = -23,
    INIT_SKIN20_FAILED = -24,
    INIT_SKIN12_FAILED = -25,
};

// The menu's entries, and what menu returns for quit.
enum : int32_t {
    MENU_RESULT_QUIT = -1,
    MENU_START = 1,
    MENU_LEVEL_SET = 2,
    MENU_HELP = 3,
    MENU_QUIT = 4,
};

// Every status the process can end with.
enum TExitStatus : int {
    EXIT_OK = 0,
    EXIT_SDL_INIT = 1,
    EXIT_VIDEO_MODE = 2,
    EXIT_TTF_INIT = 3,
    EXIT_GAME_INIT = 11,
    EXIT_BIG_FONT = 31,
    EXIT_SMALL_FONT = 32,
    EXIT_RESIZE = 41,
};

// Ends the process with status after writing the printf-style message to
// stream (none when format is null). The one way the game ends itself.
[[noreturn]] void end_process(TExitStatus status, FILE* stream, const char* format, ...);

// From here on SIGINT and SIGTERM end the game in order, with its usual save
// and status 0, from whatever screen it shows: no event is taken after one.
// Called before SDL_Init, as SDL leaves a handler it finds in place alone,
// where it would otherwise turn these signals into the close button's
// SDL_QUIT, which the chooser and the help screen ignore.
void catch_quit_signals();

// What a screen's answer to an event asks of the loop that runs it: to wait
// for the next one, to show the frame the answer drew first, or to end.
enum TScreenAction : int32_t {
    SCREEN_STAY,
    SCREEN_FLIP,
    SCREEN_LEAVE,
};

class TGame {
public:
    // Opens both fonts; ends the process with status 31 or 32 if one fails.
    TGame();
    // Saves the scores and releases the collections; leaves the fonts alone.
    ~TGame();
    TGame(const TGame&) = delete;
    TGame& operator=(const TGame&) = delete;

    // Reads the collections, tile sets, background and scores: 0, -11, -21..-25.
    int32_t init();
    // Writes scores.xml, once init has read it; false when nothing was saved,
    // after a line on standard error that names the file and the reason
    // when the save itself failed.
    bool save_scores();

    // Rules of play on the working level.
    int32_t start_level(int32_t index);
    int32_t move(int32_t dx, int32_t dy);
    int32_t move_dir(int32_t direction);
    int32_t undo(int32_t dx, int32_t dy, bool pushed);
    int32_t undo_dir(int32_t direction, bool pushed);

    // Layout and drawing, each a call into render/ with the fields it
    // draws; none of them flips except flip.
    // Height of the board area between the header and the status panel.
    int32_t board_height() const;
    int32_t choose_skin();
    void clear_screen();
    void draw_background();
    int32_t draw_board();
    void flip();
    void draw_header();
    void draw_panel(const char* message, SDL_Color color);
    void redraw();
    // A new video mode of w x h after a window resize, or the end of the
    // process with status 41; the screen then draws itself for the new size.
    void resize(int32_t w, int32_t h);
    // Header and status panel of the menu, chooser and help screens.
    void draw_frame();

    // Screens. Every screen sleeps in wait_for_event until an event comes or
    // the deadline on the game's clock passes: 1 for an event, 0 for the
    // deadline, -1 when no event will come (after a quit signal, or when the
    // queue cannot be read). All share one loop: it waits until the
    // deadline, which it reads anew for every wait, follows a resize with
    // the new video mode, and lets the screen answer, which draws what
    // changed.
    int32_t wait_for_event(SDL_Event& event, std::optional<Uint32> deadline = std::nullopt);
    void run_screen(const std::function<TScreenAction(const SDL_Event&)>& answer,
                    const std::optional<Uint32>& deadline = std::nullopt);
    int32_t play();
    int32_t menu();
    void draw_menu(int32_t selection);
    void choose_collection();
    void draw_collection_list(int32_t selection);
    void show_help();

    SDL_Surface* screen = nullptr;
    Uint32 video_flags = 0;
    TFont font_big;
    TFont font_small;
    SDL_Surface* background = nullptr;
    TSkin* skin = nullptr;
    TSkin skins[SKIN_COUNT];
    int32_t skin_count = SKIN_COUNT;
    TLevelCollection* collection = nullptr;
    std::vector<std::unique_ptr<TLevelCollection>> collections;
    TPlayLevel level;
    int32_t level_nr = -1;
    std::vector<int32_t> history;
    int32_t pushes = 0;
    THighScore highscore;
    int32_t best_moves = 0;
    int32_t best_pushes = 0;
    int32_t repeat_interval = 100;
    int32_t repeat_delay = 300;
    int32_t header_height = 50;
    int32_t panel_height = 40;

    // The screens' clock and the window's flip, replaceable so that tests
    // can drive the key repeat to the millisecond and see every frame shown.
    Uint32 (*ticks)() = &SDL_GetTicks;
    void (*delay)(Uint32) = &SDL_Delay;
    int (*flip_surface)(SDL_Surface*) = &SDL_Flip;

    // Set once init has read scores.xml; only then may the store replace it.
    bool scores_read = false;
};
