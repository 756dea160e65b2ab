// One level: a grid of cell codes with the keeper's start, its number and its title; it knows nothing of SDL.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

// Cell codes. 1 to 4 and 7 double as the tile numbers that show them.
enum : int32_t {
    CELL_INVALID = -1,
    CELL_OUTSIDE = 0,
    CELL_FLOOR = 1,
    CELL_TARGET = 2,
    CELL_BOX = 3,
    CELL_BOX_ON_TARGET = 4,
    CELL_WALL = 7,
};

// The largest grid a level may have; anything larger is refused unallocated.
constexpr int64_t LEVEL_MAX_CELLS = 16777216;
// The longest row a level can have: a longer one leaves no room for the
// three rows every grid needs.
constexpr int64_t LEVEL_MAX_LINE = LEVEL_MAX_CELLS / 3;

// The collection file's letter for a cell code, with the keeper standing on
// it or not: the reader's table read backwards. Outside is a space.
char cell_letter(int32_t code, bool keeper);

class TLevel {
public:
    TLevel() = default;
    TLevel(const TLevel&) = delete;
    TLevel& operator=(const TLevel&) = delete;

    // -1 below 3 x 3 or above LEVEL_MAX_CELLS; otherwise a grid all CELL_FLOOR.
    int32_t create(int32_t width, int32_t height);
    int32_t release();
    int32_t get(int32_t x, int32_t y) const;
    int32_t set(int32_t x, int32_t y, int32_t code);

    // Turns the floor reachable from (x, y) through floor into outside.
    void fill_outside_from(int32_t x, int32_t y);
    // The same from every border cell.
    void mark_outside();
    bool is_solved() const;

    void set_number(int32_t value) { number = value; }
    void set_name(const std::string& value) { name = value; }
    void set_start(int32_t x, int32_t y) {
        start_x = x;
        start_y = y;
    }

    int32_t width = 0;
    int32_t height = 0;
    int32_t number = 0;
    int32_t start_x = 0;
    int32_t start_y = 0;
    std::string name;
    std::unique_ptr<int32_t[]> cells;
};
