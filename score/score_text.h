// The text of scores.xml around TinyXML: the check before it parses, and the escape of name bytes.
#pragma once

#include <cstddef>
#include <string>

constexpr size_t SCORE_MAX_FILE_SIZE = 16 * 1024 * 1024;

// True when TinyXML may parse the text, which its reader has kept within
// SCORE_MAX_FILE_SIZE bytes. The check is deliberately narrow:
// everything the game writes passes, and a refused file is kept aside by
// the next save, so refusing odd but harmless text loses nothing.
bool is_safe_score_text(const std::string& text);

// Bytes of a name that are not UTF-8 become the code points U+DC80 to U+DCFF
// (one for each byte), which no valid UTF-8 name contains, so that names of
// any bytes pass through an XML attribute and come back unchanged. Valid
// UTF-8 passes unchanged.
std::string name_to_xml(const std::string& name);
std::string name_from_xml(const std::string& text);
