// Text in the game's encoding: the game draws Latin-1, and players' files hold UTF-8 or Windows-1252.
#pragma once

#include <cstdint>
#include <string>

bool is_utf8(const std::string& text);

// Each byte as the Windows-1252 character it stands for, which ISO-8859-1
// text is in practice, written in UTF-8.
std::string windows1252_to_utf8(const std::string& text);

// The text in Latin-1, read as UTF-8 when it is UTF-8 and as Windows-1252
// otherwise. Each character beyond Latin-1 becomes a close ASCII form, or
// "?", and is counted in replaced.
std::string to_latin1(const std::string& text, int64_t& replaced);
