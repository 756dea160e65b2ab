// Reading UTF-8 and Windows-1252 text, and writing it in Latin-1 with close forms for what Latin-1 lacks.
#include "import/latin1.h"

namespace {

// Windows-1252's characters for the bytes 0x80 to 0x9F; the five it leaves
// undefined stay the control characters of the same number.
const char16_t WINDOWS_1252[32] = {
    0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178,
};

// The letters of U+0100 to U+017F without their marks: the names of Central
// European authors.
const char LATIN_EXTENDED_A[] =
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIiIiJjKkkLlLlLlLlLlNnNnNnnNnOoOoOoOoRrRrRrSsSsSsSsTtTtTtUuUuUuUuU"
    "uUuWwYyYZzZzZzs";

char32_t windows1252(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? WINDOWS_1252[byte - 0x80] : byte;
}

// The length of the UTF-8 character at the place, which goes to code, or 0
// where the text is not UTF-8 (an incomplete or overlong sequence, a
// surrogate, a code beyond U+10FFFF).
size_t next_utf8(const std::string& text, size_t at, char32_t& code) {
    const unsigned char lead = text[at];
    const size_t length = lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    code = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        const unsigned char next = text[at + i];
        if ((next & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (next & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    return overlong || (code >= 0xD800 && code < 0xE000) || code > 0x10FFFF ? 0 : length;
}

std::string close_form(char32_t code) {
    if (code >= 0x100 && code < 0x180)
        return std::string(1, LATIN_EXTENDED_A[code - 0x100]);
    switch (code) {
    case 0x2018:
    case 0x2019:
    case 0x201A:
        return "'";
    case 0x201C:
    case 0x201D:
    case 0x201E:
        return "\"";
    case 0x2013:
    case 0x2014:
        return "-";
    case 0x2026:
        return "...";
    case 0x20AC:
        return "EUR";
    default:
        return "?";
    }
}

}  // namespace

bool is_utf8(const std::string& text) {
    char32_t code = 0;
    size_t length = 1;
    for (size_t at = 0; at < text.size() && length > 0; at += length)
        length = next_utf8(text, at, code);
    return length > 0;
}

std::string windows1252_to_utf8(const std::string& text) {
    std::string out;
    for (const unsigned char byte : text) {
        const char32_t code = windows1252(byte);
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | code >> 6);
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | code >> 12);
            out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

std::string to_latin1(const std::string& text, int64_t& replaced) {
    const bool utf8 = is_utf8(text);
    std::string out;
    for (size_t at = 0, length = 1; at < text.size(); at += length) {
        char32_t code = windows1252(text[at]);
        if (utf8)
            length = next_utf8(text, at, code);
        if (code < 0x80 || (code >= 0xA0 && code < 0x100)) {
            out += static_cast<char>(code);
        } else {
            out += close_form(code);
            ++replaced;
        }
    }
    return out;
}
