// Finding a blueprint's start: its boxes pulled away from their targets, the hardest proven start, dead floor walled
// in.
#include "tools/generator/generator.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <sstream>

#include "level/level_collection.h"
#include "tools/report/level_measures.h"
#include "tools/solver/board.h"
#include "tools/solver/replay.h"
#include "tools/solver/solver.h"
#include "tools/solver/state_table.h"

namespace {

// The boxes of every state in one breadth-first layer are pulled once more
// in every way the keeper can; the new states form the next layer.
void pull_layer(const TBoard& board, TStateTable& table, const std::vector<int32_t>& layer,
                std::vector<int32_t>& next) {
    const int32_t boxes = static_cast<int32_t>(board.start_boxes.size());
    const size_t squares = board.cell_of.size();
    std::vector<uint8_t> box_at(squares, 0), region(squares, 0), seen(squares, 0);
    std::vector<int32_t> queue;
    std::vector<uint16_t> current(boxes + 1), child;
    next.clear();
    for (const int32_t id : layer) {
        current.assign(table.state(id), table.state(id) + boxes + 1);
        for (int32_t i = 0; i < boxes; ++i)
            box_at[current[i]] = 1;
        board.reach(current[boxes], box_at, region, queue);
        for (int32_t i = 0; i < boxes; ++i) {
            const int32_t box = current[i];
            for (int32_t d = 0; d < BOARD_DIRECTIONS; ++d) {
                // The keeper stands beside the box and steps back, drawing
                // the box after him.
                const int32_t keeper = board.next[box][d];
                if (keeper < 0 || !region[keeper])
                    continue;
                const int32_t back = board.next[keeper][d];
                if (back < 0 || box_at[back])
                    continue;
                box_at[box] = 0;
                box_at[keeper] = 1;
                child.assign(current.begin(), current.end() - 1);
                child[i] = static_cast<uint16_t>(keeper);
                std::sort(child.begin(), child.end());
                child.push_back(static_cast<uint16_t>(board.reach(back, box_at, seen, queue)));
                const auto [child_id, fresh] = table.insert(child);
                if (fresh) {
                    table.pushes[child_id] = table.pushes[id] + 1;
                    next.push_back(child_id);
                }
                box_at[keeper] = 0;
                box_at[box] = 1;
            }
        }
        for (int32_t i = 0; i < boxes; ++i)
            box_at[current[i]] = 0;
    }
}

// Every keeper region around the solved boxes is a finish. Pulling breadth
// first from all of them gives each state its fewest pushes. Past the
// state bound each layer keeps only the states that are farthest from home
// by the lone-box bound; their pushes are then only an upper bound, which
// the solver makes exact.
TStateTable pull_apart(const TBoard& board, const TDesignOptions& options) {
    const int32_t boxes = static_cast<int32_t>(board.start_boxes.size());
    const size_t squares = board.cell_of.size();
    std::vector<uint8_t> box_at(squares, 0), seen(squares, 0), region(squares, 0);
    std::vector<int32_t> queue;
    std::vector<uint16_t> state(board.start_boxes);
    std::sort(state.begin(), state.end());
    for (uint16_t box : state)
        box_at[box] = 1;

    TStateTable table(boxes);
    std::vector<int32_t> layer, next;
    for (size_t s = 0; s < squares; ++s) {
        if (box_at[s] || region[s])
            continue;
        state.resize(boxes);
        state.push_back(static_cast<uint16_t>(board.reach(static_cast<int32_t>(s), box_at, seen, queue)));
        for (int32_t square : queue)
            region[square] = 1;
        layer.push_back(table.insert(state).first);
    }
    std::vector<std::pair<int32_t, int32_t>> ranked;
    // The narrow search goes on for as many states again as the full one.
    while (!layer.empty() && table.size() < 2 * options.pull_states) {
        pull_layer(board, table, layer, next);
        if (table.size() <= options.pull_states || static_cast<int32_t>(next.size()) <= options.beam) {
            layer.swap(next);
            continue;
        }
        ranked.clear();
        for (const int32_t id : next) {
            state.assign(table.state(id), table.state(id) + boxes);
            ranked.push_back({-board.lower_bound(state), id});
        }
        std::sort(ranked.begin(), ranked.end());
        layer.clear();
        for (int32_t k = 0; k < options.beam; ++k)
            layer.push_back(ranked[k].second);
    }
    return table;
}

// The most promising starts. Among the states whose fewest pushes are
// exact: the deepest, with the pushes beyond the lone-box bound, which are
// the pushes the boxes cost each other, weighing three times as much.
// Among all: the farthest from home by that bound.
std::vector<int32_t> promising(const TBoard& board, const TStateTable& table, const TDesignOptions& options) {
    const int32_t boxes = static_cast<int32_t>(board.start_boxes.size());
    const int32_t exact = static_cast<int32_t>(std::min<int64_t>(table.size(), options.pull_states));
    std::vector<std::pair<int32_t, int32_t>> tangled, far;
    std::vector<uint16_t> placement;
    std::vector<int32_t> found;
    for (int32_t id = 0; id < table.size(); ++id) {
        const int32_t pushes = table.pushes[id];
        placement.assign(table.state(id), table.state(id) + boxes);
        const int32_t bound = board.lower_bound(placement);
        if (pushes == 0 || bound >= BOARD_UNREACHABLE)
            continue;
        if (id < exact)
            tangled.push_back({-(pushes + 3 * (pushes - bound)), id});
        far.push_back({-bound, id});
    }
    std::sort(tangled.begin(), tangled.end());
    std::sort(far.begin(), far.end());
    // Starts that differ in one box only would be solved to much the same
    // result; the next in line is taken instead.
    auto distinct = [&](int32_t id) {
        for (const int32_t other : found) {
            int32_t shared = 0;
            for (int32_t i = 0; i < boxes; ++i)
                shared += std::binary_search(table.state(other), table.state(other) + boxes, table.state(id)[i]);
            if (shared >= boxes - 1)
                return false;
        }
        return true;
    };
    // Turn about from each list, the next start that is distinct.
    auto take = [&](const std::vector<std::pair<int32_t, int32_t>>& list, size_t& next) {
        for (; next < list.size(); ++next)
            if (distinct(list[next].second)) {
                found.push_back(list[next++].second);
                return;
            }
    };
    size_t next_tangled = 0, next_far = 0;
    while (static_cast<int32_t>(found.size()) < options.candidates &&
           (next_tangled < tangled.size() || next_far < far.size())) {
        take(tangled, next_tangled);
        if (static_cast<int32_t>(found.size()) < options.candidates)
            take(far, next_far);
    }
    return found;
}

// The blueprint's rows with the boxes of a pull state, and the keeper on the
// square of his region nearest to where the blueprint put him.
std::vector<std::string> start_rows(const TLevel& blueprint, const TBoard& board, const uint16_t* state) {
    const int32_t boxes = static_cast<int32_t>(board.start_boxes.size());
    const size_t squares = board.cell_of.size();
    std::vector<uint8_t> box_at(squares, 0), region(squares, 0), seen(squares, 0);
    std::vector<int32_t> queue;
    for (int32_t i = 0; i < boxes; ++i)
        box_at[state[i]] = 1;
    board.reach(state[boxes], box_at, region, queue);
    // Breadth first from the blueprint's keeper, through boxes too.
    const std::vector<uint8_t> nothing(squares, 0);
    board.reach(board.start_keeper, nothing, seen, queue);
    int32_t keeper = state[boxes];
    for (const int32_t square : queue)
        if (region[square]) {
            keeper = square;
            break;
        }

    std::vector<std::string> rows;
    for (int32_t y = 0; y < blueprint.height; ++y) {
        std::string row;
        for (int32_t x = 0; x < blueprint.width; ++x) {
            int32_t code = blueprint.get(x, y);
            const int32_t square = board.square_of[y * blueprint.width + x];
            if (square >= 0) {
                const bool target = board.is_target[square];
                code = box_at[square] ? (target ? CELL_BOX_ON_TARGET : CELL_BOX) : (target ? CELL_TARGET : CELL_FLOOR);
            }
            row += cell_letter(code, square >= 0 && square == keeper);
        }
        row.erase(row.find_last_not_of(' ') + 1);
        rows.push_back(row);
    }
    return rows;
}

// Patches of at least `least` floor cells, side by side, that neither the
// keeper nor a box ever stands on become wall. Returns the cells walled.
int32_t wall_in_dead_floor(std::vector<std::string>& rows, const TLevel& level, const std::vector<uint8_t>& visited,
                           int32_t least) {
    const int32_t width = level.width;
    const int32_t cells = static_cast<int32_t>(visited.size());
    std::vector<uint8_t> done(visited.size(), 0);
    int32_t walled = 0;
    for (int32_t start = 0; start < cells; ++start) {
        if (done[start] || visited[start] || level.cells[start] != CELL_FLOOR)
            continue;
        std::vector<int32_t> patch(1, start);
        done[start] = 1;
        for (size_t head = 0; head < patch.size(); ++head) {
            const int32_t cell = patch[head];
            const int32_t around[4] = {cell - 1, cell + 1, cell - width, cell + width};
            for (const int32_t n : around)
                if (n >= 0 && n < cells && !done[n] && !visited[n] && level.cells[n] == CELL_FLOOR &&
                    (n % width == cell % width || n / width == cell / width)) {
                    done[n] = 1;
                    patch.push_back(n);
                }
        }
        if (static_cast<int32_t>(patch.size()) < least)
            continue;
        for (const int32_t cell : patch)
            rows[cell / width][cell % width] = '#';
        walled += static_cast<int32_t>(patch.size());
    }
    return walled;
}

// Walls that touch no floor, not even at a corner, hold nothing up: they
// become outside, and the picture is cropped to what is left.
std::vector<std::string> trimmed(const TLevel& level) {
    auto inside = [&](int32_t x, int32_t y) {
        const int32_t code = level.get(x, y);
        return code != CELL_WALL && code != CELL_OUTSIDE && code != CELL_INVALID;
    };
    std::vector<std::string> rows = rows_of(level);
    int32_t left = level.width, right = -1, top = level.height, bottom = -1;
    for (int32_t y = 0; y < level.height; ++y)
        for (int32_t x = 0; x < level.width; ++x) {
            bool needed = false;
            for (int32_t dy = -1; dy <= 1; ++dy)
                for (int32_t dx = -1; dx <= 1; ++dx)
                    needed = needed || inside(x + dx, y + dy);
            if (!needed) {
                if (x < static_cast<int32_t>(rows[y].size()))
                    rows[y][x] = ' ';
                continue;
            }
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    std::vector<std::string> cropped;
    for (int32_t y = top; y <= bottom; ++y) {
        std::string row = rows[y].substr(std::min<size_t>(left, rows[y].size()), right - left + 1);
        row.erase(row.find_last_not_of(' ') + 1);
        cropped.push_back(row);
    }
    return cropped;
}

}  // namespace

std::vector<std::string> rows_of(const TLevel& level) {
    std::vector<std::string> rows;
    for (int32_t y = 0; y < level.height; ++y) {
        std::string row;
        for (int32_t x = 0; x < level.width; ++x)
            row += cell_letter(level.get(x, y), x == level.start_x && y == level.start_y);
        row.erase(row.find_last_not_of(' ') + 1);
        rows.push_back(row);
    }
    return rows;
}

bool level_of(const std::vector<std::string>& rows, TLevel& level) {
    // A header and an empty title slot make the rows one level of a file.
    std::string text = ";\n\n";
    for (const std::string& row : rows)
        text += row + '\n';
    TLevelCollection collection;
    std::ostringstream errors;
    if (collection.import_text(text, "rows", errors) != 0 || collection.levels.size() != 1)
        return false;
    const TLevel& read = *collection.levels[0];
    if (level.create(read.width, read.height) != 0)
        return false;
    std::copy(read.cells.get(), read.cells.get() + read.width * read.height, level.cells.get());
    level.set_start(read.start_x, read.start_y);
    return true;
}

bool prove(const std::vector<std::string>& rows, int64_t solver_states, TDesignedLevel& out) {
    TLevel level;
    TSolver solver;
    solver.time_limit = 1e9;
    solver.state_limit = solver_states;
    TLevelMeasures measures;
    int32_t moves = 0;
    int32_t pushes = 0;
    if (!level_of(rows, level) || solver.solve(level) != SOLVE_SOLVED ||
        replay_solution(level, solver.solution, moves, pushes) != REPLAY_SOLVED ||
        !measure_level(level, solver.solution, measures))
        return false;
    out.rows = rows;
    out.pushes = solver.pushes;
    out.lone_pushes = measures.lone_pushes;
    out.moves = solver.moves;
    out.states = solver.states;
    out.sessions = measures.sessions_per_box();
    out.solution = solver.solution;
    return true;
}

bool design(const TLevel& blueprint, const TDesignOptions& options, TDesignedLevel& out, std::string& why) {
    TBoard board;
    if (!board.load(blueprint)) {
        why = "not a level the solver can read";
        return false;
    }
    for (const uint16_t box : board.start_boxes)
        if (!board.is_target[box]) {
            why = "not drawn solved: a box stands off its target";
            return false;
        }
    const TStateTable table = pull_apart(board, options);
    double best_score = -1.0;
    if (options.verbose)
        std::cerr << "  pull search: " << table.size() << " states\n";
    for (const int32_t candidate : promising(board, table, options)) {
        TDesignedLevel proven;
        const bool proven_ok =
            prove(start_rows(blueprint, board, table.state(candidate)), options.solver_states, proven);
        if (options.verbose)
            std::cerr << "  candidate at pull depth " << table.pushes[candidate] << ": "
                      << (proven_ok ? std::to_string(proven.pushes) + " pushes (" + std::to_string(proven.lone_pushes) +
                                          " alone), " + std::to_string(proven.states) + " states, " +
                                          std::to_string(proven.sessions).substr(0, 4) + " sessions a box"
                                    : std::string("not proven"))
                      << '\n';
        if (!proven_ok)
            continue;
        // The pushes the boxes cost each other count three times, and the
        // solver's effort on a log scale.
        const double score = proven.pushes + 2.0 * (proven.pushes - proven.lone_pushes) +
                             options.effort * std::log2(static_cast<double>(proven.states)) +
                             options.sessions * proven.sessions;
        if (score > best_score) {
            best_score = score;
            out = proven;
        }
    }
    if (best_score < 0) {
        why = "no start could be proven within the solver's states";
        return false;
    }

    // The floor the solution leaves alone in patches becomes wall; the
    // solution still plays, and less floor allows no shorter one.
    TLevel level;
    TLevelMeasures measures;
    level_of(out.rows, level);
    measure_level(level, out.solution, measures);
    std::vector<std::string> rows = out.rows;
    const int32_t walled = wall_in_dead_floor(rows, level, measures.visited, options.dead_patch);
    TLevel walled_level;
    level_of(rows, walled_level);
    const int32_t pushes = out.pushes;
    if (!prove(trimmed(walled_level), options.solver_states, out) || out.pushes != pushes) {
        why = "walling in the unused floor changed the fewest pushes";
        return false;
    }
    out.walled = walled;
    return true;
}
