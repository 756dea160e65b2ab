// A level seen by the solver: squares, dead squares, push distances.
#include "tools/solver/board.h"

#include <algorithm>
#include <limits>

#include "level/play_level.h"

namespace {

// Minimum cost perfect matching of rows to columns of a square matrix
// (Hungarian method with potentials), O(n^3).
int64_t min_cost_matching(const std::vector<int32_t>& cost, int32_t n) {
    const int64_t infinity = std::numeric_limits<int64_t>::max() / 4;
    std::vector<int64_t> u(n + 1, 0), v(n + 1, 0), way_min(n + 1);
    std::vector<int32_t> match(n + 1, 0), way(n + 1, 0);
    std::vector<uint8_t> used(n + 1);
    for (int32_t row = 1; row <= n; ++row) {
        match[0] = row;
        int32_t column = 0;
        std::fill(way_min.begin(), way_min.end(), infinity);
        std::fill(used.begin(), used.end(), 0);
        do {
            used[column] = 1;
            const int32_t current = match[column];
            int64_t delta = infinity;
            int32_t best = 0;
            for (int32_t j = 1; j <= n; ++j) {
                if (used[j])
                    continue;
                const int64_t reduced = cost[(current - 1) * n + (j - 1)] - u[current] - v[j];
                if (reduced < way_min[j]) {
                    way_min[j] = reduced;
                    way[j] = column;
                }
                if (way_min[j] < delta) {
                    delta = way_min[j];
                    best = j;
                }
            }
            for (int32_t j = 0; j <= n; ++j) {
                if (used[j]) {
                    u[match[j]] += delta;
                    v[j] -= delta;
                } else {
                    way_min[j] -= delta;
                }
            }
            column = best;
        } while (match[column] != 0);
        do {
            const int32_t previous = way[column];
            match[column] = match[previous];
            column = previous;
        } while (column != 0);
    }
    return -v[0];
}

}  // namespace

bool TBoard::load(const TLevel& level) {
    width = level.width;
    height = level.height;
    cell_of.clear();
    square_of.assign(static_cast<size_t>(width) * height, -1);
    is_target.clear();
    targets.clear();
    start_boxes.clear();
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const int32_t code = level.get(x, y);
            if (code == CELL_INVALID)
                return false;
            if (code < CELL_FLOOR || code > CELL_BOX_ON_TARGET)
                continue;
            const int32_t square = static_cast<int32_t>(cell_of.size());
            square_of[y * width + x] = square;
            cell_of.push_back(y * width + x);
            const bool target = code == CELL_TARGET || code == CELL_BOX_ON_TARGET;
            is_target.push_back(target);
            if (target)
                targets.push_back(square);
            if (code == CELL_BOX || code == CELL_BOX_ON_TARGET)
                start_boxes.push_back(static_cast<uint16_t>(square));
        }
    }
    // Box lists are kept as 16-bit squares to keep the transposition table small.
    if (cell_of.size() > 65535 || start_boxes.empty() || start_boxes.size() != targets.size())
        return false;
    const int32_t keeper_x = level.start_x;
    const int32_t keeper_y = level.start_y;
    if (keeper_x < 0 || keeper_y < 0 || keeper_x >= width || keeper_y >= height)
        return false;
    start_keeper = square_of[keeper_y * width + keeper_x];
    if (start_keeper < 0 || std::find(start_boxes.begin(), start_boxes.end(), start_keeper) != start_boxes.end())
        return false;

    const int32_t squares = static_cast<int32_t>(cell_of.size());
    next.assign(squares, {-1, -1, -1, -1});
    for (int32_t s = 0; s < squares; ++s) {
        const int32_t x = cell_of[s] % width;
        const int32_t y = cell_of[s] / width;
        for (int32_t d = 0; d < BOARD_DIRECTIONS; ++d) {
            int32_t dx = 0, dy = 0;
            direction_delta(d + 1, dx, dy);
            const int32_t nx = x + dx;
            const int32_t ny = y + dy;
            if (nx >= 0 && ny >= 0 && nx < width && ny < height)
                next[s][d] = square_of[ny * width + nx];
        }
    }

    // Pulling a lone box away from each target finds every square it can be
    // pushed home from, and how many pushes that takes.
    distance.assign(targets.size(), std::vector<int32_t>(squares, BOARD_UNREACHABLE));
    is_dead.assign(squares, 1);
    std::vector<int32_t> queue;
    for (size_t t = 0; t < targets.size(); ++t) {
        std::vector<int32_t>& dist = distance[t];
        queue.assign(1, targets[t]);
        dist[targets[t]] = 0;
        for (size_t head = 0; head < queue.size(); ++head) {
            const int32_t box = queue[head];
            is_dead[box] = 0;
            for (int32_t d = 0; d < BOARD_DIRECTIONS; ++d) {
                const int32_t from = next[box][d];
                if (from < 0 || next[from][d] < 0 || dist[from] != BOARD_UNREACHABLE)
                    continue;
                dist[from] = dist[box] + 1;
                queue.push_back(from);
            }
        }
    }
    return true;
}

