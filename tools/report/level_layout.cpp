// The level report's measures of a level's shape, taken on the floor the keeper can reach.
#include "tools/report/level_layout.h"

#include <algorithm>
#include <array>

#include "level/play_level.h"

namespace {

// Steps in the order of the game's direction codes.
int32_t step_x(int32_t direction) {
    int32_t dx = 0, dy = 0;
    direction_delta(direction + 1, dx, dy);
    return dx;
}

int32_t step_y(int32_t direction) {
    int32_t dx = 0, dy = 0;
    direction_delta(direction + 1, dx, dy);
    return dy;
}

uint8_t flags_of(int32_t code) {
    switch (code) {
    case CELL_FLOOR:
        return LAYOUT_FLOOR;
    case CELL_TARGET:
        return LAYOUT_FLOOR | LAYOUT_TARGET;
    case CELL_BOX:
        return LAYOUT_FLOOR | LAYOUT_BOX;
    case CELL_BOX_ON_TARGET:
        return LAYOUT_FLOOR | LAYOUT_TARGET | LAYOUT_BOX;
    default:
        return 0;
    }
}

// A grid one cell wider on every side than the level's, so that the cells
// round it are the outside, joined to each other.
class TFrame {
public:
    explicit TFrame(const TLevelLayout& layout) : width(layout.width + 2), height(layout.height + 2) {}

    int32_t cell(int32_t x, int32_t y) const { return (y + 1) * width + x + 1; }
    int32_t x_of(int32_t cell) const { return cell % width - 1; }
    int32_t y_of(int32_t cell) const { return cell / width - 1; }
    uint8_t flags(const TLevelLayout& layout, int32_t cell) const {
        const int32_t x = x_of(cell), y = y_of(cell);
        return x < 0 || y < 0 || x >= layout.width || y >= layout.height ? 0 : layout.cells[y * layout.width + x];
    }
    int32_t neighbour(int32_t cell, int32_t direction) const {
        const int32_t x = cell % width + step_x(direction), y = cell / width + step_y(direction);
        return x < 0 || y < 0 || x >= width || y >= height ? -1 : y * width + x;
    }

    // Gives label to every cell joined side by side to start through cells
    // for which joins holds; returns how many cells it labelled.
    template <typename Joins>
    int32_t flood(int32_t start, int32_t label, std::vector<int32_t>& labels, Joins joins) const {
        std::vector<int32_t> queue(1, start);
        labels[start] = label;
        for (size_t head = 0; head < queue.size(); ++head)
            for (int32_t d = 0; d < 4; ++d) {
                const int32_t n = neighbour(queue[head], d);
                if (n >= 0 && labels[n] < 0 && joins(n)) {
                    labels[n] = label;
                    queue.push_back(n);
                }
            }
        return static_cast<int32_t>(queue.size());
    }

    int32_t width;
    int32_t height;
};

int32_t count_wall_islands(const TLevelLayout& layout) {
    const TFrame frame(layout);
    std::vector<uint8_t> solid(static_cast<size_t>(frame.width) * frame.height);
    for (size_t c = 0; c < solid.size(); ++c)
        solid[c] = frame.flags(layout, static_cast<int32_t>(c)) == 0;
    std::vector<int32_t> labels(solid.size(), -1);
    auto joins = [&](int32_t c) { return solid[c] != 0; };
    frame.flood(0, 0, labels, joins);
    int32_t islands = 0;
    for (size_t c = 0; c < solid.size(); ++c)
        if (solid[c] && labels[c] < 0)
            frame.flood(static_cast<int32_t>(c), ++islands, labels, joins);
    return islands;
}

// Whether taking the door out of the floor leaves, on either side, a room
// that the boxes have to be brought into.
bool opens_goal_room(const TLevelLayout& layout, int32_t door, int32_t side, int32_t other) {
    const TFrame frame(layout);
    std::vector<int32_t> labels(static_cast<size_t>(frame.width) * frame.height, -1);
    auto floor = [&](int32_t c) { return frame.flags(layout, c) != 0; };
    labels[door] = 1;
    frame.flood(side, 0, labels, floor);
    if (labels[other] == 0)
        return false;
    std::array<int32_t, 2> cells = {0, 0}, targets = {0, 0}, boxes = {0, 0};
    for (size_t c = 0; c < labels.size(); ++c) {
        if (static_cast<int32_t>(c) == door || !floor(static_cast<int32_t>(c)))
            continue;
        const size_t room = labels[c] == 0 ? 0 : 1;
        ++cells[room];
        targets[room] += (frame.flags(layout, static_cast<int32_t>(c)) & LAYOUT_TARGET) != 0;
        boxes[room] += (frame.flags(layout, static_cast<int32_t>(c)) & LAYOUT_BOX) != 0;
    }
    for (size_t room = 0; room < 2; ++room)
        if (targets[room] >= LAYOUT_GOAL_ROOM_TARGETS &&
            targets[room] - boxes[room] >= LAYOUT_GOAL_ROOM_MISSING_BOXES &&
            cells[room] * 100 < LAYOUT_GOAL_ROOM_FLOOR * layout.floor)
            return true;
    return false;
}

using TPoints = std::vector<std::array<int32_t, 2>>;

// The cells of each kind (floor, target, box) as (x, y).
std::array<TPoints, 3> points_of(const TLevelLayout& layout) {
    std::array<TPoints, 3> points;
    for (int32_t y = 0; y < layout.height; ++y)
        for (int32_t x = 0; x < layout.width; ++x)
            for (size_t kind = 0; kind < points.size(); ++kind)
                if (layout.cells[y * layout.width + x] & (1 << kind))
                    points[kind].push_back({x, y});
    return points;
}

}  // namespace

