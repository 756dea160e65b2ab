// cratoria_solve: proves every level of a collection solvable with the fewest pushes and prints one solution each.
#include <getopt.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "level/level_collection.h"
#include "tools/common/read_limit.h"
#include "tools/solver/replay.h"
#include "tools/solver/solver.h"

namespace {

int usage() {
    std::cerr << "usage: cratoria_solve [--seconds S] [--states N] COLLECTION_FILE\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    TSolver solver;
    const option options[] = {
        {"seconds", required_argument, nullptr, 's'},
        {"states", required_argument, nullptr, 'n'},
        {nullptr, 0, nullptr, 0},
    };
    for (int choice; (choice = getopt_long(argc, argv, "", options, nullptr)) != -1;) {
        switch (choice) {
        case 's':
            if (!read_limit("cratoria_solve", "--seconds", optarg, solver.time_limit))
                return usage();
            break;
        case 'n':
            if (!read_limit("cratoria_solve", "--states", optarg, solver.state_limit))
                return usage();
            break;
        default:
            return usage();
        }
    }
    if (optind != argc - 1)
        return usage();
    const std::string path = argv[optind];

    const size_t slash = path.rfind('/');
    const std::string directory = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
    TLevelCollection collection;
    const int32_t read = collection.import(directory, file);
    if (read == -1)
        return 2;
    if (read != 0)
        std::cerr << file << ": read with errors; solving the levels that are whole\n";

    std::cout << "# " << file
              << ": level, fewest pushes, moves, solver states, one solution (l r u d walk, L R U D push)\n";
    int failures = 0;
    for (const auto& level : collection.levels) {
        const int32_t result = solver.solve(*level);
        char stats[160];
        std::snprintf(stats, sizeof stats, "%.2f s, %lld states", solver.seconds,
                      static_cast<long long>(solver.states));
        switch (result) {
        case SOLVE_SOLVED: {
            int32_t moves = 0;
            int32_t pushes = 0;
            // The solution is checked by the game's own rules before anyone sees it.
            if (replay_solution(*level, solver.solution, moves, pushes) != REPLAY_SOLVED) {
                std::cerr << "level " << level->number << ": solution failed its replay\n";
                ++failures;
                break;
            }
            std::cout << level->number << ' ' << solver.pushes << ' ' << solver.moves << ' ' << solver.states << ' '
                      << solver.solution << '\n';
            std::cerr << "level " << level->number << ": " << solver.pushes << " pushes, " << solver.moves << " moves ("
                      << stats << ")\n";
            break;
        }
        case SOLVE_UNSOLVABLE:
            std::cout << level->number << " unsolvable\n";
            std::cerr << "level " << level->number << ": no solution exists (" << stats << ")\n";
            ++failures;
            break;
        case SOLVE_GAVE_UP:
            std::cout << level->number << " gave-up\n";
            struct rusage usage;
            getrusage(RUSAGE_SELF, &usage);
            std::cerr << "level " << level->number << ": gave up at " << solver.time_limit << " s or "
                      << solver.state_limit << " states (" << stats << ", peak memory " << usage.ru_maxrss / 1024
                      << " MiB)\n";
            ++failures;
            break;
        default:
            std::cout << level->number << " not-a-level\n";
            ++failures;
            break;
        }
    }
    return failures == 0 ? 0 : 1;
}