int32_t TBoard::reach(int32_t keeper, const std::vector<uint8_t>& box_at, std::vector<uint8_t>& seen,
                      std::vector<int32_t>& queue) const {
    std::fill(seen.begin(), seen.end(), 0);
    queue.assign(1, keeper);
    seen[keeper] = 1;
    int32_t smallest = keeper;
    for (size_t head = 0; head < queue.size(); ++head) {
        const int32_t square = queue[head];
        smallest = std::min(smallest, square);
        for (int32_t d = 0; d < BOARD_DIRECTIONS; ++d) {
            const int32_t n = next[square][d];
            if (n >= 0 && !seen[n] && !box_at[n]) {
                seen[n] = 1;
                queue.push_back(n);
            }
        }
    }
    return smallest;
}

bool TBoard::walk(int32_t from, int32_t goal, const std::vector<uint8_t>& box_at, std::string& out) const {
    std::vector<int32_t> came(cell_of.size(), -1);
    std::vector<int32_t> queue(1, from);
    came[from] = from;
    for (size_t head = 0; head < queue.size() && came[goal] < 0; ++head) {
        const int32_t square = queue[head];
        for (int32_t d = 0; d < BOARD_DIRECTIONS; ++d) {
            const int32_t n = next[square][d];
            if (n >= 0 && came[n] < 0 && !box_at[n]) {
                came[n] = square;
                queue.push_back(n);
            }
        }
    }
    if (came[goal] < 0)
        return false;
    std::string steps;
    for (int32_t square = goal; square != from; square = came[square]) {
        const int32_t previous = came[square];
        for (int32_t d = 0; d < BOARD_DIRECTIONS; ++d)
            if (next[previous][d] == square)
                steps.push_back(BOARD_LETTERS[d]);
    }
    out.append(steps.rbegin(), steps.rend());
    return true;
}

int32_t TBoard::lower_bound(const std::vector<uint16_t>& boxes) const {
    const int32_t n = static_cast<int32_t>(boxes.size());
    cost.resize(static_cast<size_t>(n) * n);
    for (int32_t b = 0; b < n; ++b) {
        bool reachable = false;
        for (int32_t t = 0; t < n; ++t) {
            const int32_t d = distance[t][boxes[b]];
            cost[b * n + t] = d;
            reachable = reachable || d < BOARD_UNREACHABLE;
        }
        if (!reachable)
            return BOARD_UNREACHABLE;
    }
    const int64_t total = min_cost_matching(cost, n);
    return total >= BOARD_UNREACHABLE ? BOARD_UNREACHABLE : static_cast<int32_t>(total);
}

bool TBoard::frozen_deadlock(int32_t square, const std::vector<uint8_t>& box_at) const {
    std::vector<uint8_t> fixed(cell_of.size(), 0);
    std::vector<int32_t> frozen_boxes;
    if (!frozen(square, box_at, fixed, frozen_boxes))
        return false;
    for (int32_t box : frozen_boxes)
        if (!is_target[box])
            return true;
    return false;
}

// A box is frozen when it can move along neither axis. While a neighbour is
// examined, the boxes already under examination count as walls: of two boxes
// that block each other, neither can move first.
bool TBoard::frozen(int32_t square, const std::vector<uint8_t>& box_at, std::vector<uint8_t>& fixed,
                    std::vector<int32_t>& frozen_boxes) const {
    const size_t recorded = frozen_boxes.size();
    fixed[square] = 1;
    const bool result = blocked(square, BOARD_LEFT, BOARD_RIGHT, box_at, fixed, frozen_boxes) &&
                        blocked(square, BOARD_UP, BOARD_DOWN, box_at, fixed, frozen_boxes);
    if (result) {
        frozen_boxes.push_back(square);
    } else {
        fixed[square] = 0;
        for (size_t i = recorded; i < frozen_boxes.size(); ++i)
            fixed[frozen_boxes[i]] = 0;
        frozen_boxes.resize(recorded);
    }
    return result;
}

bool TBoard::blocked(int32_t square, int32_t first, int32_t second, const std::vector<uint8_t>& box_at,
                     std::vector<uint8_t>& fixed, std::vector<int32_t>& frozen_boxes) const {
    const int32_t a = next[square][first];
    const int32_t b = next[square][second];
    if (a < 0 || b < 0 || fixed[a] || fixed[b])
        return true;
    // Pushed along this axis the box would land on a dead square either way.
    if (is_dead[a] && is_dead[b])
        return true;
    return (box_at[a] && frozen(a, box_at, fixed, frozen_boxes)) ||
           (box_at[b] && frozen(b, box_at, fixed, frozen_boxes));
}
