// Making levels from a seed: rooms, a search that pulls boxes apart, and walls where no solution goes.
#include "tools/generator/generator.h"

#include <algorithm>

#include "tools/report/level_measures.h"
#include "tools/solver/board.h"
#include "tools/solver/solver.h"
#include "tools/solver/state_table.h"

namespace {

const int32_t BLOCK = 3;

struct TTemplate {
    const char* cells;
    // Weights in the open, mixed and corridor styles.
    int32_t weight[3];
};

// Three by three wall patterns, "#" wall and " " floor, read row by row;
// each is also used turned and mirrored.
const TTemplate TEMPLATES[] = {
    {"         ", {10, 4, 1}}, {"#        ", {6, 4, 0}}, {"##       ", {4, 4, 0}}, {"###      ", {3, 3, 1}},
    {"    #    ", {4, 3, 0}},  {"#  #     ", {2, 3, 0}}, {"## #     ", {2, 3, 0}}, {"# #      ", {2, 3, 1}},
    {"    ##   ", {1, 3, 0}},  {"#   #    ", {1, 2, 0}}, {"# ## #   ", {0, 1, 2}}, {"# #  ### ", {0, 1, 0}},
    {"# ## ## #", {0, 2, 8}},  {"###   ###", {0, 2, 8}}, {"# #  ####", {0, 2, 6}}, {"# #   ###", {0, 1, 5}},
    {"# #   # #", {0, 1, 3}},  {"###  ## #", {0, 1, 4}},
};

const int32_t STEP_X[BOARD_DIRECTIONS] = {-1, 1, 0, 0};
const int32_t STEP_Y[BOARD_DIRECTIONS] = {0, 0, -1, 1};

char& at(std::vector<std::string>& rows, int32_t x, int32_t y) {
    return rows[y][x];
}

bool is_wall(const std::vector<std::string>& rows, int32_t x, int32_t y) {
    return y < 0 || y >= static_cast<int32_t>(rows.size()) || x < 0 || x >= static_cast<int32_t>(rows[y].size()) ||
           rows[y][x] == '#';
}

// Walls out of every floor cell's reach, even diagonally, hold nothing up:
// those connected to the border become outside, then the picture is cropped.
// A one-square dent that would be left in the outline is filled back.
void close_and_crop(std::vector<std::string>& rows) {
    const int32_t height = static_cast<int32_t>(rows.size());
    const int32_t width = static_cast<int32_t>(rows[0].size());
    auto needed = [&](int32_t x, int32_t y) {
        for (int32_t dy = -1; dy <= 1; ++dy)
            for (int32_t dx = -1; dx <= 1; ++dx)
                if (!is_wall(rows, x + dx, y + dy))
                    return true;
        return false;
    };
    std::vector<std::pair<int32_t, int32_t>> stack;
    std::vector<uint8_t> spare(static_cast<size_t>(width) * height, 0);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            if ((x == 0 || y == 0 || x == width - 1 || y == height - 1) && !needed(x, y)) {
                spare[y * width + x] = 1;
                stack.push_back({x, y});
            }
    while (!stack.empty()) {
        const auto [x, y] = stack.back();
        stack.pop_back();
        for (int32_t d = 0; d < BOARD_DIRECTIONS; ++d) {
            const int32_t nx = x + STEP_X[d];
            const int32_t ny = y + STEP_Y[d];
            if (nx < 0 || ny < 0 || nx >= width || ny >= height || spare[ny * width + nx] || needed(nx, ny))
                continue;
            spare[ny * width + nx] = 1;
            stack.push_back({nx, ny});
        }
    }
    // A dent has at most one spare neighbour, so filling it never shuts
    // other spare squares in.
    for (bool filled = true; filled;) {
        filled = false;
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) {
                int32_t walls = 0;
                for (int32_t d = 0; d < BOARD_DIRECTIONS; ++d) {
                    const int32_t nx = x + STEP_X[d];
                    const int32_t ny = y + STEP_Y[d];
                    walls += nx >= 0 && ny >= 0 && nx < width && ny < height && !spare[ny * width + nx];
                }
                if (spare[y * width + x] && walls >= 3) {
                    spare[y * width + x] = 0;
                    filled = true;
                }
            }
    }
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            if (spare[y * width + x])
                rows[y][x] = ' ';
    int32_t left = width, right = -1, top = height, bottom = -1;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            if (rows[y][x] != ' ') {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    std::vector<std::string> cropped;
    for (int32_t y = top; y <= bottom; ++y) {
        std::string row = rows[y].substr(left, right - left + 1);
        row.erase(row.find_last_not_of(' ') + 1);
        cropped.push_back(row);
    }
    rows.swap(cropped);
}

// Only the largest connected floor is kept; smaller pockets become wall.
void keep_largest_floor(std::vector<std::string>& rows) {
    const int32_t width = static_cast<int32_t>(rows[0].size()) - 2;
    const int32_t height = static_cast<int32_t>(rows.size()) - 2;
    std::vector<int32_t> label((width + 2) * (height + 2), -1);
    int32_t best_label = -1;
    size_t best_size = 0;
    for (int32_t start = 0; start < static_cast<int32_t>(label.size()); ++start) {
        const int32_t sx = start % (width + 2);
        const int32_t sy = start / (width + 2);
        if (label[start] >= 0 || rows[sy][sx] != ' ')
            continue;
        std::vector<int32_t> queue(1, start);
        label[start] = start;
        for (size_t head = 0; head < queue.size(); ++head) {
            const int32_t x = queue[head] % (width + 2);
            const int32_t y = queue[head] / (width + 2);
            for (int32_t d = 0; d < BOARD_DIRECTIONS; ++d) {
                const int32_t nx = x + STEP_X[d];
                const int32_t ny = y + STEP_Y[d];
                const int32_t n = ny * (width + 2) + nx;
                if (rows[ny][nx] == ' ' && label[n] < 0) {
                    label[n] = start;
                    queue.push_back(n);
                }
            }
        }
        if (queue.size() > best_size) {
            best_size = queue.size();
            best_label = start;
        }
    }
    for (int32_t cell = 0; cell < static_cast<int32_t>(label.size()); ++cell)
        if (label[cell] != best_label)
            rows[cell / (width + 2)][cell % (width + 2)] = '#';
}

}  // namespace

