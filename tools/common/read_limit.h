// Numbers from the command line of the level tools: a limit or a count above 0, and nothing else.
#pragma once

#include <charconv>
#include <cstring>
#include <iostream>

// "abc", "5x" and "-1" are refused with a line naming the option, rather
// than read as some other number.
template <typename Number>
bool read_limit(const char* program, const char* option, const char* text, Number& limit) {
    const char* end = text + std::strlen(text);
    const auto [stop, error] = std::from_chars(text, end, limit);
    if (error == std::errc() && stop == end && limit > 0)
        return true;
    std::cerr << program << ": " << option << " takes a number above 0, not \"" << text << "\"\n";
    return false;
}
