// cratoria_report: solves every level of collections and prints how tight and how entangled each one is, with totals.
#include <getopt.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "level/level_collection.h"
#include "tools/report/level_measures.h"
#include "tools/solver/read_limit.h"
#include "tools/solver/solver.h"

namespace {

struct TTotals {
    int32_t levels = 0;
    int32_t solved = 0;
    int64_t interior = 0;
    int64_t unvisited = 0;
    double worst_unvisited = 0.0;
    std::string worst_level;
    int32_t with_dead_room = 0;
    int32_t several_boxes = 0;
    int32_t straight_home = 0;
    double sessions_per_box = 0.0;
    // Per solved level in file order, for the rank correlations.
    std::vector<double> pushes;
    std::vector<double> states;

    void add(const std::string& name, const TLevelMeasures& m, int64_t solver_states) {
        ++solved;
        interior += m.interior;
        unvisited += m.unvisited;
        const double share = m.interior == 0 ? 0.0 : 100.0 * m.unvisited / m.interior;
        if (worst_level.empty() || share > worst_unvisited) {
            worst_unvisited = share;
            worst_level = name;
        }
        with_dead_room += m.dead_rooms > 0;
        several_boxes += m.boxes >= 2;
        straight_home += m.straight_home();
        sessions_per_box += m.sessions_per_box();
        pushes.push_back(m.pushes);
        states.push_back(static_cast<double>(solver_states));
    }
};

double percent(int64_t part, int64_t whole) {
    return whole == 0 ? 0.0 : 100.0 * static_cast<double>(part) / static_cast<double>(whole);
}

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
    std::printf("%s: %d of %d levels solved\n", name, t.solved, t.levels);
    std::printf("  unvisited floor: %.1f %% pooled, worst %.1f %% (%s)\n", percent(t.unvisited, t.interior),
                t.worst_unvisited, t.worst_level.c_str());
    std::printf("  levels with a dead room: %d (%.0f %%)\n", t.with_dead_room, percent(t.with_dead_room, t.solved));
    std::printf("  every box straight home: %d of %d levels with 2 or more boxes (%.0f %%)\n", t.straight_home,
                t.several_boxes, percent(t.straight_home, t.several_boxes));
    std::printf("  box sessions per pushed box: %.2f (mean of levels)\n",
                t.solved == 0 ? 0.0 : t.sessions_per_box / t.solved);
    std::printf("  rise from first to last level (rank correlation): pushes %.2f, solver states %.2f\n", rise(t.pushes),
                rise(t.states));
}

int usage() {
    std::fprintf(stderr, "usage: cratoria_report [--seconds S] COLLECTION_FILE...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    TSolver solver;
    solver.time_limit = 20.0;
    const option options[] = {
        {"seconds", required_argument, nullptr, 's'},
        {nullptr, 0, nullptr, 0},
    };
    for (int choice; (choice = getopt_long(argc, argv, "", options, nullptr)) != -1;) {
        switch (choice) {
        case 's':
            if (!read_limit("cratoria_report", "--seconds", optarg, solver.time_limit))
                return usage();
            break;
        default:
            return usage();
        }
    }
    if (optind == argc)
        return usage();
    const std::vector<std::string> paths(argv + optind, argv + argc);

    TTotals all;
    for (const std::string& path : paths) {
        const size_t slash = path.rfind('/');
        const std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
        TLevelCollection collection;
        if (collection.import(path.substr(0, path.size() - file.size()), file) == -1)
            return 2;
        std::printf("# %s: level, boxes, fewest pushes, lone-box pushes, interior, unvisited (%%), dead rooms, "
                    "box sessions per pushed box, solver states\n",
                    file.c_str());
        TTotals totals;
        for (const auto& level : collection.levels) {
            ++totals.levels;
            ++all.levels;
            TLevelMeasures m;
            const int32_t result = solver.solve(*level);
            if (result != SOLVE_SOLVED || !measure_level(*level, solver.solution, m)) {
                std::printf("%4d %s\n", level->number,
                            result == SOLVE_GAVE_UP      ? "gave up"
                            : result == SOLVE_UNSOLVABLE ? "unsolvable"
                                                         : "not a level");
                continue;
            }
            std::printf("%4d %3d %4d %4d %4d %3d (%4.1f) %2d %5.2f %9lld\n", level->number, m.boxes, m.pushes,
                        m.lone_pushes, m.interior, m.unvisited, percent(m.unvisited, m.interior), m.dead_rooms,
                        m.sessions_per_box(), static_cast<long long>(solver.states));
            const std::string name = file + " " + std::to_string(level->number);
            totals.add(name, m, solver.states);
            all.add(name, m, solver.states);
        }
        print_totals(file.c_str(), totals);
    }
    if (paths.size() > 1)
        print_totals("all", all);
    return 0;
}
