// The level report's measures, taken along one solution.
#include "tools/report/level_measures.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "tools/solver/board.h"

namespace {

struct TPush {
    int32_t box;
    int32_t direction;
};

using TRun = std::vector<TPush>;

std::vector<TRun> runs_of(const std::vector<TPush>& pushes) {
    std::vector<TRun> runs;
    for (const TPush& push : pushes) {
        if (runs.empty() || runs.back().front().box != push.box)
            runs.emplace_back();
        runs.back().push_back(push);
    }
    return runs;
}

// Whether the pushes can be made in this order from the start: each box's
// way is free and the keeper can walk round to the side he pushes from.
bool plays(const TBoard& board, std::vector<int32_t> boxes, const std::vector<TRun>& runs) {
    std::vector<uint8_t> box_at(board.cell_of.size(), 0), seen(board.cell_of.size(), 0);
    std::vector<int32_t> queue;
    for (int32_t box : boxes)
        box_at[box] = 1;
    int32_t keeper = board.start_keeper;
    for (const TRun& run : runs) {
        for (const TPush& push : run) {
            const int32_t from = boxes[push.box];
            const int32_t behind = board.next[from][TBoard::opposite(push.direction)];
            const int32_t to = board.next[from][push.direction];
            if (behind < 0 || to < 0 || box_at[to])
                return false;
            board.reach(keeper, box_at, seen, queue);
            if (!seen[behind])
                return false;
            box_at[from] = 0;
            box_at[to] = 1;
            boxes[push.box] = to;
            keeper = from;
        }
    }
    return true;
}

// Greedy: a later run of a box is brought up behind its earlier run, or the
// earlier one taken down in front of it, whenever the whole order still
// plays. Every change joins two runs, so the loop ends.
int32_t count_sessions(const TBoard& board, const std::vector<int32_t>& boxes, const std::vector<TPush>& pushes) {
    std::vector<TRun> runs = runs_of(pushes);
    for (bool joined = true; joined;) {
        joined = false;
        for (size_t k = 0; k < runs.size() && !joined; ++k) {
            size_t m = k + 1;
            while (m < runs.size() && runs[m].front().box != runs[k].front().box)
                ++m;
            if (m >= runs.size())
                continue;
            for (int32_t way = 0; way < 2 && !joined; ++way) {
                std::vector<TRun> order(runs);
                if (way == 0)
                    std::rotate(order.begin() + k + 1, order.begin() + m, order.begin() + m + 1);
                else
                    std::rotate(order.begin() + k, order.begin() + k + 1, order.begin() + m);
                if (plays(board, boxes, order)) {
                    std::vector<TPush> flat;
                    for (const TRun& run : order)
                        flat.insert(flat.end(), run.begin(), run.end());
                    runs = runs_of(flat);
                    joined = true;
                }
            }
        }
    }
    return static_cast<int32_t>(runs.size());
}

}  // namespace

bool measure_level(const TLevel& level, const std::string& solution, TLevelMeasures& out) {
    out = TLevelMeasures();
    TBoard board;
    if (!board.load(level))
        return false;
    const size_t squares = board.cell_of.size();
    std::vector<uint8_t> box_at(squares, 0), inside(squares, 0);
    std::vector<int32_t> queue;
    board.reach(board.start_keeper, box_at, inside, queue);
    out.interior = static_cast<int32_t>(queue.size());

    // Boxes are followed by identity, so that runs of pushes on one box can
    // be told apart from pushes on its neighbour.
    std::vector<int32_t> box_id(squares, -1);
    std::vector<int32_t> boxes(board.start_boxes.begin(), board.start_boxes.end());
    out.boxes = static_cast<int32_t>(boxes.size());
    out.lone_pushes = board.lower_bound(board.start_boxes);
    std::vector<uint8_t> visited(squares, 0);
    for (size_t i = 0; i < boxes.size(); ++i) {
        box_id[boxes[i]] = static_cast<int32_t>(i);
        visited[boxes[i]] = 1;
    }
    int32_t keeper = board.start_keeper;
    visited[keeper] = 1;
    std::vector<TPush> pushes;
    for (char letter : solution) {
        const char* found = std::strchr(BOARD_LETTERS, std::tolower(static_cast<unsigned char>(letter)));
        if (letter == '\0' || !found)
            return false;
        const int32_t d = static_cast<int32_t>(found - BOARD_LETTERS);
        const int32_t ahead = board.next[keeper][d];
        if (ahead < 0)
            return false;
        const bool push = std::isupper(static_cast<unsigned char>(letter)) != 0;
        if (push != (box_id[ahead] >= 0))
            return false;
        if (push) {
            const int32_t to = board.next[ahead][d];
            if (to < 0 || box_id[to] >= 0)
                return false;
            pushes.push_back({box_id[ahead], d});
            box_id[to] = box_id[ahead];
            box_id[ahead] = -1;
            boxes[box_id[to]] = to;
            visited[to] = 1;
        }
        keeper = ahead;
        visited[keeper] = 1;
    }
    for (size_t t = 0; t < board.targets.size(); ++t)
        if (box_id[board.targets[t]] < 0)
            return false;

    out.pushes = static_cast<int32_t>(pushes.size());
    std::vector<uint8_t> pushed(boxes.size(), 0);
    for (const TPush& push : pushes)
        pushed[push.box] = 1;
    out.pushed_boxes = static_cast<int32_t>(std::count(pushed.begin(), pushed.end(), 1));
    std::vector<int32_t> start(board.start_boxes.begin(), board.start_boxes.end());
    out.sessions = count_sessions(board, start, pushes);

    // Patches of interior floor that nothing ever touches.
    out.visited.assign(static_cast<size_t>(level.width) * level.height, 0);
    for (size_t s = 0; s < squares; ++s)
        out.visited[board.cell_of[s]] = visited[s] && inside[s];
    std::vector<uint8_t> done(squares, 0);
    for (size_t s = 0; s < squares; ++s) {
        if (!inside[s] || visited[s] || done[s])
            continue;
        int32_t size = 0;
        queue.assign(1, static_cast<int32_t>(s));
        done[s] = 1;
        for (size_t head = 0; head < queue.size(); ++head, ++size)
            for (int32_t n : board.next[queue[head]])
                if (n >= 0 && inside[n] && !visited[n] && !done[n]) {
                    done[n] = 1;
                    queue.push_back(n);
                }
        out.unvisited += size;
        if (size >= MEASURE_DEAD_ROOM) {
            ++out.dead_rooms;
            out.largest_dead_room = std::max(out.largest_dead_room, size);
        }
    }
    return true;
}
