// Every best result of the game, by collection name and level number, and the file that keeps them.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "score/collection_score.h"

// Only this module touches TinyXML. The store never compares results:
// callers decide what is better. A save goes through "<file>.tmp"; reading
// removes the temporary file a killed save left.
class THighScore {
public:
    bool get_score(const std::string& collection, int32_t level, TScore& score) const;
    void set_score(const std::string& collection, int32_t level, const TScore& score);
    bool read_from_xml(const std::string& file_name);
    // Keeps the file last read that is there but could not be read, which
    // may hold somebody's records, as a numbered "<file>.bak", named on
    // standard error: false when it is still to be kept. A save of that
    // file keeps it first, or fails.
    bool keep_unreadable_file();
    bool write_to_xml(const std::string& file_name);

    std::map<std::string, std::unique_ptr<TCollectionScore>> collection_scores;

private:
    std::string unreadable_file;
};
