// The level grid: its storage, cell access, the outside fill and the solved test.
#include "level/level.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace {

// Cells are pushed as flat indices with their columns and turned outside as
// they are pushed, so each cell enters the stack at most once; an explicit
// stack because a large open grid would exhaust the call stack of a
// recursive fill. Every level read at start goes through here, so
// neighbours are reached by index arithmetic rather than checked look-ups.
void fill_from(TLevel& level, int32_t x, int32_t y, std::vector<int32_t>& stack) {
    if (level.get(x, y) != CELL_FLOOR)
        return;
    const int32_t width = level.width;
    const int32_t last_row = (level.height - 1) * width;
    int32_t* cells = level.cells.get();
    auto visit = [&](int32_t index, int32_t column) {
        if (cells[index] == CELL_FLOOR) {
            cells[index] = CELL_OUTSIDE;
            stack.push_back(index);
            stack.push_back(column);
        }
    };
    // Outside lies mostly along the border, so room for a border's worth
    // spares the stack its growth steps.
    if (stack.capacity() == 0)
        stack.reserve(4 * static_cast<size_t>(width + level.height));
    visit(y * width + x, x);
    while (!stack.empty()) {
        const int32_t column = stack.back();
        stack.pop_back();
        const int32_t index = stack.back();
        stack.pop_back();
        if (column > 0)
            visit(index - 1, column - 1);
        if (index >= width)
            visit(index - width, column);
        if (column < width - 1)
            visit(index + 1, column + 1);
        if (index < last_row)
            visit(index + width, column);
    }
}

}  // namespace

TLevel::TLevel() = default;

TLevel::~TLevel() = default;

int32_t TLevel::create(int32_t new_width, int32_t new_height) {
    if (new_width < 3 || new_height < 3)
        return -1;
    // In 64 bits, so that two large sides cannot wrap into a small product.
    const int64_t count = static_cast<int64_t>(new_width) * new_height;
    if (count > LEVEL_MAX_CELLS)
        return -1;
    std::unique_ptr<int32_t[]> storage(new (std::nothrow) int32_t[count]);
    if (!storage)
        return -1;
    // Every level read at start is created here. Eight cells are copied at a
    // time from a constant block, which the compiler turns into one vector
    // store; a plain fill stores one cell per instruction.
    static constexpr int32_t FLOOR_BLOCK[8] = {CELL_FLOOR, CELL_FLOOR, CELL_FLOOR, CELL_FLOOR,
                                               CELL_FLOOR, CELL_FLOOR, CELL_FLOOR, CELL_FLOOR};
    int32_t* first = storage.get();
    int64_t filled = 0;
    for (; filled + 8 <= count; filled += 8)
        std::memcpy(first + filled, FLOOR_BLOCK, sizeof FLOOR_BLOCK);
    std::fill(first + filled, first + count, CELL_FLOOR);
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
    if (!cells || x < 0 || y < 0 || x >= width || y >= height)
        return CELL_INVALID;
    return cells[static_cast<int64_t>(y) * width + x];
}

int32_t TLevel::set(int32_t x, int32_t y, int32_t code) {
    if (!cells || x < 0 || y < 0 || x >= width || y >= height)
        return -1;
    cells[static_cast<int64_t>(y) * width + x] = code;
    return 0;
}

void TLevel::fill_outside_from(int32_t x, int32_t y) {
    std::vector<int32_t> stack;
    fill_from(*this, x, y, stack);
}

void TLevel::mark_outside() {
    // Most border cells are walls; only floor starts a fill, and looking at
    // the cell first spares the call for all the others.
    if (!cells)
        return;
    std::vector<int32_t> stack;
    const int32_t* first_row = cells.get();
    const int32_t* last_row = cells.get() + static_cast<int64_t>(height - 1) * width;
    for (int32_t x = 0; x < width; ++x) {
        if (first_row[x] == CELL_FLOOR)
            fill_from(*this, x, 0, stack);
        if (last_row[x] == CELL_FLOOR)
            fill_from(*this, x, height - 1, stack);
    }
    for (int32_t y = 1; y < height - 1; ++y) {
        const int32_t* row = cells.get() + static_cast<int64_t>(y) * width;
        if (row[0] == CELL_FLOOR)
            fill_from(*this, 0, y, stack);
        if (row[width - 1] == CELL_FLOOR)
            fill_from(*this, width - 1, y, stack);
    }
}

bool TLevel::is_solved() const {
    if (!cells)
        return true;
    const int64_t count = static_cast<int64_t>(width) * height;
    return std::find(cells.get(), cells.get() + count, CELL_TARGET) == cells.get() + count;
}
