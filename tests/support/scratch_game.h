// The scratch working directory and the game shutdown that the game and
// screen fixtures share.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include "app/game.h"

// Makes /tmp/cratoria-<kind>-XXXXXX the working directory, with gfx/ holding
// the fonts and levels/ left for the test to fill. Call it inside
// ASSERT_NO_FATAL_FAILURE so that a failed set-up stops the test.
inline void enter_scratch_directory(const std::string& kind, std::string& work_dir, std::string& old_dir) {
    std::string pattern = "/tmp/cratoria-" + kind + "-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(pattern.data()));
    work_dir = pattern;
    old_dir = std::filesystem::current_path();
    std::filesystem::current_path(work_dir);
    std::filesystem::create_directory("gfx");
    std::filesystem::create_directory("levels");
    // The game's own fonts once they exist; any TrueType font until then.
    for (const char* name : {"base02.ttf", "vera.ttf"}) {
        const std::string own = std::string(SOURCE_DIR) + "/gfx/" + name;
        std::filesystem::copy_file(
            std::filesystem::exists(own) ? own : "/usr/share/fonts/truetype/ttf-bitstream-vera/Vera.ttf",
            std::string("gfx/") + name);
    }
}

// main's order: fonts closed, SDL_ttf down, then the game object goes.
inline void shut_down_game(std::unique_ptr<TGame>& game) {
    if (game) {
        game->font_big.close();
        game->font_small.close();
    }
    TTF_Quit();
    game.reset();
    SDL_Quit();
}

inline void leave_scratch_directory(const std::string& work_dir, const std::string& old_dir) {
    std::filesystem::current_path(old_dir);
    std::filesystem::remove_all(work_dir);
}
