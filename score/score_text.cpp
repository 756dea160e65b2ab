#include "score/score_text.h"

#include <cctype>
#include <cstring>

namespace {

bool is_continuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Length of the UTF-8 sequence at the start of text, or 0 when it is
// incomplete, overlong, a surrogate or beyond U+10FFFF. With escapes allowed,
// the surrogates U+DC80 to U+DCFF that stand for escaped name bytes pass.
size_t utf8_length(const unsigned char* text, size_t left, bool escapes) {
    unsigned char lead = text[0];
    if (lead < 0x80) {
        return 1;
    }
    size_t length = lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
    if (length == 0 || length > left) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        if (!is_continuation(text[i])) {
            return 0;
        }
    }
    unsigned char second = text[1];
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90)) {
        return 0;
    }
    if (lead == 0xED && second >= 0xA0 && !(escapes && (second == 0xB2 || second == 0xB3))) {
        return 0;
    }
    return length;
}

bool is_utf8(const std::string& text) {
    auto bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (size_t at = 0; at < text.size();) {
        size_t length = utf8_length(bytes + at, text.size() - at, true);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

// The character classes below are TinyXML's own, byte for byte: its parser
// in UTF-8 mode takes every byte from 127 up for a letter and skips byte-order
// marks wherever it skips blanks.
bool is_blank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) || c == '\n' || c == '\r';
}

bool is_alpha(char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte >= 127 || std::isalpha(byte);
}

bool is_alnum(char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte >= 127 || std::isalnum(byte);
}

const char* skip_blanks(const char* p) {
    for (;;) {
        auto u = reinterpret_cast<const unsigned char*>(p);
        if (u[0] == 0xEF && ((u[1] == 0xBB && u[2] == 0xBF) || (u[1] == 0xBF && (u[2] == 0xBE || u[2] == 0xBF)))) {
            p += 3;
        } else if (*p && is_blank(*p)) {
            ++p;
        } else {
            return p;
        }
    }
}

bool starts_with(const char* p, const char* tag, bool ignore_case) {
    for (; *tag; ++p, ++tag) {
        char c = *p;
        char t = *tag;
        if (ignore_case && static_cast<unsigned char>(c) < 128) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            t = static_cast<char>(std::tolower(static_cast<unsigned char>(t)));
        }
        if (c != t) {
            return false;
        }
    }
    return true;
}

const char* read_name(const char* p) {
    if (!is_alpha(*p) && *p != '_') {
        return nullptr;
    }
    while (*p && (is_alnum(*p) || *p == '_' || *p == '-' || *p == '.' || *p == ':')) {
        ++p;
    }
    return p;
}

// TinyXML takes "&#" up to the next semicolon for one character reference as
// long as the digits just before it hold, so a reference may swallow markup.
// The guard must follow it there, or markup it counts would not be markup.
const char* skip_entity(const char* p) {
    if (p[1] != '#' || !p[2]) {
        return p + 1;
    }
    bool hex = p[2] == 'x';
    if (hex && !p[3]) {
        return nullptr;
    }
    const char* semicolon = std::strchr(p + (hex ? 3 : 2), ';');
    if (!semicolon) {
        return nullptr;
    }
    for (const char* q = semicolon - 1; *q != (hex ? 'x' : '#'); --q) {
        if (!(hex ? std::isxdigit(static_cast<unsigned char>(*q)) : std::isdigit(static_cast<unsigned char>(*q)))) {
            return nullptr;
        }
    }
    return semicolon + 1;
}

// Text up to the end character with entities taken as TinyXML takes them;
// the result points past the end character, or is null where TinyXML fails.
const char* skip_text(const char* p, char end) {
    while (*p && *p != end) {
        p = *p == '&' ? skip_entity(p) : p + 1;
        if (!p) {
            return nullptr;
        }
    }
    return *p && p[1] ? p + 1 : nullptr;
}

// Walks the text along the very path TinyXML's recursive parser will take and
// counts how deep it would go. Wherever TinyXML would give up, the walk
// refuses the whole text, which keeps it on the safe side should the two ever
// part ways.
class TextGuard {
public:
    bool is_safe(const char* p);

private:
    bool count_item();
    const char* node(const char* p);
    const char* element(const char* p);
    const char* content(const char* p);
    const char* declaration(const char* p);
    const char* attribute(const char* p);

    int depth = 0;
    size_t items = 0;
};

bool TextGuard::is_safe(const char* p) {
    // TinyXML stops without complaint at text outside every element, and so
    // does the walk.
    p = skip_blanks(p);
    while (*p == '<') {
        p = node(p);
        if (!p) {
            return false;
        }
        p = skip_blanks(p);
    }
    return true;
}

bool TextGuard::count_item() {
    return ++items <= SCORE_MAX_ITEMS;
}

