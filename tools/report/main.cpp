// cratoria_report: measures every level of collections, its shape and one fewest-push solution, with totals and the
// pairs of levels that are nearly the same.
#include <getopt.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "level/level_collection.h"
#include "tools/common/read_limit.h"
#include "tools/report/level_layout.h"
#include "tools/report/level_measures.h"
#include "tools/solver/replay.h"
#include "tools/solver/solver.h"

namespace {

// What the totals count as a hard level, a goal area, many boxes and a large floor.
constexpr int64_t REPORT_HARD_STATES = 100000;
constexpr int32_t REPORT_TARGET_GROUP = 3;
constexpr int32_t REPORT_SEVERAL_BOXES = 6;
constexpr int32_t REPORT_MANY_BOXES = 10;
constexpr int32_t REPORT_LARGE_FLOOR = 60;

// The solver states of a level without a solution: more than any other.
constexpr double NOT_SOLVED = std::numeric_limits<double>::infinity();

double percent(int64_t part, int64_t whole) {
    return whole == 0 ? 0.0 : 100.0 * static_cast<double>(part) / static_cast<double>(whole);
}

// The smallest value that the share of the values does not exceed.
double percentile(std::vector<double> values, double share) {
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t rank = static_cast<size_t>(std::ceil(share * values.size()));
    return values[std::max<size_t>(rank, 1) - 1];
}

// The middle value, or the mean of the two middle ones.
double median(std::vector<double> values) {
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t half = values.size() / 2;
    return values.size() % 2 == 1 ? values[half] : (values[half - 1] + values[half]) / 2;
}

std::string states_text(double states) {
    return std::isinf(states) ? "not solved" : std::to_string(std::llround(states));
}

// The last level's place when the levels are ordered by solver states,
// the hardest first.
size_t last_place(const std::vector<double>& states) {
    return 1 + std::count_if(states.begin(), states.end(), [&](double v) { return v > states.back(); });
}

struct TTotals {
    int32_t levels = 0;
    int32_t solved = 0;
    // Every level's solver states in file order, NOT_SOLVED when it has no
    // solution: a level the solver gives up on is harder than any it solves.
    std::vector<double> all_states;
    double hardest = 0.0;
    std::string hardest_level;

    // The shape, of every level whose keeper stands on the floor.
    int32_t laid_out = 0;
    int32_t target_groups = 0;
    int32_t goal_rooms = 0;
    int64_t wall_islands = 0;
    std::vector<double> corridor_shares;
    int64_t targets = 0;
    int64_t pocketed_targets = 0;
    int32_t several_boxes = 0;
    int32_t many_boxes = 0;
    int32_t most_boxes = 0;
    int32_t large_floor = 0;

    // Along the solution, of the solved levels.
    int64_t interior = 0;
    int64_t unvisited = 0;
    double worst_unvisited = 0.0;
    std::string worst_level;
    int32_t with_dead_room = 0;
    int32_t with_two_boxes = 0;
    int32_t straight_home = 0;
    double sessions_per_box = 0.0;
    // Per solved level in file order, for the rank correlations.
    std::vector<double> pushes;
    std::vector<double> states;

    // Per collection, for the totals of all of them.
    std::string medians;
    int32_t collections = 0;
    int32_t hard_ends = 0;

    void add_layout(const TLevelLayout& layout) {
        ++laid_out;
        target_groups += layout.largest_target_group >= REPORT_TARGET_GROUP;
        goal_rooms += layout.goal_room;
        wall_islands += layout.wall_islands;
        corridor_shares.push_back(layout.corridor_share());
        targets += layout.targets;
        pocketed_targets += layout.pocketed_targets;
        several_boxes += layout.boxes >= REPORT_SEVERAL_BOXES;
        many_boxes += layout.boxes >= REPORT_MANY_BOXES;
        most_boxes = std::max(most_boxes, layout.boxes);
        large_floor += layout.floor >= REPORT_LARGE_FLOOR;
    }

