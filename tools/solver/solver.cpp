// A* over box placements, push-optimal thanks to a consistent lower bound.
#include "tools/solver/solver.h"

#include <algorithm>
#include <chrono>
#include <queue>
#include <vector>

#include "tools/solver/board.h"

namespace {

const char MOVE_LETTERS[BOARD_DIRECTIONS + 1] = "lrud";
const char PUSH_LETTERS[BOARD_DIRECTIONS + 1] = "LRUD";

struct TOpenEntry {
    int32_t f;
    int32_t h;
    int32_t id;
    // Among equal estimates, the state nearer the goal first: it reaches a
    // solution sooner without giving up optimality.
    bool operator<(const TOpenEntry& other) const
    {
        return f != other.f ? f > other.f : h > other.h;
    }
};

// Every state ever reached, packed: the sorted boxes followed by the
// smallest square of the keeper's region.
class TStateTable {
public:
    explicit TStateTable(int32_t boxes) : stride(boxes + 1), slots(1 << 16, -1) {}

    int32_t size() const { return static_cast<int32_t>(parent.size()); }
    const uint16_t* state(int32_t id) const { return &pool[static_cast<size_t>(id) * stride]; }

    // The id of the state, and whether it was new.
    std::pair<int32_t, bool> insert(const std::vector<uint16_t>& state)
    {
        if (static_cast<size_t>(size()) * 2 >= slots.size())
            grow();
        const uint64_t mask = slots.size() - 1;
        for (uint64_t slot = hash(state.data()) & mask;; slot = (slot + 1) & mask) {
            const int32_t id = slots[slot];
            if (id < 0) {
                slots[slot] = size();
                pool.insert(pool.end(), state.begin(), state.end());
                parent.push_back(-1);
                pushes.push_back(0);
                move.push_back(0);
                closed.push_back(0);
                return {slots[slot], true};
            }
            if (std::equal(state.begin(), state.end(), this->state(id)))
                return {id, false};
        }
    }

    std::vector<int32_t> parent;
    std::vector<int32_t> pushes;
    // The pushed box's square before the push times four, plus the direction.
    std::vector<int32_t> move;
    std::vector<uint8_t> closed;

private:
    uint64_t hash(const uint16_t* state) const
    {
        uint64_t value = 0x9e3779b97f4a7c15ull;
        for (size_t i = 0; i < stride; ++i) {
            value ^= state[i];
            value *= 0xff51afd7ed558ccdull;
            value ^= value >> 29;
        }
        return value;
    }

    void grow()
    {
        slots.assign(slots.size() * 2, -1);
        const uint64_t mask = slots.size() - 1;
        for (int32_t id = 0; id < size(); ++id) {
            uint64_t slot = hash(state(id)) & mask;
            while (slots[slot] >= 0)
                slot = (slot + 1) & mask;
            slots[slot] = id;
        }
    }

    size_t stride;
    std::vector<uint16_t> pool;
    std::vector<int32_t> slots;
};

// The keeper's shortest walk to goal around the boxes, appended as letters.
bool walk(const TBoard& board, int32_t from, int32_t goal, const std::vector<uint8_t>& box_at, std::string& out)
{
    std::vector<int32_t> came(board.cell_of.size(), -1);
    std::vector<int32_t> queue(1, from);
    came[from] = from;
    for (size_t head = 0; head < queue.size() && came[goal] < 0; ++head) {
        const int32_t square = queue[head];
        for (int32_t d = 0; d < BOARD_DIRECTIONS; ++d) {
            const int32_t n = board.next[square][d];
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
            if (board.next[previous][d] == square)
                steps.push_back(MOVE_LETTERS[d]);
    }
    out.append(steps.rbegin(), steps.rend());
    return true;
}

}  // namespace

int32_t TSolver::solve(const TLevel& level)
{
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
        if ((++expanded & 1023) == 0) {
            const double elapsed =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
            if (elapsed > time_limit || table.size() > state_limit) {
                states = table.size();
                return finish(SOLVE_GAVE_UP);
            }
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
        walk(board, keeper, board.next[box][TBoard::opposite(d)], box_at, solution);
        solution.push_back(PUSH_LETTERS[d]);
        box_at[box] = 0;
        box_at[board.next[box][d]] = 1;
        keeper = box;
    }
    pushes = static_cast<int32_t>(path.size());
    moves = static_cast<int32_t>(solution.size());
    return finish(SOLVE_SOLVED);
}