bool level_from_rows(const std::vector<std::string>& rows, TLevel& level) {
    size_t width = 0;
    for (const std::string& row : rows)
        width = std::max(width, row.size());
    if (level.create(static_cast<int32_t>(width), static_cast<int32_t>(rows.size())) != 0)
        return false;
    for (size_t y = 0; y < rows.size(); ++y) {
        for (size_t x = 0; x < rows[y].size(); ++x) {
            int32_t code = CELL_FLOOR;
            switch (rows[y][x]) {
            case '#':
                code = CELL_WALL;
                break;
            case '$':
                code = CELL_BOX;
                break;
            case '.':
                code = CELL_TARGET;
                break;
            case '*':
                code = CELL_BOX_ON_TARGET;
                break;
            case '+':
                code = CELL_TARGET;
                level.set_start(x, y);
                break;
            case '@':
                level.set_start(x, y);
                break;
            default:
                break;
            }
            level.set(x, y, code);
        }
    }
    level.mark_outside();
    return true;
}

std::vector<std::string> TGenerator::build_room(const TGeneratorProfile& profile) {
    const int32_t width = between(profile.min_width, profile.max_width);
    const int32_t height = between(profile.min_height, profile.max_height);
    std::vector<std::string> rows(height + 2, std::string(width + 2, '#'));
    if (profile.style == STYLE_CORRIDORS)
        carve_rooms_and_corridors(rows);
    else if (profile.style == STYLE_BLOCKS)
        carve_blocks(rows);
    else
        stamp_templates(rows, profile.style);
    // A wall square with no wall beside it stands alone in the floor like a
    // stray pillar; walls added later always lean on others.
    for (int32_t y = 1; y <= height; ++y)
        for (int32_t x = 1; x <= width; ++x) {
            int32_t walls = 0;
            for (int32_t d = 0; d < BOARD_DIRECTIONS; ++d)
                walls += is_wall(rows, x + STEP_X[d], y + STEP_Y[d]);
            if (walls == 0)
                at(rows, x, y) = ' ';
        }
    keep_largest_floor(rows);
    return rows;
}

