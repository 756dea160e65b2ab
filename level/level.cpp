// The level grid: its storage, cell access, the outside fill and the solved test.
#include "level/level.h"

#include <algorithm>
#include <new>
#include <utility>
#include <vector>

char cell_letter(int32_t code, bool keeper) {
    switch (code) {
    case CELL_WALL:
        return '#';
    case CELL_TARGET:
        return keeper ? '+' : '.';
    case CELL_BOX:
        return '$';
    case CELL_BOX_ON_TARGET:
        return '*';
    default:
        return keeper ? '@' : ' ';
    }
}

int32_t TLevel::create(int32_t new_width, int32_t new_height) {
    // In 64 bits, so that two large sides cannot wrap into a small product.
    const int64_t count = static_cast<int64_t>(new_width) * new_height;
    if (new_width < 3 || new_height < 3 || count > LEVEL_MAX_CELLS)
        return -1;
    std::unique_ptr<int32_t[]> storage(new (std::nothrow) int32_t[count]);
    if (!storage)
        return -1;
    std::fill(storage.get(), storage.get() + count, CELL_FLOOR);
    cells = std::move(storage);
    width = new_width;
    height = new_height;
    return 0;
}

int32_t TLevel::release() {
    if (!cells)
        return -1;
    cells.reset();
    // Without storage no position may count as inside the grid.
    width = 0;
    height = 0;
    return 0;
}

int32_t TLevel::get(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= width || y >= height)
        return CELL_INVALID;
    return cells[y * width + x];
}

int32_t TLevel::set(int32_t x, int32_t y, int32_t code) {
    if (x < 0 || y < 0 || x >= width || y >= height)
        return -1;
    cells[y * width + x] = code;
    return 0;
}

void TLevel::fill_outside_from(int32_t x, int32_t y) {
    // A stack of its own, as a large open grid would exhaust the call stack
    // of a recursive fill. A cell turns outside as it is pushed, so it is
    // pushed at most once.
    std::vector<std::pair<int32_t, int32_t>> stack;
    auto visit = [&](int32_t cell_x, int32_t cell_y) {
        if (get(cell_x, cell_y) == CELL_FLOOR) {
            set(cell_x, cell_y, CELL_OUTSIDE);
            stack.emplace_back(cell_x, cell_y);
        }
    };
    visit(x, y);
    while (!stack.empty()) {
        const auto [cell_x, cell_y] = stack.back();
        stack.pop_back();
        visit(cell_x - 1, cell_y);
        visit(cell_x, cell_y - 1);
        visit(cell_x + 1, cell_y);
        visit(cell_x, cell_y + 1);
    }
}

void TLevel::mark_outside() {
    for (int32_t x = 0; x < width; ++x) {
        fill_outside_from(x, 0);
        fill_outside_from(x, height - 1);
    }
    for (int32_t y = 1; y < height - 1; ++y) {
        fill_outside_from(0, y);
        fill_outside_from(width - 1, y);
    }
}

// A level without a grid has no target left, but nothing was solved there.
bool TLevel::is_solved() const {
    const int32_t* first = cells.get();
    const int32_t* end = first + static_cast<int64_t>(width) * height;
    return first && std::find(first, end, CELL_TARGET) == end;
}
