// Reading the collection files players already have, text or XML, and turning playable levels into the game's format.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The exit statuses of sysexits.h, as the launcher uses them.
enum : int32_t {
    IMPORT_OK = 0,
    IMPORT_USAGE = 64,
    IMPORT_NOT_LEVELS = 65,
    IMPORT_NO_INPUT = 66,
    IMPORT_INTERNAL = 70,
    IMPORT_CANNOT_WRITE = 73,
};

struct TConversion {
    int32_t status = IMPORT_OK;
    // Why nothing could be imported, when status is not IMPORT_OK.
    std::string error;
    // Credits, then every kept level numbered from 1, in the game's format.
    std::string text;
    int64_t kept = 0;
    int64_t left_out = 0;
    // Characters of titles, credits and notes the game cannot show, written
    // in a close form instead.
    int64_t replaced = 0;
    // Why levels were left out, one line for each of the first ones, naming
    // the level by its place in the source.
    std::vector<std::string> reasons;
};

TConversion convert_collection(const std::string& path);
