// Fuzz target: any bytes as scores.xml; what the store reads from them must save and read back to the same bytes.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "score/high_score.h"
#include "tests/support/scratch_dir.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The files go where TMPDIR says; the fuzz check points it at a
    // directory it removes itself, even after a crash.
    static const TScratchDir scratch("fuzz-score");
    static const std::string directory = scratch.path + "/";
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