void TGenerator::stamp_templates(std::vector<std::string>& rows, int32_t style) {
    const int32_t width = static_cast<int32_t>(rows[0].size()) - 2;
    const int32_t height = static_cast<int32_t>(rows.size()) - 2;
    int32_t total_weight = 0;
    for (const TTemplate& pattern : TEMPLATES)
        total_weight += pattern.weight[style];
    for (int32_t by = 0; by * BLOCK < height; ++by) {
        for (int32_t bx = 0; bx * BLOCK < width; ++bx) {
            int32_t pick = below(total_weight);
            const TTemplate* chosen = TEMPLATES;
            while (pick >= chosen->weight[style])
                pick -= (chosen++)->weight[style];
            const int32_t turn = below(4);
            const bool mirror = below(2) != 0;
            for (int32_t j = 0; j < BLOCK; ++j) {
                for (int32_t i = 0; i < BLOCK; ++i) {
                    int32_t u = mirror ? BLOCK - 1 - i : i;
                    int32_t v = j;
                    for (int32_t t = 0; t < turn; ++t) {
                        const int32_t turned = BLOCK - 1 - v;
                        v = u;
                        u = turned;
                    }
                    const int32_t x = 1 + bx * BLOCK + i;
                    const int32_t y = 1 + by * BLOCK + j;
                    if (x <= width && y <= height)
                        at(rows, x, y) = chosen->cells[v * BLOCK + u];
                }
            }
        }
    }
}

// A few small rooms strung together by long, bending corridors one square
// wide, with one extra corridor now and then to make a loop.
void TGenerator::carve_rooms_and_corridors(std::vector<std::string>& rows) {
    const int32_t width = static_cast<int32_t>(rows[0].size()) - 2;
    const int32_t height = static_cast<int32_t>(rows.size()) - 2;
    const int32_t rooms = between(3, 5);
    std::vector<std::pair<int32_t, int32_t>> centres;
    for (int32_t r = 0; r < rooms; ++r) {
        const int32_t room_width = between(2, 4);
        const int32_t room_height = between(2, 3);
        const int32_t left = 1 + below(width - room_width + 1);
        const int32_t top = 1 + below(height - room_height + 1);
        for (int32_t y = top; y < top + room_height; ++y)
            for (int32_t x = left; x < left + room_width; ++x)
                at(rows, x, y) = ' ';
        centres.push_back({left + below(room_width), top + below(room_height)});
    }
    auto corridor = [&](std::pair<int32_t, int32_t> from, std::pair<int32_t, int32_t> to) {
        const bool across_first = below(2) != 0;
        int32_t x = from.first;
        int32_t y = from.second;
        for (int32_t leg = 0; leg < 2; ++leg) {
            if ((leg == 0) == across_first) {
                for (; x != to.first; x += to.first > x ? 1 : -1)
                    at(rows, x, y) = ' ';
            } else {
                for (; y != to.second; y += to.second > y ? 1 : -1)
                    at(rows, x, y) = ' ';
            }
        }
        at(rows, x, y) = ' ';
    };
    for (int32_t r = 1; r < rooms; ++r)
        corridor(centres[r - 1], centres[r]);
    if (below(2) == 0)
        corridor(centres.front(), centres.back());
}

// Two to four overlapping rectangles make a room with straight walls; a few
// short walls inside give the boxes something to be stuck behind.
void TGenerator::carve_blocks(std::vector<std::string>& rows) {
    const int32_t width = static_cast<int32_t>(rows[0].size()) - 2;
    const int32_t height = static_cast<int32_t>(rows.size()) - 2;
    const int32_t blocks = between(2, 4);
    for (int32_t b = 0; b < blocks; ++b) {
        const int32_t block_width = between(std::min(3, width), std::max(3, width * 2 / 3));
        const int32_t block_height = between(std::min(2, height), std::max(3, height * 2 / 3));
        const int32_t left = 1 + below(std::max(1, width - block_width + 1));
        const int32_t top = 1 + below(std::max(1, height - block_height + 1));
        for (int32_t y = top; y < top + block_height && y <= height; ++y)
            for (int32_t x = left; x < left + block_width && x <= width; ++x)
                at(rows, x, y) = ' ';
    }
    const int32_t walls = below(3) + (width * height) / 24;
    for (int32_t w = 0; w < walls; ++w) {
        const int32_t d = below(BOARD_DIRECTIONS);
        int32_t x = 1 + below(width);
        int32_t y = 1 + below(height);
        for (int32_t length = between(1, 3); length > 0; --length) {
            if (x < 1 || y < 1 || x > width || y > height)
                break;
            at(rows, x, y) = '#';
            x += STEP_X[d];
            y += STEP_Y[d];
        }
    }
}

