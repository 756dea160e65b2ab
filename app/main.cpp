// The program's entry: start-up, the loop between title menu and play
// screen, shutdown, and the exit status of every start-up failure.
#include <cstdio>
#include <cstdlib>

#include <SDL.h>
#include <SDL_ttf.h>

#include "app/game.h"
#include "render/layout.h"

namespace {

enum : int {
    EXIT_SDL_INIT = 1,
    EXIT_VIDEO_MODE = 2,
    EXIT_TTF_INIT = 3,
    EXIT_GAME_INIT = 11,
};

constexpr int WINDOW_WIDTH = 800;
constexpr int WINDOW_HEIGHT = 600;
constexpr int LOADING_RISE = 20;
constexpr int32_t MENU_RESULT_QUIT = -1;

// The message is already written; exit flushes too, but a message must not
// depend on how the stream happens to be buffered.
[[noreturn]] void end_process(int status) {
    fflush(stdout);
    fflush(stderr);
    exit(status);
}

// No background picture is loaded yet, so the board area shows its plain fill.
void show_loading_screen(TGame& game) {
    game.draw_background();
    game.draw_header();
    game.draw_panel("", COLOR_WHITE);
    game.font_big.draw_text_aligned(game.screen, game.screen->w / 2, game.screen->h / 2 - LOADING_RISE, COLOR_WHITE,
                                    ALIGN_CENTER, "Loading...");
    game.flip();
}

}  // namespace

int main(int, char**) {
    // The game reads keys, never composed text, so the input method that SDL
    // opens need not parse the locale's compose table, which for a UTF-8
    // locale took more instructions than the rest of start-up together.
    setenv("XCOMPOSEFILE", "/dev/null", 0);
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) < 0) {
        printf("SDL Error: %s\n", SDL_GetError());
        fflush(stdout);
        return EXIT_SDL_INIT;
    }
    atexit(SDL_Quit);
    // SDL 1.2 keeps a thread that wakes every millisecond while its timer
    // subsystem is up, though the game installs no timer; SDL_GetTicks and
    // SDL_Delay work without it, and the idle game wakes ten times less.
    SDL_QuitSubSystem(SDL_INIT_TIMER);
    if (TTF_Init() != 0) {
        printf("Error: could not initialize sdl_ttf\n");
        end_process(EXIT_TTF_INIT);
    }
    TGame* game = new TGame;
    game->video_flags = SDL_HWSURFACE | SDL_RESIZABLE | SDL_DOUBLEBUF;
    game->screen = SDL_SetVideoMode(WINDOW_WIDTH, WINDOW_HEIGHT, 0, game->video_flags);
    if (game->screen == nullptr) {
        printf("SDL error: %s\n", SDL_GetError());
        end_process(EXIT_VIDEO_MODE);
    }
    SDL_WM_SetCaption("Cratoria", nullptr);
    show_loading_screen(*game);
    const int32_t result = game->init();
    if (result != 0) {
        printf("Error on game initialization: %d\n", static_cast<int>(result));
        end_process(EXIT_GAME_INIT);
    }

    int32_t choice;
    do {
        choice = game->menu();
        if (choice == MENU_START)
            game->play();
    } while (choice != MENU_RESULT_QUIT);

    // The fonts belong to SDL_ttf, which is gone by the time the game object
    // is destroyed.
    game->font_big.close();
    game->font_small.close();
    TTF_Quit();
    delete game;
    end_process(EXIT_SUCCESS);
}
