// solver_bench: solves the shipped levels and any public sets beside the repository; prints counts, time and memory.
#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "import/import.h"
#include "level/level_collection.h"
#include "tools/solver/solver.h"

namespace {

const double PUBLIC_SECONDS = 10.0;

std::vector<std::string> regular_files(const std::string& directory) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(directory.c_str())) {
        while (dirent* entry = readdir(dir)) {
            struct stat info;
            const std::string path = directory + "/" + entry->d_name;
            if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode))
                names.push_back(entry->d_name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Public files follow other conventions; they are read as a player's are,
// through the importer, into the game's own format.
int32_t import_converted(const std::string& path, TLevelCollection& collection) {
    const TConversion conversion = convert_collection(path);
    std::ostringstream quiet;
    return conversion.status == IMPORT_OK ? collection.import_text(conversion.text, path, quiet) : -1;
}

double since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const bool shipped_only = argc > 1 && std::strcmp(argv[1], "--shipped-only") == 0;
    const std::string levels = std::string(SOURCE_DIR) + "/levels";
    TSolver solver;
    int total = 0;
    int solved = 0;
    int32_t largest_pushes = 0;
    double slowest = 0.0;
    auto start = std::chrono::steady_clock::now();
    for (const std::string& name : regular_files(levels)) {
        TLevelCollection collection;
        if (collection.import(levels + "/", name) != 0) {
            std::printf("%s: does not read cleanly\n", name.c_str());
            continue;
        }
        int here = 0;
        for (const auto& level : collection.levels) {
            ++total;
            if (solver.solve(*level) == SOLVE_SOLVED) {
                ++here;
                largest_pushes = std::max(largest_pushes, solver.pushes);
            } else {
                std::printf("%s level %d: not solved\n", name.c_str(), level->number);
            }
            slowest = std::max(slowest, solver.seconds);
        }
        solved += here;
        std::printf("%-12s %3d of %3zu solved\n", name.c_str(), here, collection.levels.size());
        std::fflush(stdout);
    }
    std::printf("shipped: %d of %d levels solved in %.2f s (slowest %.2f s, longest %d pushes)\n", solved, total,
                since(start), slowest, largest_pushes);

    const std::string public_levels = std::string(SOURCE_DIR) + "/../shared/fixtures/public-levels";
    const std::vector<std::string> public_files =
        shipped_only ? std::vector<std::string>() : regular_files(public_levels);
    if (!public_files.empty()) {
        solver.time_limit = PUBLIC_SECONDS;
        int public_total = 0;
        int public_solved = 0;
        start = std::chrono::steady_clock::now();
        for (const std::string& name : public_files) {
            if (name.find(".md") != std::string::npos)
                continue;
            TLevelCollection collection;
            import_converted(public_levels + "/" + name, collection);
            int readable = 0;
            int here = 0;
            for (const auto& level : collection.levels) {
                const int32_t result = solver.solve(*level);
                if (result == SOLVE_NOT_A_LEVEL)
                    continue;
                ++readable;
                if (result == SOLVE_SOLVED)
                    ++here;
            }
            public_total += readable;
            public_solved += here;
            std::printf("%-45s %3d of %3d solved within %.0f s\n", name.c_str(), here, readable, PUBLIC_SECONDS);
            std::fflush(stdout);
        }
        std::printf("public: %d of %d readable levels solved within %.0f s each, %.1f s in all\n", public_solved,
                    public_total, PUBLIC_SECONDS, since(start));
    }
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory: %.1f MiB\n", usage.ru_maxrss / 1024.0);
    return solved == total ? 0 : 1;
}