namespace {

// The level as the rows stand, solved with the fewest pushes and measured
// along that solution; false when it cannot be solved within the bounds.
bool evaluate(const std::vector<std::string>& rows, TSolver& solver, TLevelMeasures& measures) {
    TLevel level;
    return level_from_rows(rows, level) && solver.solve(level) == SOLVE_SOLVED &&
           measure_level(level, solver.solution, measures);
}

// Floor that the solution never touches is walled in, from the walls
// inwards so that no island of wall appears, until the solution uses all
// that is left. The push count cannot change: the old solution still
// plays, and less floor allows no new one.
bool compact(std::vector<std::string>& rows, TSolver& solver, TLevelMeasures& measures) {
    const int32_t pushes = measures.pushes;
    const int32_t width = static_cast<int32_t>(rows[0].size());
    for (bool walled = true; walled;) {
        walled = false;
        for (int32_t y = 1; y + 1 < static_cast<int32_t>(rows.size()); ++y)
            for (int32_t x = 1; x + 1 < width; ++x) {
                if (rows[y][x] != ' ' || measures.visited[y * width + x])
                    continue;
                bool touches = false;
                for (int32_t d = 0; d < BOARD_DIRECTIONS; ++d)
                    touches = touches || is_wall(rows, x + STEP_X[d], y + STEP_Y[d]);
                if (touches) {
                    rows[y][x] = '#';
                    walled = true;
                }
            }
        if (walled && (!evaluate(rows, solver, measures) || measures.pushes != pushes))
            return false;
    }
    // A one-square alcove that only the keeper's start puts to use is a
    // notch that makes no difference: the keeper starts beside it instead,
    // if the solver agrees that nothing changes.
    for (int32_t y = 1; y + 1 < static_cast<int32_t>(rows.size()); ++y)
        for (int32_t x = 1; x + 1 < width; ++x) {
            int32_t walls = 0, open = -1;
            for (int32_t d = 0; d < BOARD_DIRECTIONS; ++d) {
                if (is_wall(rows, x + STEP_X[d], y + STEP_Y[d]))
                    ++walls;
                else
                    open = d;
            }
            if (rows[y][x] != '@' || walls != 3)
                continue;
            char& beside = rows[y + STEP_Y[open]][x + STEP_X[open]];
            if (beside != ' ' && beside != '.')
                continue;
            const std::vector<std::string> before = rows;
            const TLevelMeasures kept = measures;
            rows[y][x] = '#';
            beside = beside == '.' ? '+' : '@';
            if (!evaluate(rows, solver, measures) || measures.pushes != pushes) {
                rows = before;
                measures = kept;
            }
        }
    return true;
}

// Every keeper region around the finished boxes is a finish; pulling the
// boxes away breadth first from all of them gives each state its fewest
// pushes, and still does when the search stops at the state limit.
TStateTable pull_apart(const TBoard& board, int32_t state_limit) {
    const int32_t boxes = static_cast<int32_t>(board.start_boxes.size());
    const size_t squares = board.cell_of.size();
    std::vector<uint8_t> box_at(squares, 0), seen(squares, 0), region(squares, 0);
    std::vector<int32_t> queue;
    std::vector<uint16_t> state(board.start_boxes);
    std::sort(state.begin(), state.end());
    for (uint16_t box : state)
        box_at[box] = 1;

    TStateTable table(boxes);
    for (size_t s = 0; s < squares; ++s) {
        if (box_at[s] || region[s])
            continue;
        state.resize(boxes);
        state.push_back(static_cast<uint16_t>(board.reach(static_cast<int32_t>(s), box_at, seen, queue)));
        for (int32_t square : queue)
            region[square] = 1;
        table.insert(state);
    }
    for (int32_t id = 0; id < table.size() && table.size() < state_limit; ++id) {
        std::fill(box_at.begin(), box_at.end(), 0);
        const std::vector<uint16_t> current(table.state(id), table.state(id) + boxes + 1);
        for (int32_t i = 0; i < boxes; ++i)
            box_at[current[i]] = 1;
        board.reach(current[boxes], box_at, region, queue);
        for (int32_t i = 0; i < boxes; ++i) {
            const int32_t box = current[i];
            for (int32_t d = 0; d < BOARD_DIRECTIONS; ++d) {
                const int32_t keeper = board.next[box][TBoard::opposite(d)];
                if (keeper < 0 || !region[keeper])
                    continue;
                const int32_t back = board.next[keeper][TBoard::opposite(d)];
                if (back < 0 || box_at[back])
                    continue;
                box_at[box] = 0;
                box_at[keeper] = 1;
                state.assign(current.begin(), current.end() - 1);
                state[i] = static_cast<uint16_t>(keeper);
                std::sort(state.begin(), state.end());
                state.push_back(static_cast<uint16_t>(board.reach(back, box_at, seen, queue)));
                const auto [child, fresh] = table.insert(state);
                if (fresh)
                    table.pushes[child] = table.pushes[id] + 1;
                box_at[keeper] = 0;
                box_at[box] = 1;
            }
        }
    }

    return table;
}

}  // namespace

