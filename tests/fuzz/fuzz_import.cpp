// Fuzz target: any bytes as a collection file to import, text or XML, and what the importer must make of them.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "import/import.h"
#include "level/level_collection.h"
#include "tests/support/scratch_dir.h"

// A conversion either fails with a reason, or gives text the game reads
// without a message, every kept level in it, with no byte the game cannot
// draw but its line ends.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The files go where TMPDIR says; the fuzz check points it at a
    // directory it removes itself, even after a crash.
    static const TScratchDir scratch("fuzz-import");
    static const std::string path = scratch.path + "/set.xsb";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        std::abort();
    const TConversion conversion = convert_collection(path);
    bool sound = conversion.status != IMPORT_INTERNAL && (conversion.status == IMPORT_OK) == conversion.error.empty();
    if (conversion.status == IMPORT_OK) {
        TLevelCollection collection;
        std::ostringstream said;
        sound = sound && collection.import_text(conversion.text, "set", said) == 0 && said.str().empty() &&
                static_cast<int64_t>(collection.levels.size()) == conversion.kept && conversion.kept > 0;
        for (const unsigned char c : conversion.text)
            sound = sound && (c == '\n' || (c >= 0x20 && c != 0x7F && (c < 0x80 || c >= 0xA0)));
    }
    if (!sound) {
        std::fprintf(stderr, "import: status %d, %s\n", conversion.status, conversion.error.c_str());
        std::abort();
    }
    return 0;
}