    void add_solution(const std::string& name, const TLevelMeasures& m, int64_t solver_states) {
        ++solved;
        interior += m.interior;
        unvisited += m.unvisited;
        const double share = m.interior == 0 ? 0.0 : 100.0 * m.unvisited / m.interior;
        if (worst_level.empty() || share > worst_unvisited) {
            worst_unvisited = share;
            worst_level = name;
        }
        with_dead_room += m.dead_rooms > 0;
        with_two_boxes += m.boxes >= 2;
        straight_home += m.straight_home();
        sessions_per_box += m.sessions_per_box();
        pushes.push_back(m.pushes);
        states.push_back(static_cast<double>(solver_states));
        all_states.push_back(static_cast<double>(solver_states));
        if (hardest_level.empty() || solver_states > hardest) {
            hardest = static_cast<double>(solver_states);
            hardest_level = name;
        }
    }

    void add_collection(const std::string& name, const TTotals& collection) {
        ++collections;
        hard_ends += last_place(collection.all_states) <= 2;
        medians += (medians.empty() ? "" : ", ") + name + " " + states_text(median(collection.all_states));
    }
};

// Spearman's rank correlation of the values with their order in the file:
// near 1 when they rise from the first level to the last.
double rise(const std::vector<double>& values) {
    const size_t n = values.size();
    if (n < 2)
        return 0.0;
    std::vector<size_t> order(n);
    for (size_t i = 0; i < n; ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return values[a] < values[b]; });
    std::vector<double> rank(n);
    for (size_t i = 0; i < n;) {
        size_t j = i;
        while (j + 1 < n && values[order[j + 1]] == values[order[i]])
            ++j;
        for (size_t k = i; k <= j; ++k)
            rank[order[k]] = (i + j) / 2.0;
        i = j + 1;
    }
    const double mean = (n - 1) / 2.0;
    double both = 0.0, by_place = 0.0, by_rank = 0.0;
    for (size_t i = 0; i < n; ++i) {
        both += (i - mean) * (rank[i] - mean);
        by_place += (i - mean) * (i - mean);
        by_rank += (rank[i] - mean) * (rank[i] - mean);
    }
    return by_rank == 0.0 ? 0.0 : both / std::sqrt(by_place * by_rank);
}

void print_totals(const char* name, const TTotals& t) {
    const std::vector<double>& s = t.all_states;
    const auto hard = std::count_if(s.begin(), s.end(), [](double v) { return v >= REPORT_HARD_STATES; });
    std::printf("%s: %d of %d levels solved\n", name, t.solved, t.levels);
    const std::string hardest =
        t.hardest_level.empty() ? "none" : states_text(t.hardest) + " (" + t.hardest_level + ")";
    std::printf("  solver states: median %s, 90th percentile %s, hardest solved %s\n", states_text(median(s)).c_str(),
                states_text(percentile(s, 0.9)).c_str(), hardest.c_str());
    std::printf("  levels with %lld states or more, or not solved: %ld (%.0f %%)\n",
                static_cast<long long>(REPORT_HARD_STATES), static_cast<long>(hard), percent(hard, t.levels));
    if (t.collections == 0 && !s.empty())
        std::printf("  last level by solver states: %zu of %zu%s\n", last_place(s), s.size(),
                    last_place(s) <= 2 ? ", in the top 2" : "");
    else
        std::printf("  last level in its collection's top 2 by solver states: %d of %d collections\n"
                    "  median solver states by collection: %s\n",
                    t.hard_ends, t.collections, t.medians.c_str());
    std::printf("  levels with a group of %d or more touching targets: %d (%.1f %%)\n", REPORT_TARGET_GROUP,
                t.target_groups, percent(t.target_groups, t.laid_out));
    std::printf("  levels with a goal room: %d (%.1f %%)\n", t.goal_rooms, percent(t.goal_rooms, t.laid_out));
    std::printf("  wall islands: %.2f a level (mean)\n", t.laid_out == 0 ? 0.0 : double(t.wall_islands) / t.laid_out);
    std::printf("  one-wide corridor: %.1f %% of the floor (median of levels)\n", 100.0 * median(t.corridor_shares));
    std::printf("  targets in a one-cell pocket: %lld of %lld (%.1f %%)\n", static_cast<long long>(t.pocketed_targets),
                static_cast<long long>(t.targets), percent(t.pocketed_targets, t.targets));
    std::printf("  levels with %d or more boxes: %d (%.0f %%), with %d or more: %d; most boxes %d\n",
                REPORT_SEVERAL_BOXES, t.several_boxes, percent(t.several_boxes, t.laid_out), REPORT_MANY_BOXES,
                t.many_boxes, t.most_boxes);
    std::printf("  levels with %d or more floor cells: %d\n", REPORT_LARGE_FLOOR, t.large_floor);
    std::printf("  unvisited floor: %.1f %% pooled, worst %.1f %% (%s)\n", percent(t.unvisited, t.interior),
                t.worst_unvisited, t.worst_level.c_str());
    std::printf("  levels with a dead room: %d (%.0f %%)\n", t.with_dead_room, percent(t.with_dead_room, t.solved));
    std::printf("  every box straight home: %d of %d levels with 2 or more boxes (%.0f %%)\n", t.straight_home,
                t.with_two_boxes, percent(t.straight_home, t.with_two_boxes));
    std::printf("  box sessions per pushed box: %.2f (mean of levels)\n",
                t.solved == 0 ? 0.0 : t.sessions_per_box / t.solved);
    std::printf("  rise from first to last level (rank correlation): pushes %.2f, solver states %.2f\n", rise(t.pushes),
                rise(t.states));
}

