// The check of scores.xml before TinyXML parses it, and the escape of name bytes that are not UTF-8.
#include "score/score_text.h"

#include <cctype>

namespace {

// A real file is two elements deep with three attributes to an element. The
// item limit (tags, comments and attributes) keeps TinyXML's memory near a
// quarter of a gigabyte; the attribute limit keeps its search for a repeated
// attribute short, and the depth limit its recursion.
constexpr int MAX_DEPTH = 16;
constexpr int MAX_ATTRIBUTES = 16;
constexpr size_t MAX_ITEMS = 1024 * 1024;

// The one declaration passed to TinyXML, the one the game writes: TinyXML
// steps over unknown words in a declaration up to a blank, quotes and all,
// and gives up on a malformed attribute there without an error, which would
// leave the records unread.
const std::string DECLARATION = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>";

unsigned char byte_at(const std::string& text, size_t at) {
    return static_cast<unsigned char>(text[at]);
}

bool is_continuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Length of the UTF-8 sequence at the position, or 0 when it is incomplete,
// overlong, a surrogate or beyond U+10FFFF. With escapes allowed, the
// surrogates U+DC80 to U+DCFF that stand for escaped name bytes pass.
size_t utf8_length(const std::string& text, size_t at, bool escapes) {
    unsigned char lead = byte_at(text, at);
    if (lead < 0x80) {
        return 1;
    }
    size_t length = lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
    if (length == 0 || at + length > text.size()) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        if (!is_continuation(byte_at(text, at + i))) {
            return 0;
        }
    }
    unsigned char second = byte_at(text, at + 1);
    bool escape = escapes && (second == 0xB2 || second == 0xB3);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0 && !escape) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90)) {
        return 0;
    }
    return length;
}

// TinyXML takes "&#" up to the next semicolon for one character reference,
// markup included, so the digits and the semicolon must follow at once.
bool is_plain_reference(const std::string& text, size_t at) {
    if (text.compare(at, 2, "&#") != 0) {
        return true;
    }
    bool hex = text.compare(at, 3, "&#x") == 0;
    size_t start = at + (hex ? 3 : 2);
    size_t end = start;
    while (end < text.size() && (hex ? std::isxdigit(byte_at(text, end)) : std::isdigit(byte_at(text, end)))) {
        ++end;
    }
    return end > start && end < text.size() && text[end] == ';';
}

}  // namespace

// One pass over the bytes that counts what TinyXML will build. Only valid
// UTF-8 passes, since TinyXML steps over a character by its lead byte and
// would step over markup or past the end. Tags are followed with their quoted
// values, whose quotes TinyXML pairs the same way or gives up; comments are
// stepped over, and the game's declaration may open the text. Anything else
// that starts with "<" is refused.
bool is_safe_score_text(const std::string& text) {
    for (size_t at = 0, length = 0; at < text.size(); at += length) {
        length = utf8_length(text, at, true);
        if (length == 0 || text[at] == '\0') {
            return false;
        }
    }
    bool in_tag = false;
    unsigned char quote = 0;
    int depth = 0;
    int change = 0;  // what the tag does to the depth: open or close
    int attributes = 0;
    size_t items = 0;
    size_t start = text.compare(0, DECLARATION.size(), DECLARATION) == 0 ? DECLARATION.size() : 0;
    for (size_t at = start; at < text.size(); ++at) {
        unsigned char c = byte_at(text, at);
        if (c == '&' && !is_plain_reference(text, at)) {
            return false;
        }
        if (quote) {
            quote = c == quote ? 0 : quote;
        } else if (in_tag) {
            if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '=' && (++attributes > MAX_ATTRIBUTES || ++items > MAX_ITEMS)) {
                return false;
            } else if (c == '>') {
                depth += text[at - 1] == '/' ? 0 : change;
                if (depth < 0 || depth > MAX_DEPTH) {
                    return false;
                }
                in_tag = false;
            }
        } else if (c == '<') {
            if (++items > MAX_ITEMS) {
                return false;
            }
            if (text.compare(at, 4, "<!--") == 0) {
                at = text.find("-->", at + 4);
                if (at == std::string::npos) {
                    return false;
                }
                at += 2;
                continue;
            }
            unsigned char next = byte_at(text, at + 1);
            if (next != '/' && next != '_' && !std::isalpha(next)) {
                return false;
            }
            change = next == '/' ? -1 : 1;
            attributes = 0;
            in_tag = true;
        }
    }
    return true;
}

std::string name_to_xml(const std::string& name) {
    std::string text;
    for (size_t at = 0, length = 0; at < name.size(); at += length) {
        length = utf8_length(name, at, false);
        unsigned char byte = byte_at(name, at);
        if (length == 0) {
            text += {'\xED', static_cast<char>(0xB0 | byte >> 6), static_cast<char>(0x80 | (byte & 0x3F))};
            length = 1;
        } else {
            text.append(name, at, length);
        }
    }
    return text;
}

std::string name_from_xml(const std::string& text) {
    std::string name;
    // Reading past the end finds the terminating zero, which is no escape.
    for (size_t at = 0; at < text.size(); ++at) {
        unsigned char second = byte_at(text, at + 1);
        if (byte_at(text, at) == 0xED && (second == 0xB2 || second == 0xB3)) {
            name += static_cast<char>((second & 0x03) << 6 | (byte_at(text, at + 2) & 0x3F));
            at += 2;
        } else {
            name += text[at];
        }
    }
    return name;
}
