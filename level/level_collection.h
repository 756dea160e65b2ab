// A level collection: one file of levels, read, checked and owned here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "level/level.h"

// The most level messages one import writes; the rest are only counted and
// summed up in one closing line.
constexpr int64_t IMPORT_MESSAGE_LIMIT = 100;
// The largest collection file read, about four times the text of the
// largest grid; real collections take some tens of kilobytes.
constexpr size_t LEVEL_MAX_FILE_SIZE = 64 << 20;

class TLevelCollection {
public:
    TLevelCollection() = default;
    ~TLevelCollection() { clear(); }
    TLevelCollection(const TLevelCollection&) = delete;
    TLevelCollection& operator=(const TLevelCollection&) = delete;

    // Reads directory + file_name into this collection, replacing its levels:
    // 0 without errors, -1 when the file cannot be read whole (a missing file,
    // no regular file, or one above LEVEL_MAX_FILE_SIZE), -2 when at least
    // one error was reported. Messages go to errors (standard error by
    // default), one line each, flushed, at most IMPORT_MESSAGE_LIMIT of them.
    int32_t import(const std::string& directory, const std::string& file_name);
    int32_t import(const std::string& directory, const std::string& file_name, std::ostream& errors);
    // The same for text in memory under the given name: 0 or -2.
    int32_t import_text(const std::string& text, const std::string& text_name, std::ostream& errors);
    void clear();

    std::string name;
    std::vector<std::unique_ptr<TLevel>> levels;
};
