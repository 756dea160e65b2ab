// The program's entry: start-up, the loop between title menu and play screen, and shutdown.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <SDL.h>
#include <SDL_ttf.h>

#include "app/game.h"
#include "render/layout.h"

namespace {

constexpr int WINDOW_WIDTH = 800;
constexpr int WINDOW_HEIGHT = 600;
constexpr int LOADING_RISE = 20;

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
    // With no display to open, SDL falls back to drawing in the terminal,
    // where the game can be neither seen nor left. Unless the player chose
    // a driver, that is refused, and libcaca is told to draw nowhere
    // meanwhile so that the terminal stays as it was.
    const bool driver_chosen = getenv("SDL_VIDEODRIVER") != nullptr;
    if (!driver_chosen)
        setenv("CACA_DRIVER", "null", 1);
    catch_quit_signals();
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) < 0)
        end_process(EXIT_SDL_INIT, stdout, "SDL Error: %s\n", SDL_GetError());
    atexit(SDL_Quit);
    char driver[16] = "";
    SDL_VideoDriverName(driver, sizeof driver);
    if (!driver_chosen && (strcmp(driver, "caca") == 0 || strcmp(driver, "aalib") == 0)) {
        const char* display = getenv("DISPLAY");
        end_process(EXIT_SDL_INIT, stdout, "SDL Error: no graphical display (DISPLAY: %s)\n",
                    display ? display : "not set");
    }
    // SDL 1.2 keeps a thread that wakes every millisecond while its timer
    // subsystem is up, though the game installs no timer; SDL_GetTicks and
    // SDL_Delay work without it, and the idle game wakes ten times less.
    SDL_QuitSubSystem(SDL_INIT_TIMER);
    if (TTF_Init() != 0)
        end_process(EXIT_TTF_INIT, stdout, "Error: could not initialize sdl_ttf\n");
    TGame* game = new TGame;
    game->video_flags = SDL_HWSURFACE | SDL_RESIZABLE | SDL_DOUBLEBUF;
    game->screen = SDL_SetVideoMode(WINDOW_WIDTH, WINDOW_HEIGHT, 0, game->video_flags);
    if (game->screen == nullptr)
        end_process(EXIT_VIDEO_MODE, stdout, "SDL error: %s\n", SDL_GetError());
    SDL_WM_SetCaption("Cratoria", nullptr);
    show_loading_screen(*game);
    const int32_t result = game->init();
    if (result != 0)
        end_process(EXIT_GAME_INIT, stdout, "Error on game initialization: %d\n", static_cast<int>(result));

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
    end_process(EXIT_OK, stdout, nullptr);
}