bool measure_layout(const TLevel& level, TLevelLayout& out) {
    out = TLevelLayout();
    out.width = level.width;
    out.height = level.height;
    if (flags_of(level.get(level.start_x, level.start_y)) == 0)
        return false;
    out.cells.assign(static_cast<size_t>(level.width) * level.height, 0);
    const TFrame frame(out);
    std::vector<int32_t> labels(static_cast<size_t>(frame.width) * frame.height, -1);
    out.floor = frame.flood(frame.cell(level.start_x, level.start_y), 0, labels,
                            [&](int32_t c) { return flags_of(level.get(frame.x_of(c), frame.y_of(c))) != 0; });
    for (int32_t y = 0; y < level.height; ++y)
        for (int32_t x = 0; x < level.width; ++x)
            if (labels[frame.cell(x, y)] == 0)
                out.cells[y * level.width + x] = flags_of(level.get(x, y));

    std::fill(labels.begin(), labels.end(), -1);
    for (int32_t y = 0; y < level.height; ++y) {
        for (int32_t x = 0; x < level.width; ++x) {
            const uint8_t flags = out.cells[y * level.width + x];
            if (flags == 0)
                continue;
            out.boxes += (flags & LAYOUT_BOX) != 0;
            std::array<bool, 4> open;
            for (int32_t d = 0; d < 4; ++d)
                open[d] = frame.flags(out, frame.cell(x + step_x(d), y + step_y(d))) != 0;
            const int32_t neighbours = open[0] + open[1] + open[2] + open[3];
            out.corridor += neighbours == 2 && open[0] == open[1];
            if (flags & LAYOUT_TARGET) {
                ++out.targets;
                out.pocketed_targets += neighbours <= 1;
                const int32_t cell = frame.cell(x, y);
                if (labels[cell] < 0) {
                    const int32_t group = frame.flood(
                        cell, cell, labels, [&](int32_t c) { return (frame.flags(out, c) & LAYOUT_TARGET) != 0; });
                    out.largest_target_group = std::max(out.largest_target_group, group);
                }
            }
            if (neighbours == 2 && !out.goal_room) {
                std::array<int32_t, 2> sides;
                for (int32_t d = 0, k = 0; d < 4; ++d)
                    if (open[d])
                        sides[k++] = frame.cell(x + step_x(d), y + step_y(d));
                out.goal_room = opens_goal_room(out, frame.cell(x, y), sides[0], sides[1]);
            }
        }
    }
    out.wall_islands = count_wall_islands(out);
    return true;
}

double layout_distance(const TLevelLayout& a, const TLevelLayout& b) {
    const std::array<TPoints, 3> on_a = points_of(a), on_b = points_of(b);
    // b's cells turned and mirrored stay within reach of its corner, so
    // every shift that lays a cell on a cell fits in this frame.
    const int32_t reach = std::max(b.width, b.height);
    const int32_t span = a.width + 2 * reach;
    std::vector<int32_t> shared(static_cast<size_t>(span) * (a.height + 2 * reach));
    int32_t most = 0;
    for (int32_t turn = 0; turn < 8; ++turn) {
        std::fill(shared.begin(), shared.end(), 0);
        for (size_t kind = 0; kind < on_a.size(); ++kind) {
            for (std::array<int32_t, 2> q : on_b[kind]) {
                if (turn & 1)
                    q[0] = -q[0];
                if (turn & 2)
                    q[1] = -q[1];
                if (turn & 4)
                    std::swap(q[0], q[1]);
                for (const std::array<int32_t, 2>& p : on_a[kind])
                    ++shared[(p[1] - q[1] + reach) * span + p[0] - q[0] + reach];
            }
        }
        most = std::max(most, *std::max_element(shared.begin(), shared.end()));
    }
    int32_t cells = 0;
    for (size_t kind = 0; kind < on_a.size(); ++kind)
        cells += static_cast<int32_t>(on_a[kind].size() + on_b[kind].size());
    return double(cells - 2 * most) / std::max({a.floor, b.floor, 1});
}
