// Fuzz target: any bytes as a level collection file, and what the reader must make of them.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "level/level_collection.h"

// The reader must finish within its message limit, its result must agree
// with what it says, and every kept level must be a grid of at least 3 x 3,
// numbered in file order, whose floor is closed off from the border and the
// outside.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TLevelCollection collection;
    std::ostringstream messages;
    const int32_t result =
        collection.import_text(std::string(reinterpret_cast<const char*>(data), size), "set", messages);
    const std::string said = messages.str();
    if (result != (said.empty() ? 0 : -2) || collection.name != "set" ||
        std::count(said.begin(), said.end(), '\n') > IMPORT_MESSAGE_LIMIT + 1)
        std::abort();
    int32_t number = 0;
    for (const auto& level : collection.levels) {
        if (level->width < 3 || level->height < 3 || !level->cells || level->number <= number)
            std::abort();
        number = level->number;
        auto open = [&](int32_t x, int32_t y) {
            return x < 0 || y < 0 || x >= level->width || y >= level->height || level->get(x, y) == CELL_OUTSIDE;
        };
        for (int32_t y = 0; y < level->height; ++y)
            for (int32_t x = 0; x < level->width; ++x)
                if (level->get(x, y) == CELL_FLOOR &&
                    (open(x - 1, y) || open(x + 1, y) || open(x, y - 1) || open(x, y + 1)))
                    std::abort();
    }
    return 0;
}
