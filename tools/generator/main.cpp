// cratoria_generate: writes new levels, the same for one profile and seed, each proven solvable in its stated pushes.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "tools/generator/generator.h"
#include "tools/solver/replay.h"
#include "tools/solver/solver.h"

namespace {

struct TNamedProfile {
    const char* name;
    const char* description;
    TGeneratorProfile profile;
    // Candidates made for every level wanted.
    int32_t pool_factor;
    // A teaching collection spans all candidates from the easiest up; the
    // others keep only the hardest ones.
    bool from_easiest;
};

// width and height of the inside, boxes, style, pushes, box changes, states.
const TNamedProfile PROFILES[] = {
    {"teach",
     "First rooms: one box, then two and three, each a little further from home.",
     {4, 8, 3, 6, 1, 3, STYLE_MIXED, 3, 1, 300000},
     12,
     true},
    {"nooks",
     "Small rooms with tight corners, where every push counts.",
     {5, 8, 4, 7, 2, 4, STYLE_MIXED, 22, 5, 600000},
     4,
     false},
    {"halls",
     "Wide halls with pillars and alcoves; room to move, and to go astray.",
     {11, 15, 6, 8, 3, 4, STYLE_OPEN, 28, 6, 500000},
     2,
     false},
    {"crowd",
     "Storerooms packed with boxes, where one wrong push blocks three.",
     {7, 9, 5, 7, 6, 7, STYLE_MIXED, 24, 8, 500000},
     2,
     false},
    {"passages",
     "Long corridors that bend and cross, with boxes that must travel them.",
     {14, 20, 8, 11, 2, 4, STYLE_CORRIDORS, 30, 5, 500000},
     2,
     false},
};

int usage() {
    std::cerr << "usage: cratoria_generate PROFILE SEED COUNT [TITLES_FILE]\nprofiles:";
    for (const TNamedProfile& named : PROFILES)
        std::cerr << ' ' << named.name;
    std::cerr << '\n';
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4)
        return usage();
    const TNamedProfile* named = nullptr;
    for (const TNamedProfile& candidate : PROFILES)
        if (std::strcmp(candidate.name, argv[1]) == 0)
            named = &candidate;
    const uint64_t seed = std::strtoull(argv[2], nullptr, 10);
    const int count = std::atoi(argv[3]);
    if (!named || count < 1)
        return usage();
    std::vector<std::string> titles;
    if (argc > 4) {
        std::ifstream in(argv[4]);
        for (std::string line; std::getline(in, line);)
            if (!line.empty())
                titles.push_back(line);
    }

    TGenerator generator(seed);
    std::vector<TGeneratedLevel> pool;
    std::set<std::vector<std::string>> known;
    const size_t wanted = static_cast<size_t>(count) * named->pool_factor;
    for (int attempt = 0; attempt < count * 300 && pool.size() < wanted; ++attempt) {
        TGeneratedLevel level;
        if (generator.make(named->profile, level) && known.insert(level.rows).second) {
            pool.push_back(level);
            std::cerr << "candidate " << pool.size() << ": " << level.pushes << " pushes\n";
        }
    }
    if (pool.size() < static_cast<size_t>(count)) {
        std::cerr << "only " << pool.size() << " levels found\n";
        return 1;
    }
    std::stable_sort(pool.begin(), pool.end(), [](const TGeneratedLevel& a, const TGeneratedLevel& b) {
        return a.pushes != b.pushes ? a.pushes < b.pushes : a.box_changes < b.box_changes;
    });

    // The chosen levels rise in pushes from the first to the last.
    if (!named->from_easiest)
        pool.erase(pool.begin(), pool.end() - count);

    std::cout << "Cratoria, " << argv[1] << ": " << named->description << "\n";
    std::cout << "Made by cratoria_generate " << argv[1] << ' ' << seed << ' ' << count << ".\n";
    TSolver solver;
    // Push counts aimed at an even climb from the easiest to the hardest;
    // each level is the closest candidate not yet taken.
    std::vector<size_t> picks;
    std::vector<uint8_t> taken(pool.size(), 0);
    for (int i = 0; i < count; ++i) {
        const double aim = pool.front().pushes +
                           (count == 1 ? 0.0 : double(pool.back().pushes - pool.front().pushes) * i / (count - 1));
        size_t best = pool.size();
        for (size_t c = 0; c < pool.size(); ++c)
            if (!taken[c] &&
                (best == pool.size() || std::abs(pool[c].pushes - aim) < std::abs(pool[best].pushes - aim)))
                best = c;
        taken[best] = 1;
        picks.push_back(best);
    }
    std::sort(picks.begin(), picks.end());
    for (int i = 0; i < count; ++i) {
        const TGeneratedLevel& level = pool[picks[i]];
        TLevel check;
        level_from_rows(level.rows, check);
        int32_t moves = 0;
        int32_t pushes = 0;
        // The pull search and the forward solver count pushes independently;
        // they must agree before a level is written.
        if (replay_solution(check, level.solution, moves, pushes) != REPLAY_SOLVED || pushes != level.pushes ||
            solver.solve(check) != SOLVE_SOLVED || solver.pushes != level.pushes) {
            std::cerr << "level " << i + 1 << ": the solver disagrees (" << solver.pushes << " against " << level.pushes
                      << " pushes)\n";
            return 1;
        }
        std::cout << "\n;" << i + 1 << "\n'";
        std::cout << (static_cast<size_t>(i) < titles.size() ? titles[i] : "Room " + std::to_string(i + 1)) << '\n';
        for (const std::string& row : level.rows)
            std::cout << row << '\n';
        std::cerr << "level " << i + 1 << ": " << level.pushes << " pushes, " << level.box_changes
                  << " box changes, solved forwards in " << solver.seconds << " s\n";
    }
    return 0;
}
