// cratoria_generate: writes new levels, the same for one profile and seed, each proven solvable in its stated pushes.
#include <getopt.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "level/level_collection.h"
#include "tools/generator/generator.h"
#include "tools/solver/read_limit.h"
#include "tools/solver/replay.h"

namespace {

struct TNamedProfile {
    const char* name;
    const char* description;
    TGeneratorProfile profile;
};

// width and height of the inside, boxes, style, pushes, sessions, states.
const TNamedProfile PROFILES[] = {
    {"teach",
     "First rooms: one idea at a time, from one box to three.",
     {4, 7, 3, 6, 2, 3, STYLE_BLOCKS, 5, 1.5, 300000}},
    {"knots",
     "Two or three boxes in a small room, each in the others' way.",
     {4, 7, 4, 6, 2, 3, STYLE_BLOCKS, 12, 2.5, 300000}},
    {"nooks",
     "Small rooms with tight corners, where every push counts.",
     {5, 8, 4, 7, 3, 4, STYLE_MIXED, 18, 1.8, 300000}},
    {"halls",
     "Wide halls with pillars and alcoves; room to move, and to go astray.",
     {8, 11, 5, 7, 3, 5, STYLE_OPEN, 28, 1.8, 200000}},
    {"crowd",
     "Storerooms packed with boxes, where one wrong push blocks three.",
     {6, 9, 5, 7, 5, 7, STYLE_BLOCKS, 26, 1.8, 1500000}},
    {"passages",
     "Long corridors that bend and cross, with boxes that must travel them.",
     {12, 18, 7, 10, 2, 4, STYLE_CORRIDORS, 25, 1.8, 500000}},
};

int usage() {
    std::cerr << "usage: cratoria_generate [--lessons COLLECTION] PROFILE SEED COUNT [PICKS_FILE]\nprofiles:";
    for (const TNamedProfile& named : PROFILES)
        std::cerr << ' ' << named.name;
    std::cerr << '\n';
    return 2;
}

// How hard a level is: its fewest pushes, and how far the solver had to
// search, each on a scale where the easiest candidate is 0 and the hardest 1.
std::vector<double> difficulties(const std::vector<TGeneratedLevel>& pool) {
    double low_pushes = 1e9, high_pushes = 0, low_states = 1e9, high_states = 0;
    for (const TGeneratedLevel& level : pool) {
        low_pushes = std::min(low_pushes, double(level.pushes));
        high_pushes = std::max(high_pushes, double(level.pushes));
        low_states = std::min(low_states, std::log(double(level.states)));
        high_states = std::max(high_states, std::log(double(level.states)));
    }
    std::vector<double> result;
    for (const TGeneratedLevel& level : pool)
        result.push_back((level.pushes - low_pushes) / std::max(1.0, high_pushes - low_pushes) +
                         (std::log(double(level.states)) - low_states) / std::max(1.0, high_states - low_states));
    return result;
}

// The rows of a level as the collection file writes them.
std::vector<std::string> rows_of(const TLevel& level) {
    std::vector<std::string> rows;
    for (int32_t y = 0; y < level.height; ++y) {
        std::string row;
        for (int32_t x = 0; x < level.width; ++x) {
            const bool keeper = x == level.start_x && y == level.start_y;
            switch (level.get(x, y)) {
            case CELL_WALL:
                row += '#';
                break;
            case CELL_TARGET:
                row += keeper ? '+' : '.';
                break;
            case CELL_BOX:
                row += '$';
                break;
            case CELL_BOX_ON_TARGET:
                row += '*';
                break;
            default:
                row += keeper ? '@' : ' ';
                break;
            }
        }
        row.erase(row.find_last_not_of(' ') + 1);
        rows.push_back(row);
    }
    return rows;
}

}  // namespace

