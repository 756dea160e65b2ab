// Every best result of the game, by collection name and level number, and the file that keeps them.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "score/collection_score.h"

// Only this module touches TinyXML. The store never compares results:
// callers decide what is better. A save goes through "<file>.tmp" and keeps
// a file that was there but could not be read as a numbered "<file>.bak";
// reading removes the temporary file a killed save left.
class THighScore {
public:
    bool get_score(const std::string& collection, int32_t level, TScore& score) const;
    void set_score(const std::string& collection, int32_t level, const TScore& score);
    bool read_from_xml(const std::string& file_name);
    bool write_to_xml(const std::string& file_name);

    std::map<std::string, std::unique_ptr<TCollectionScore>> collection_scores;

private:
    // The file last read that exists but could not be read: it may hold
    // somebody's records, so the next save of it keeps it aside.
    std::string unreadable_file;
};
