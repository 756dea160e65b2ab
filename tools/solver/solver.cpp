// A* over box placements, push-optimal thanks to a consistent lower bound.
#include "tools/solver/solver.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <queue>
#include <vector>

#include "tools/solver/board.h"
#include "tools/solver/state_table.h"

namespace {

struct TOpenEntry {
    int32_t f;
    int32_t h;
    int32_t id;
    // Among equal estimates, the state nearer the goal first: it reaches a
    // solution sooner without giving up optimality.
    bool operator<(const TOpenEntry& other) const { return f != other.f ? f > other.f : h > other.h; }
};

}  // namespace

int32_t TSolver::solve(const TLevel& level) {
    const auto started = std::chrono::steady_clock::now();
    solution.clear();
    pushes = 0;
    moves = 0;
    states = 0;
    seconds = 0.0;
    TBoard board;
    if (!board.load(level))
        return SOLVE_NOT_A_LEVEL;

    const int32_t box_count = static_cast<int32_t>(board.start_boxes.size());
    const size_t squares = board.cell_of.size();
    std::vector<uint8_t> box_at(squares, 0), seen(squares, 0), keeper_can(squares, 0);
    std::vector<int32_t> queue;
    std::vector<uint16_t> state(board.start_boxes);
    std::sort(state.begin(), state.end());
    for (uint16_t box : state)
        box_at[box] = 1;

    auto finish = [&](int32_t result) {
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        return result;
    };
    // A start with a box that can reach no target, or with boxes already
    // frozen off their targets, needs no search at all.
    const int32_t start_bound = board.lower_bound(state);
    if (start_bound >= BOARD_UNREACHABLE)
        return finish(SOLVE_UNSOLVABLE);
    for (uint16_t box : state)
        if (board.frozen_deadlock(box, box_at))
            return finish(SOLVE_UNSOLVABLE);

    TStateTable table(box_count);
    state.push_back(static_cast<uint16_t>(board.reach(board.start_keeper, box_at, seen, queue)));
    table.insert(state);
    std::priority_queue<TOpenEntry> open;
    open.push({start_bound, start_bound, 0});
    std::vector<uint16_t> child(box_count + 1);
    int32_t goal = -1;
    int64_t expanded = 0;

    while (!open.empty()) {
        const TOpenEntry entry = open.top();
        open.pop();
        const int32_t id = entry.id;
        // A state may sit in the queue several times after cheaper paths to it
        // were found; only its cheapest entry counts.
        if (table.closed[id] || entry.f - entry.h != table.pushes[id])
            continue;
        table.closed[id] = 1;
        if (entry.h == 0) {
            goal = id;
            break;
        }
        // The clock is costly next to one expansion, so it is read rarely.
        const bool out_of_time =
            (++expanded & 1023) == 0 &&
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count() > time_limit;
        if (out_of_time || table.size() > state_limit) {
            states = table.size();
            return finish(SOLVE_GAVE_UP);
        }

        const uint16_t* current = table.state(id);
        std::fill(box_at.begin(), box_at.end(), 0);
        for (int32_t i = 0; i < box_count; ++i)
            box_at[current[i]] = 1;
        board.reach(current[box_count], box_at, keeper_can, queue);
        const int32_t g = table.pushes[id];

        for (int32_t i = 0; i < box_count; ++i) {
            const int32_t box = current[i];
            for (int32_t d = 0; d < BOARD_DIRECTIONS; ++d) {
                const int32_t behind = board.next[box][TBoard::opposite(d)];
                const int32_t to = board.next[box][d];
                if (behind < 0 || !keeper_can[behind] || to < 0 || box_at[to] || board.is_dead[to])
                    continue;
                box_at[box] = 0;
                box_at[to] = 1;
                bool usable = !board.frozen_deadlock(to, box_at);
                if (usable) {
                    child.assign(current, current + box_count);
                    child[i] = static_cast<uint16_t>(to);
                    std::sort(child.begin(), child.end());
                    child.push_back(static_cast<uint16_t>(board.reach(box, box_at, seen, queue)));
                    const auto [child_id, fresh] = table.insert(child);
                    int32_t h = 0;
                    if (fresh) {
                        child.pop_back();
                        h = board.lower_bound(child);
                    } else if (!table.closed[child_id] && g + 1 < table.pushes[child_id]) {
                        child.pop_back();
                        h = board.lower_bound(child);
                    } else {
                        usable = false;
                    }
                    if (usable && h < BOARD_UNREACHABLE) {
                        table.parent[child_id] = id;
                        table.pushes[child_id] = g + 1;
                        table.move[child_id] = box * BOARD_DIRECTIONS + d;
                        open.push({g + 1 + h, h, child_id});
                    } else if (fresh) {
                        // A state without a matching can never be solved.
                        table.closed[child_id] = 1;
                    }
                }
                box_at[to] = 0;
                box_at[box] = 1;
                current = table.state(id);
            }
        }
    }
    states = table.size();
    if (goal < 0)
        return finish(SOLVE_UNSOLVABLE);

    std::vector<int32_t> path;
    for (int32_t id = goal; table.parent[id] >= 0; id = table.parent[id])
        path.push_back(table.move[id]);
    std::fill(box_at.begin(), box_at.end(), 0);
    for (uint16_t box : board.start_boxes)
        box_at[box] = 1;
    int32_t keeper = board.start_keeper;
    for (auto step = path.rbegin(); step != path.rend(); ++step) {
        const int32_t box = *step / BOARD_DIRECTIONS;
        const int32_t d = *step % BOARD_DIRECTIONS;
        board.walk(keeper, board.next[box][TBoard::opposite(d)], box_at, solution);
        solution.push_back(static_cast<char>(std::toupper(BOARD_LETTERS[d])));
        box_at[box] = 0;
        box_at[board.next[box][d]] = 1;
        keeper = box;
    }
    pushes = static_cast<int32_t>(path.size());
    moves = static_cast<int32_t>(solution.size());
    return finish(SOLVE_SOLVED);
}