bool TGenerator::make(const TGeneratorProfile& profile, TGeneratedLevel& out) {
    std::vector<std::string> rows = build_room(profile);
    std::vector<std::pair<int32_t, int32_t>> floor;
    for (int32_t y = 0; y < static_cast<int32_t>(rows.size()); ++y)
        for (int32_t x = 0; x < static_cast<int32_t>(rows[y].size()); ++x)
            if (rows[y][x] == ' ')
                floor.push_back({x, y});
    const int32_t boxes = between(profile.min_boxes, profile.max_boxes);
    // Rooms nearly filled by their boxes give cramped, shallow puzzles.
    if (static_cast<int32_t>(floor.size()) < boxes * 3 + 4)
        return false;
    for (int32_t i = 0; i <= boxes; ++i)
        std::swap(floor[i], floor[i + below(static_cast<int32_t>(floor.size()) - i)]);
    for (int32_t i = 0; i < boxes; ++i)
        at(rows, floor[i].first, floor[i].second) = '*';
    at(rows, floor[boxes].first, floor[boxes].second) = '@';

    TLevel solved;
    TBoard board;
    if (!level_from_rows(rows, solved) || !board.load(solved))
        return false;
    const TStateTable table = pull_apart(board, profile.state_limit);
    const size_t squares = board.cell_of.size();
    std::vector<uint8_t> box_at(squares, 0), seen(squares, 0);
    std::vector<int32_t> queue;
    std::vector<uint16_t> state;

    // The start: boxes that cannot each go straight home are what makes a
    // puzzle, so the pushes beyond the lone-box bound weigh three times as
    // much as depth.
    int32_t chosen = -1;
    int32_t chosen_score = -1;
    int32_t ties = 0;
    for (int32_t id = 0; id < table.size(); ++id) {
        const int32_t pushes = table.pushes[id];
        if (pushes < profile.min_pushes)
            continue;
        state.assign(table.state(id), table.state(id) + boxes);
        const int32_t score = pushes + 3 * (pushes - board.lower_bound(state));
        if (score > chosen_score) {
            chosen = id;
            chosen_score = score;
            ties = 1;
        } else if (score == chosen_score && below(++ties) == 0) {
            chosen = id;
        }
    }
    if (chosen < 0)
        return false;

    std::fill(box_at.begin(), box_at.end(), 0);
    for (int32_t i = 0; i < boxes; ++i)
        box_at[table.state(chosen)[i]] = 1;
    board.reach(table.state(chosen)[boxes], box_at, seen, queue);
    const int32_t start_keeper = queue[below(static_cast<int32_t>(queue.size()))];
    for (size_t s = 0; s < squares; ++s)
        at(rows, board.cell_of[s] % board.width, board.cell_of[s] / board.width) = board.is_target[s] ? '.' : ' ';
    for (int32_t i = 0; i < boxes; ++i) {
        const int32_t box = table.state(chosen)[i];
        at(rows, board.cell_of[box] % board.width, board.cell_of[box] / board.width) = board.is_target[box] ? '*' : '$';
    }
    char& keeper_cell = at(rows, board.cell_of[start_keeper] % board.width, board.cell_of[start_keeper] / board.width);
    keeper_cell = keeper_cell == '.' ? '+' : '@';

    TSolver solver;
    // Bounded by states alone, so that one seed always gives the same level.
    solver.time_limit = 1e9;
    solver.state_limit = 2000000;
    TLevelMeasures measures;
    if (!evaluate(rows, solver, measures) || measures.pushes != table.pushes[chosen] ||
        !compact(rows, solver, measures))
        return false;
    // A box that is never pushed is part of the wall, not of the puzzle.
    // Floor left unused in the middle of a room, where walling it would
    // leave a stray pillar, is tolerated only in small amounts.
    if (measures.straight_home() || measures.pushed_boxes < boxes ||
        measures.sessions_per_box() < profile.min_sessions || measures.dead_rooms > 0 ||
        measures.unvisited * 10 > measures.interior)
        return false;
    close_and_crop(rows);
    if (!evaluate(rows, solver, measures))
        return false;
    out.rows = rows;
    out.pushes = measures.pushes;
    out.sessions = measures.sessions_per_box();
    out.states = solver.states;
    out.solution = solver.solution;
    return true;
}
