// Fuzz target: any bytes as scores.xml. Whatever the store reads from them
// must save, and read back to exactly the same records; a second save of
// what was read back must give the same bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "fuzz_scratch.h"
#include "score/high_score.h"

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "score store mismatch: %s\n", what);
    std::abort();
}

bool same_records(const THighScore& a, const THighScore& b) {
    if (a.collection_scores.size() != b.collection_scores.size())
        return false;
    auto other = b.collection_scores.begin();
    for (const auto& [name, scores] : a.collection_scores) {
        if (name != other->first || !scores || !other->second)
            return false;
        const auto& mine = scores->level_scores;
        const auto& theirs = other->second->level_scores;
        if (mine.size() != theirs.size())
            return false;
        auto level = theirs.begin();
        for (const auto& [nr, score] : mine) {
            if (nr != level->first || score.moves != level->second.moves || score.pushes != level->second.pushes)
                return false;
            ++level;
        }
        ++other;
    }
    return true;
}

std::string contents(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string directory = scratch_directory("score");
    const std::string input = directory + "scores.xml";
    const std::string first_save = directory + "first.xml";
    const std::string second_save = directory + "second.xml";
    // Saves never replace these names' earlier contents unless they load,
    // and the backups they would keep are of no interest here.
    std::remove(first_save.c_str());
    std::remove(second_save.c_str());

    std::FILE* file = std::fopen(input.c_str(), "wb");
    if (!file)
        std::abort();
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    THighScore store;
    store.read_from_xml(input);
    if (!store.write_to_xml(first_save))
        fail("the records read could not be saved");

    THighScore reread;
    if (!reread.read_from_xml(first_save))
        fail("a saved file does not load");
    if (!same_records(store, reread))
        fail("records changed through a save");

    if (!reread.write_to_xml(second_save))
        fail("the records read back could not be saved");
    if (contents(first_save) != contents(second_save))
        fail("a second save wrote other bytes");
    return 0;
}
