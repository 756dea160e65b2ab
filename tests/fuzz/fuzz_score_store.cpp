// Fuzz target: any bytes as scores.xml. Whatever the store reads from them
// must save, and the saved file must read back to a store that saves the
// very same bytes.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "fuzz_scratch.h"
#include "score/high_score.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string directory = scratch_directory("score");
    std::ofstream(directory + "scores.xml", std::ios::binary).write(reinterpret_cast<const char*>(data), size);
    THighScore stores[3];
    stores[0].read_from_xml(directory + "scores.xml");
    std::string saved[3];
    bool loaded = true;
    for (int i = 1; i < 3; ++i) {
        const std::string file = directory + "saved" + std::to_string(i);
        loaded = loaded && stores[i - 1].write_to_xml(file) && stores[i].read_from_xml(file);
        std::ifstream saved_file(file, std::ios::binary);
        saved[i].assign(std::istreambuf_iterator<char>(saved_file), {});
    }
    if (!loaded || saved[1] != saved[2]) {
        std::fprintf(stderr, "score store: a save does not read back to the same records\n");
        std::abort();
    }
    return 0;
}
