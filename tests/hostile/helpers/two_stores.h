// The two stores the save loop writes in turn: different names and sizes,
// so a file made of parts of both, or cut short, matches neither.
#pragma once

#include <string>

#include "score/high_score.h"

inline THighScore save_loop_store(int which) {
    THighScore store;
    const int collections = which == 0 ? 3 : 40;
    for (int c = 0; c < collections; ++c) {
        const std::string name = (which == 0 ? "first " : "second ") + std::to_string(c);
        for (int nr = 1; nr <= 60; ++nr)
            store.set_score(name, nr, TScore{100 * nr + c, nr + which});
    }
    return store;
}
