// The text of the scores file before and after TinyXML: the checks that keep
// hostile bytes away from the parser, and the escape that lets collection
// names of any bytes pass through an XML attribute and come back unchanged.
#pragma once

#include <cstddef>
#include <string>

// Limits of a scores file that is handed to TinyXML at all. A real file is
// two levels deep with three attributes to an element; the item limit keeps
// the parser's memory near a quarter of a gigabyte at worst.
constexpr size_t SCORE_MAX_FILE_SIZE = 16 * 1024 * 1024;
constexpr int SCORE_MAX_DEPTH = 16;
constexpr size_t SCORE_MAX_ATTRIBUTES = 64;
constexpr size_t SCORE_MAX_ITEMS = 1024 * 1024;

// True when TinyXML may parse the text: within the size limit, no NUL byte,
// well-formed UTF-8 (escaped name bytes included), no element deeper than
// SCORE_MAX_DEPTH and no more items than the limits allow.
bool is_safe_score_text(const std::string& text);

// Bytes of a name that are not UTF-8 become the code points U+DC80 to U+DCFF
// (one for each byte), which no valid UTF-8 name contains, so the way back is
// unambiguous. Valid UTF-8 passes unchanged.
std::string name_to_xml(const std::string& name);
std::string name_from_xml(const std::string& text);
