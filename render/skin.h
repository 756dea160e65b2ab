// A tile set: the ten tiles of one size, cut once from a skin bitmap.
#pragma once

#include <cstdint>
#include <string>

#include <SDL.h>

enum : int32_t {
    TILE_FLOOR = 1,
    TILE_TARGET = 2,
    TILE_BOX = 3,
    TILE_BOX_ON_TARGET = 4,
    TILE_KEEPER = 5,
    TILE_KEEPER_ON_TARGET = 6,
    TILE_WALL = 7,
    TILE_WALL_JOIN_R = 8,
    TILE_WALL_JOIN_LR = 9,
    TILE_WALL_JOIN_L = 10,
};

constexpr int32_t SKIN_TILE_COUNT = 10;

// A tile set owns its tiles and frees them when it goes, so it cannot be
// copied; loading it again replaces them.
class TSkin {
public:
    TSkin() = default;
    ~TSkin();
    TSkin(const TSkin&) = delete;
    TSkin& operator=(const TSkin&) = delete;

    // 0, or -1 when the bitmap cannot be loaded (the size is set either way).
    int32_t load(int32_t width, int32_t height, int32_t depth, const std::string& file_name);
    // 0, or -1 (nothing drawn) for a tile number outside 1..10 or a tile
    // whose surface could not be made.
    int32_t draw_tile(int32_t tile, SDL_Surface* surface, Sint16 x, Sint16 y) const;

    int32_t tile_width = 0;
    int32_t tile_height = 0;
    SDL_Surface* tiles[SKIN_TILE_COUNT] = {};
};
