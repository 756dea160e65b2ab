// A tile set: the ten tiles of one size, cut once from a skin bitmap.
#include "render/skin.h"

#include "render/image.h"

namespace {

// Where tile number k (1..10) lies in the skin bitmap, in tiles.
struct TilePlace {
    int column;
    int row;
};

constexpr TilePlace TILE_PLACES[SKIN_TILE_COUNT] = {
    {0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {0, 1}, {1, 1}, {2, 1}, {3, 1},
};

}  // namespace

TSkin::~TSkin() {
    for (SDL_Surface* tile : tiles)
        SDL_FreeSurface(tile);
}

int32_t TSkin::load(int32_t width, int32_t height, int32_t depth, const std::string& file_name) {
    tile_width = width;
    tile_height = height;
    SDL_Surface* picture = load_image(file_name);
    if (!picture)
        return -1;

    for (int32_t k = 0; k < SKIN_TILE_COUNT; ++k) {
        SDL_FreeSurface(tiles[k]);
        tiles[k] = SDL_CreateRGBSurface(0, width, height, depth, 0, 0, 0, 0);
        // A tile that could not be made stays null; SDL refuses to blit to it.
        SDL_Rect from = {static_cast<Sint16>(TILE_PLACES[k].column * width),
                         static_cast<Sint16>(TILE_PLACES[k].row * height), static_cast<Uint16>(width),
                         static_cast<Uint16>(height)};
        SDL_UpperBlit(picture, &from, tiles[k], nullptr);
    }
    SDL_FreeSurface(picture);
    return 0;
}

int32_t TSkin::draw_tile(int32_t tile, SDL_Surface* surface, Sint16 x, Sint16 y) const {
    if (tile < TILE_FLOOR || tile > SKIN_TILE_COUNT)
        return -1;
    // A tile whose surface could not be made draws nothing; the caller can
    // tell from the result, though the board drawing does not need to.
    SDL_Surface* picture = tiles[tile - 1];
    if (!picture)
        return -1;
    SDL_Rect to = {x, y, 0, 0};
    SDL_UpperBlit(picture, nullptr, surface, &to);
    return 0;
}