// One level of a solutions file: pushes below 0 when the solver found none.
struct TRecord {
    int32_t pushes = -1;
    int64_t states = 0;
    std::string solution;
};

// Reads the lines "<level> <pushes> <moves> <states> <solution>", or
// "<level> gave-up" and its like, that cratoria_solve writes.
bool read_records(const std::string& path, std::map<int32_t, TRecord>& records) {
    std::ifstream file(path);
    if (!file) {
        std::fprintf(stderr, "cratoria_report: cannot read %s\n", path.c_str());
        return false;
    }
    std::string line;
    for (int32_t row = 1; std::getline(file, line); ++row) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream words(line);
        int32_t number = 0, moves = 0;
        std::string outcome;
        TRecord record;
        const bool not_solved =
            words >> number >> outcome && (outcome == "gave-up" || outcome == "unsolvable" || outcome == "not-a-level");
        if (!not_solved && !(std::istringstream(outcome) >> record.pushes && record.pushes >= 0 &&
                             words >> moves >> record.states >> record.solution)) {
            std::fprintf(stderr, "cratoria_report: %s, line %d: not \"<level> <pushes> <moves> <states> <solution>\"\n",
                         path.c_str(), row);
            return false;
        }
        records[number] = record;
    }
    return true;
}

// Why the solver found no solution for the level, or nullptr when it did.
const char* solve(TSolver& solver, const TLevel& level, std::string& solution, int64_t& states) {
    const int32_t result = solver.solve(level);
    solution = solver.solution;
    states = solver.states;
    return result == SOLVE_SOLVED       ? nullptr
           : result == SOLVE_GAVE_UP    ? "gave up"
           : result == SOLVE_UNSOLVABLE ? "unsolvable"
                                        : "not a level";
}

// The same from the level's record: a missing record, or one that does not
// play to its pushes, is a fault of the solutions file and is counted.
const char* read_solution(const std::map<int32_t, TRecord>& records, const TLevel& level, const std::string& name,
                          std::string& solution, int64_t& states, int& failures) {
    const auto found = records.find(level.number);
    if (found != records.end() && found->second.pushes < 0)
        return "not solved";
    int32_t moves = 0, pushes = 0;
    if (found == records.end() || replay_solution(level, found->second.solution, moves, pushes) != REPLAY_SOLVED ||
        pushes != found->second.pushes) {
        std::fprintf(stderr, "cratoria_report: %s: %s\n", name.c_str(),
                     found == records.end() ? "no recorded solution"
                                            : "the recorded solution does not play to its pushes");
        ++failures;
        return "bad record";
    }
    solution = found->second.solution;
    states = found->second.states;
    return nullptr;
}