const char* TextGuard::node(const char* p) {
    if (!count_item()) {
        return nullptr;
    }
    if (starts_with(p, "<?xml", true)) {
        return declaration(p + 5);
    }
    if (starts_with(p, "<!--", false)) {
        const char* end = std::strstr(p + 4, "-->");
        return end ? end + 3 : p + std::strlen(p);
    }
    if (starts_with(p, "<![CDATA[", false)) {
        const char* end = std::strstr(p + 9, "]]>");
        return end && end[3] ? end + 3 : nullptr;
    }
    if (starts_with(p, "<!", false) || !(is_alpha(p[1]) || p[1] == '_')) {
        const char* end = std::strchr(p + 1, '>');
        return end ? end + 1 : p + std::strlen(p);
    }
    return element(p);
}

const char* TextGuard::element(const char* p) {
    if (++depth > SCORE_MAX_DEPTH) {
        return nullptr;
    }
    const char* name = skip_blanks(p + 1);
    p = read_name(name);
    if (!p) {
        return nullptr;
    }
    size_t name_length = size_t(p - name);
    size_t attributes = 0;
    while (*p) {
        p = skip_blanks(p);
        if (*p == '/') {
            if (p[1] != '>') {
                return nullptr;
            }
            --depth;
            return p + 2;
        }
        if (*p == '>') {
            p = content(p + 1);
            if (!p || std::strncmp(p + 2, name, name_length) != 0) {
                return nullptr;
            }
            p = skip_blanks(p + 2 + name_length);
            if (*p != '>') {
                return nullptr;
            }
            --depth;
            return p + 1;
        }
        if (++attributes > SCORE_MAX_ATTRIBUTES || !count_item()) {
            return nullptr;
        }
        p = attribute(p);
        if (!p) {
            return nullptr;
        }
    }
    return nullptr;
}

// Children up to the end tag; the result points at its "</".
const char* TextGuard::content(const char* p) {
    p = skip_blanks(p);
    while (*p) {
        if (*p != '<') {
            if (!count_item()) {
                return nullptr;
            }
            p = skip_text(p, '<');
            if (!p) {
                return nullptr;
            }
            --p;
        } else if (p[1] == '/') {
            return p;
        } else {
            p = node(p);
            if (!p) {
                return nullptr;
            }
        }
        p = skip_blanks(p);
    }
    return nullptr;
}

// TinyXML reads only these three attributes of a declaration with quotes
// and steps over everything else word by word.
const char* TextGuard::declaration(const char* p) {
    while (*p) {
        if (*p == '>') {
            return p + 1;
        }
        p = skip_blanks(p);
        if (starts_with(p, "version", true) || starts_with(p, "encoding", true) || starts_with(p, "standalone", true)) {
            p = attribute(p);
            if (!p) {
                return nullptr;
            }
        } else {
            while (*p && *p != '>' && !is_blank(*p)) {
                ++p;
            }
        }
    }
    return nullptr;
}

const char* TextGuard::attribute(const char* p) {
    p = read_name(skip_blanks(p));
    if (!p) {
        return nullptr;
    }
    p = skip_blanks(p);
    if (*p != '=') {
        return nullptr;
    }
    p = skip_blanks(p + 1);
    if (*p == '"' || *p == '\'') {
        return skip_text(p + 1, *p);
    }
    while (*p && !is_blank(*p) && *p != '/' && *p != '>') {
        if (*p == '"' || *p == '\'') {
            return nullptr;
        }
        ++p;
    }
    return *p ? p : nullptr;
}

void append_escape(std::string& text, unsigned char byte) {
    unsigned code = 0xDC00 + byte;
    text += static_cast<char>(0xE0 | (code >> 12));
    text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (code & 0x3F));
}

}  // namespace

bool is_safe_score_text(const std::string& text) {
    if (text.size() > SCORE_MAX_FILE_SIZE || text.find('\0') != std::string::npos || !is_utf8(text)) {
        return false;
    }
    return TextGuard().is_safe(text.c_str());
}

std::string name_to_xml(const std::string& name) {
    auto bytes = reinterpret_cast<const unsigned char*>(name.data());
    std::string text;
    for (size_t at = 0; at < name.size();) {
        size_t length = utf8_length(bytes + at, name.size() - at, false);
        if (length == 0) {
            append_escape(text, bytes[at]);
            ++at;
        } else {
            text.append(name, at, length);
            at += length;
        }
    }
    return text;
}

std::string name_from_xml(const std::string& text) {
    auto bytes = reinterpret_cast<const unsigned char*>(text.data());
    std::string name;
    for (size_t at = 0; at < text.size();) {
        if (at + 2 < text.size() && bytes[at] == 0xED && (bytes[at + 1] == 0xB2 || bytes[at + 1] == 0xB3) &&
            is_continuation(bytes[at + 2])) {
            name += static_cast<char>(((bytes[at + 1] & 0x01) << 6 | (bytes[at + 2] & 0x3F)) | 0x80);
            at += 3;
        } else {
            name += text[at];
            ++at;
        }
    }
    return name;
}
