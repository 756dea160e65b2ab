// Saves two different stores to one file in turn, forever, so that a test
// can kill it at any moment of a save.
#include <unistd.h>

#include <cstdio>

#include "tests/hostile/helpers/two_stores.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: save_loop FILE\n");
        return 2;
    }
    THighScore stores[2] = {save_loop_store(0), save_loop_store(1)};
    // One byte on standard output tells the test the saving has begun.
    if (write(STDOUT_FILENO, "s", 1) != 1)
        return 1;
    for (int turn = 0;; turn = 1 - turn) {
        if (!stores[turn].write_to_xml(argv[1])) {
            std::fprintf(stderr, "save_loop: save failed\n");
            return 1;
        }
    }
}
