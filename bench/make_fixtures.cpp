// make_fixtures: level directories for bench/measure.sh, made afresh on each
// run rather than kept in the repository.
//   make_fixtures collections DIR COUNT LEVELS  COUNT files of LEVELS levels
//   make_fixtures board DIR WIDTH HEIGHT        one collection "default" whose
//                                               level is WIDTH x HEIGHT cells
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "bench/level_maker.h"

namespace {

int fail(const std::string& what) {
    std::fprintf(stderr, "make_fixtures: %s\n", what.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5 || (std::strcmp(argv[1], "collections") != 0 && std::strcmp(argv[1], "board") != 0)) {
        std::fprintf(stderr, "usage: make_fixtures collections DIR COUNT LEVELS\n"
                             "       make_fixtures board DIR WIDTH HEIGHT\n");
        return 2;
    }
    const std::string levels = std::string(argv[2]) + "/levels";
    std::error_code error;
    std::filesystem::create_directories(levels, error);
    if (error)
        return fail("cannot make " + levels);
    const int first = std::atoi(argv[3]);
    const int second = std::atoi(argv[4]);
    TLevelMaker maker;
    if (std::strcmp(argv[1], "board") == 0) {
        if (first < 5 || second < 5)
            return fail("a board needs at least 5 x 5 cells");
        if (!write_text_file(levels + "/default", maker.level(1, first, second)))
            return fail("cannot write " + levels + "/default");
        return 0;
    }
    for (int i = 1; i <= first; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "made-up-%02d", i);
        if (!write_text_file(levels + "/" + name, maker.collection_of_count(second)))
            return fail("cannot write " + levels + "/" + name);
    }
    return 0;
}