int main(int argc, char** argv) {
    std::string lessons;
    const option options[] = {
        {"lessons", required_argument, nullptr, 'l'},
        {nullptr, 0, nullptr, 0},
    };
    for (int choice; (choice = getopt_long(argc, argv, "", options, nullptr)) != -1;) {
        switch (choice) {
        case 'l':
            lessons = optarg;
            break;
        default:
            return usage();
        }
    }
    if (argc - optind < 3 || argc - optind > 4)
        return usage();
    const char* const profile_name = argv[optind];
    const TNamedProfile* named = nullptr;
    for (const TNamedProfile& candidate : PROFILES)
        if (std::strcmp(candidate.name, profile_name) == 0)
            named = &candidate;
    uint64_t seed = 0;
    int count = 0;
    if (!named || !read_limit("cratoria_generate", "the seed", argv[optind + 1], seed) ||
        !read_limit("cratoria_generate", "the count", argv[optind + 2], count))
        return usage();
    const char* const picks_file = argc - optind == 4 ? argv[optind + 3] : nullptr;

    // Levels made by hand open the set as they stand, titles and all.
    std::vector<std::pair<std::string, std::vector<std::string>>> chosen;
    if (!lessons.empty()) {
        TLevelCollection collection;
        if (collection.import("", lessons) != 0)
            return 1;
        for (const auto& level : collection.levels)
            chosen.push_back({level->name.empty() ? "" : level->name.substr(1), rows_of(*level)});
    }

    TGenerator generator(seed);
    std::vector<TGeneratedLevel> pool;
    std::set<std::vector<std::string>> known;
    for (int attempt = 0; attempt < count * 1000 && pool.size() < static_cast<size_t>(count); ++attempt) {
        TGeneratedLevel level;
        if (generator.make(named->profile, level) && known.insert(level.rows).second) {
            pool.push_back(level);
            std::cerr << "candidate " << pool.size() << " (attempt " << attempt + 1 << "): " << level.pushes
                      << " pushes, " << level.sessions << " sessions a box, " << level.states << " states\n";
        }
    }
    // The ranks a picks file names hold only for the whole pool.
    if (pool.size() < static_cast<size_t>(count)) {
        std::cerr << "only " << pool.size() << " candidates found\n";
        return 1;
    }
    const std::vector<double> difficulty = difficulties(pool);
    std::vector<size_t> order(pool.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return difficulty[a] < difficulty[b]; });

    // Without a picks file every candidate is written, easiest first, to be
    // looked at; the picks file then names the ones kept and their titles.
    std::vector<std::pair<size_t, std::string>> picks;
    if (picks_file) {
        std::ifstream in(picks_file);
        size_t number = 0;
        for (std::string title; in >> number && std::getline(in, title);) {
            if (number < 1 || number > order.size()) {
                std::cerr << picks_file << ": no candidate " << number << '\n';
                return 1;
            }
            picks.push_back({order[number - 1], title.substr(title.find_first_not_of(' '))});
        }
    } else {
        for (size_t i = 0; i < order.size(); ++i)
            picks.push_back({order[i], "Candidate " + std::to_string(i + 1)});
    }
    for (const auto& [index, title] : picks) {
        const TGeneratedLevel& level = pool[index];
        TLevel check;
        level_from_rows(level.rows, check);
        int32_t moves = 0;
        int32_t pushes = 0;
        if (replay_solution(check, level.solution, moves, pushes) != REPLAY_SOLVED || pushes != level.pushes) {
            std::cerr << title << ": its solution does not replay\n";
            return 1;
        }
        chosen.push_back({title, level.rows});
    }

    std::cout << "Cratoria, " << profile_name << ": " << named->description << "\n";
    std::cout << "Made by cratoria_generate " << profile_name << ' ' << seed << ' ' << count
              << (lessons.empty() ? "" : ", after levels made by hand") << ".\n";
    for (size_t i = 0; i < chosen.size(); ++i) {
        std::cout << "\n;" << i + 1 << "\n'" << chosen[i].first << '\n';
        for (const std::string& row : chosen[i].second)
            std::cout << row << '\n';
    }
    return 0;
}