int usage() {
    std::fprintf(stderr, "usage: cratoria_report [--seconds S] [--solutions DIR] COLLECTION_FILE...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    TSolver solver;
    solver.time_limit = 20.0;
    std::string solutions_dir;
    const option options[] = {
        {"seconds", required_argument, nullptr, 's'},
        {"solutions", required_argument, nullptr, 'r'},
        {nullptr, 0, nullptr, 0},
    };
    for (int choice; (choice = getopt_long(argc, argv, "", options, nullptr)) != -1;) {
        switch (choice) {
        case 's':
            if (!read_limit("cratoria_report", "--seconds", optarg, solver.time_limit))
                return usage();
            break;
        case 'r':
            solutions_dir = std::string(optarg) + "/";
            break;
        default:
            return usage();
        }
    }
    if (optind == argc)
        return usage();
    const std::vector<std::string> paths(argv + optind, argv + argc);

    TTotals all;
    std::vector<std::string> names;
    std::vector<TLevelLayout> layouts;
    int failures = 0;
    for (const std::string& path : paths) {
        // As in the game, only files are collections: levels/* names the
        // folder of solutions too.
        if (std::filesystem::is_directory(path))
            continue;
        const size_t slash = path.rfind('/');
        const std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
        TLevelCollection collection;
        if (collection.import(path.substr(0, path.size() - file.size()), file) == -1)
            return 2;
        std::map<int32_t, TRecord> records;
        if (!solutions_dir.empty() && !read_records(solutions_dir + file + ".txt", records))
            return 2;
        std::printf("# %s: level, boxes, fewest pushes, lone-box pushes, interior, unvisited (%%), dead rooms, "
                    "box sessions per pushed box, solver states; largest group of touching targets, goal room, "
                    "wall islands, one-wide corridor (%% of interior), targets in a one-cell pocket\n",
                    file.c_str());
        TTotals totals;
        for (const auto& level : collection.levels) {
            ++totals.levels;
            ++all.levels;
            const std::string name = file + " " + std::to_string(level->number);
            TLevelLayout layout;
            if (!measure_layout(*level, layout)) {
                std::printf("%4d not a level\n", level->number);
                totals.all_states.push_back(NOT_SOLVED);
                all.all_states.push_back(NOT_SOLVED);
                continue;
            }
            totals.add_layout(layout);
            all.add_layout(layout);
            names.push_back(name);
            layouts.push_back(layout);

            std::string solution;
            int64_t states = 0;
            const char* outcome = solutions_dir.empty()
                                      ? solve(solver, *level, solution, states)
                                      : read_solution(records, *level, name, solution, states, failures);
            TLevelMeasures m;
            if (outcome == nullptr && !measure_level(*level, solution, m))
                outcome = "not a level";
            if (outcome != nullptr) {
                std::printf("%4d %3d %4s %4s %4d %3s %6s %2s %5s %10s", level->number, layout.boxes, "-", "-",
                            layout.floor, "-", "", "-", "-", outcome);
                totals.all_states.push_back(NOT_SOLVED);
                all.all_states.push_back(NOT_SOLVED);
            } else {
                std::printf("%4d %3d %4d %4d %4d %3d (%4.1f) %2d %5.2f %10lld", level->number, m.boxes, m.pushes,
                            m.lone_pushes, m.interior, m.unvisited, percent(m.unvisited, m.interior), m.dead_rooms,
                            m.sessions_per_box(), static_cast<long long>(states));
                totals.add_solution(name, m, states);
                all.add_solution(name, m, states);
            }
            std::printf(" %3d %-3s %2d %5.1f %2d\n", layout.largest_target_group, layout.goal_room ? "yes" : "no",
                        layout.wall_islands, 100.0 * layout.corridor_share(), layout.pocketed_targets);
        }
        print_totals(file.c_str(), totals);
        all.add_collection(file, totals);
    }
    if (all.collections > 1)
        print_totals("all", all);

    std::printf("# near-duplicates: pairs of levels at distance %.2f or less\n", LAYOUT_NEAR_DUPLICATE);
    int32_t pairs = 0;
    for (size_t i = 0; i < layouts.size(); ++i)
        for (size_t j = i + 1; j < layouts.size(); ++j) {
            const double distance = layout_distance(layouts[i], layouts[j]);
            if (distance <= LAYOUT_NEAR_DUPLICATE) {
                std::printf("%s ~ %s: %.2f\n", names[i].c_str(), names[j].c_str(), distance);
                ++pairs;
            }
        }
    std::printf("near-duplicate pairs: %d among %zu levels\n", pairs, layouts.size());
    return failures == 0 ? 0 : 1;
}
