// cratoria_generate: turns a file of blueprints drawn by hand into a collection, each start found and proven.
#include <getopt.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "level/level_collection.h"
#include "level/text_file.h"
#include "tools/common/read_limit.h"
#include "tools/generator/generator.h"

namespace {

const char* const PROGRAM = "cratoria_generate";

int usage() {
    std::cerr << "usage: " << PROGRAM
              << " [--pull-states N] [--beam N] [--candidates N] [--solver-states N] [--effort W] [--sessions W] "
                 "[--dead-patch N] "
                 "[--rise] [--verbose]"
                 " [--solutions FILE] BLUEPRINTS\n";
    return 2;
}

struct TMadeLevel {
    std::string title;
    bool designed = false;
    TDesignedLevel level;
};

}  // namespace

int main(int argc, char** argv) {
    TDesignOptions options;
    bool rise = false;
    const char* solutions_file = nullptr;
    const option long_options[] = {
        {"pull-states", required_argument, nullptr, 'p'},
        {"beam", required_argument, nullptr, 'b'},
        {"candidates", required_argument, nullptr, 'c'},
        {"solver-states", required_argument, nullptr, 's'},
        {"effort", required_argument, nullptr, 'e'},
        {"rise", no_argument, nullptr, 'r'},
        {"sessions", required_argument, nullptr, 'S'},
        {"verbose", no_argument, nullptr, 'v'},
        {"dead-patch", required_argument, nullptr, 'd'},
        {"solutions", required_argument, nullptr, 'o'},
        {nullptr, 0, nullptr, 0},
    };
    for (int choice; (choice = getopt_long(argc, argv, "", long_options, nullptr)) != -1;) {
        bool read = true;
        switch (choice) {
        case 'p':
            read = read_limit(PROGRAM, "--pull-states", optarg, options.pull_states);
            break;
        case 'b':
            read = read_limit(PROGRAM, "--beam", optarg, options.beam);
            break;
        case 'c':
            read = read_limit(PROGRAM, "--candidates", optarg, options.candidates);
            break;
        case 's':
            read = read_limit(PROGRAM, "--solver-states", optarg, options.solver_states);
            break;
        case 'e':
            options.effort = std::atof(optarg);
            break;
        case 'S':
            options.sessions = std::atof(optarg);
            break;
        case 'r':
            rise = true;
            break;
        case 'd':
            read = read_limit(PROGRAM, "--dead-patch", optarg, options.dead_patch);
            break;
        case 'v':
            options.verbose = true;
            break;
        case 'o':
            solutions_file = optarg;
            break;
        default:
            return usage();
        }
        if (!read)
            return usage();
    }
    if (argc - optind != 1)
        return usage();
    const std::string path = argv[optind];
    const std::optional<std::string> text = read_text_file(path, LEVEL_MAX_FILE_SIZE);
    TLevelCollection blueprints;
    if (!text || blueprints.import_text(*text, path, std::cerr) != 0) {
        std::cerr << PROGRAM << ": " << path << ": " << (text ? "not a clean collection" : std::strerror(errno))
                  << '\n';
        return 1;
    }

    // A level drawn solved is a blueprint whose start is to be found; any
    // other level is kept as it stands, as the first lessons are.
    std::vector<TMadeLevel> made;
    int failures = 0;
    for (const auto& blueprint : blueprints.levels) {
        TMadeLevel level;
        level.title = blueprint->name.empty() ? "" : blueprint->name.substr(1);
        level.designed = blueprint->is_solved();
        std::string why;
        const bool done = level.designed ? design(*blueprint, options, level.level, why)
                                         : prove(rows_of(*blueprint), options.solver_states, level.level);
        if (!done) {
            std::cerr << path << ": level " << blueprint->number << " (" << level.title
                      << "): " << (level.designed ? why : "cannot be proven solvable within the solver's states")
                      << '\n';
            ++failures;
            continue;
        }
        const TDesignedLevel& result = level.level;
        std::cerr << blueprint->number << ' ' << level.title << ": " << result.pushes << " pushes ("
                  << result.lone_pushes << " alone), " << result.states << " states, " << result.sessions
                  << " sessions a box, " << result.walled << " cells walled\n";
        made.push_back(level);
    }
    if (failures > 0)
        return 1;
    // Levels kept as they stand open the set; the designed ones follow from
    // the least to the most search the solver needed.
    if (rise)
        std::stable_sort(made.begin(), made.end(), [](const TMadeLevel& a, const TMadeLevel& b) {
            if (a.designed != b.designed)
                return !a.designed;
            return a.designed && a.level.states < b.level.states;
        });

    // The blueprint file's own heading, down to its first level, heads the
    // collection too.
    std::istringstream lines(*text);
    for (std::string line; std::getline(lines, line) && (line.empty() || line[0] != ';');)
        std::cout << line << '\n';
    std::ofstream solutions;
    if (solutions_file) {
        solutions.open(solutions_file);
        solutions << "# " << std::filesystem::path(path).filename().string()
                  << ": level, fewest pushes, moves, solver states, one solution (l r u d walk, L R U D push)\n";
    }
    for (size_t i = 0; i < made.size(); ++i) {
        std::cout << ";" << i + 1 << "\n'" << made[i].title << '\n';
        for (const std::string& row : made[i].level.rows)
            std::cout << row << '\n';
        std::cout << '\n';
        const TDesignedLevel& level = made[i].level;
        if (solutions_file)
            solutions << i + 1 << ' ' << level.pushes << ' ' << level.moves << ' ' << level.states << ' '
                      << level.solution << '\n';
    }
    if (solutions_file && !solutions.flush()) {
        std::cerr << PROGRAM << ": " << solutions_file << ": cannot be written\n";
        return 1;
    }
    return 0;
}
