// Players' collection files, text or XML: reading them, the checks of what the game can play, and the game's own text.
#include "import/import.h"

#include <tinyxml.h>

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <optional>
#include <sstream>

#include "import/latin1.h"
#include "level/level.h"
#include "level/level_collection.h"
#include "level/text_file.h"

namespace {

// The most text lines kept between two levels and below a level's rows, and
// the most credit lines. Real files hold a few dozen; a huge text file must
// not be held whole.
constexpr size_t TEXT_MAX_LINES = 1000;

const char TOO_LARGE[] = "larger than the game allows";

// Bounds for an XML collection, far above real ones, where a level of twenty
// rows takes a kilobyte and twenty elements. TinyXML builds some 200 bytes
// for each element and attribute, recurses once for each level of nesting,
// and searches an element's attributes for a repeat as it adds each one.
constexpr size_t XML_MAX_SIZE = 16 * 1024 * 1024;
constexpr int64_t XML_MAX_ITEMS = 1000000;
constexpr int64_t XML_MAX_ATTRIBUTES = 64;
constexpr int64_t XML_MAX_DEPTH = 32;

const char BYTE_ORDER_MARK[] = "\xEF\xBB\xBF";

// A line of text between or below levels; a note is a line of a comment
// block, which is kept as it stands, whatever it looks like.
struct TTextLine {
    std::string text;
    bool note = false;
};

struct TSourceLevel {
    std::vector<std::string> rows;
    int64_t width = 0;
    // Found while reading; rows are no longer kept once it is set.
    std::string problem;
    // Text lines found before the rows since the last level, and those
    // directly below them up to the next empty line.
    std::vector<TTextLine> before;
    std::vector<TTextLine> after;
    std::string title;
    std::string author;
    // The lines of its comment blocks, written above it.
    std::vector<std::string> notes;
};

// What is read so far: each level is checked and written, or left out, as
// soon as it is complete, so memory follows what is kept, not the file.
struct TSource {
    explicit TSource(TConversion& conversion) : conversion(conversion) {}

    TConversion& conversion;
    std::vector<std::string> credits;
    std::string levels;
    // The last Author line written, so that a set by one author names them
    // once.
    std::string author;
    int64_t count = 0;
    // Every cell of every level read, kept or not; once they outgrow the
    // largest level the game reads, nothing more is read.
    int64_t cells = 0;
    bool full = false;
};

enum TRowLine {
    ROW_NONE,
    ROW_FOUND,
    ROW_TOO_LONG,
};

bool starts_with(const std::string& line, const char* prefix) {
    return strncasecmp(line.c_str(), prefix, std::strlen(prefix)) == 0;
}

// Control characters become spaces, so that a title or credit stays one line.
std::string clean(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(' ') + 1 - first);
}

std::string trim_right(const std::string& line) {
    const size_t last = line.find_last_not_of(" \t\r");
    return last == std::string::npos ? "" : line.substr(0, last + 1);
}

// The rows one line stands for: plain rows with space, "-" or "_" for floor,
// or run-length encoded ones ("4#", "|" between rows). A line of rows holds
// a wall somewhere, which tells it from a line of digits or dashes. Each
// cell made is counted in cells, so a short line of big counts costs no more
// than the level it stands for.
TRowLine read_rows(const std::string& line, std::vector<std::string>& rows, int64_t& cells) {
    std::vector<std::string> found(1);
    int64_t count = 0;
    bool wall = false;
    for (const char c : line) {
        if (c >= '0' && c <= '9') {
            count = std::min(count * 10 + (c - '0'), LEVEL_MAX_LINE + 1);
            continue;
        }
        if (c == '|') {
            found.emplace_back();
        } else if (c == '\0' || !std::strchr(" #$.*@+-_", c)) {
            return ROW_NONE;
        } else {
            const int64_t repeat = std::max<int64_t>(count, 1);
            cells += repeat;
            if (cells > LEVEL_MAX_CELLS || static_cast<int64_t>(found.back().size()) + repeat > LEVEL_MAX_LINE)
                return ROW_TOO_LONG;
            found.back().append(repeat, c == '-' || c == '_' ? ' ' : c);
            wall = wall || c == '#';
        }
        count = 0;
    }
    if (!wall || count != 0)
        return ROW_NONE;
    for (const std::string& row : found) {
        rows.push_back(trim_right(row));
        if (rows.back().empty())
            return ROW_NONE;
    }
    return ROW_FOUND;
}

void add_rows(TSourceLevel& level, TRowLine kind, std::vector<std::string>& rows) {
    if (kind == ROW_TOO_LONG)
        level.problem = TOO_LARGE;
    for (std::string& row : rows) {
        level.width = std::max<int64_t>(level.width, row.size());
        const int64_t height = level.rows.size() + 1;
        if (level.width > LEVEL_MAX_CELLS / std::max<int64_t>(height, 3))
            level.problem = TOO_LARGE;
        if (level.problem.empty())
            level.rows.push_back(std::move(row));
        else
            std::vector<std::string>().swap(level.rows);
    }
}

bool is_header(const TTextLine& line) {
    return !line.note && !line.text.empty() && line.text[0] == ';';
}

std::vector<TTextLine>::iterator last_header(std::vector<TTextLine>& lines) {
    const auto found = std::find_if(lines.rbegin(), lines.rend(), is_header);
    return found == lines.rend() ? lines.end() : std::prev(found.base());
}

std::string unquote(const std::string& text) {
    std::string title = text.substr(1);
    if (!title.empty() && title.back() == '\'')
        title.pop_back();
    return clean(title);
}

// A title stands on a line of its own after an apostrophe, on a "Title:"
// line, or in quotes on the header line itself.
std::string title_of(const TTextLine& line) {
    if (line.note)
        return "";
    if (starts_with(line.text, "'"))
        return unquote(line.text);
    if (starts_with(line.text, "title:"))
        return clean(line.text.substr(6));
    const size_t quote = line.text.find('\'');
    if (is_header(line) && quote != std::string::npos)
        return unquote(line.text.substr(quote));
    return "";
}

// Adds a line of credits or notes, which are written between levels, with
// no more than one empty line in a row.
void add_credit(std::vector<std::string>& credits, const std::string& line) {
    // The game would read a line that starts with ";" as a level header.
    std::string text = clean(line);
    text.erase(0, text.find_first_not_of("; "));
    if (credits.size() < TEXT_MAX_LINES && (!text.empty() || (!credits.empty() && !credits.back().empty())))
        credits.push_back(text);
}

void write_lines(std::string& text, std::vector<std::string> lines, int64_t& replaced) {
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    for (const std::string& line : lines)
        text += to_latin1(line, replaced) + "\n";
}

// The game's own outside fill, with every cell but a wall taken for floor:
// a keeper, box or target that it reaches stands outside the walls.
bool walls_closed(const TSourceLevel& level) {
    TLevel grid;
    grid.create(static_cast<int32_t>(level.width), static_cast<int32_t>(level.rows.size()));
    for (size_t y = 0; y < level.rows.size(); ++y)
        for (size_t x = 0; x < level.rows[y].size(); ++x)
            grid.set(x, y, level.rows[y][x] == '#' ? CELL_WALL : CELL_FLOOR);
    grid.mark_outside();
    for (size_t y = 0; y < level.rows.size(); ++y)
        for (size_t x = 0; x < level.rows[y].size(); ++x)
            if (level.rows[y][x] != ' ' && grid.get(x, y) == CELL_OUTSIDE)
                return false;
    return true;
}

// Why the game could not play the level, or nothing when it can. Whether it
// can is the game's own reader's word, given the level's rows alone.
std::string problem_of(const TSourceLevel& level, const std::string& rows) {
    if (!level.problem.empty())
        return level.problem;
    if (!walls_closed(level))
        return "the walls are not closed";
    TLevelCollection judged;
    std::ostringstream said;
    if (judged.import_text(";\n\n" + rows, "level", said) == 0 && judged.levels.size() == 1)
        return "";
    // The message after its "...: level 1: ".
    const std::string message = said.str().substr(0, said.str().find('\n'));
    return message.empty() ? "it has no rows" : message.substr(message.rfind(": ") + 2);
}

void add_level(TSource& source, const TSourceLevel& level) {
    TConversion& conversion = source.conversion;
    if (source.full)
        return;
    const int64_t number = ++source.count;
    std::string rows;
    for (const std::string& row : level.rows)
        rows += row + "\n";
    const std::string problem = problem_of(level, rows);
    if (!problem.empty()) {
        if (++conversion.left_out <= IMPORT_MESSAGE_LIMIT)
            conversion.reasons.push_back("level " + std::to_string(number) +
                                         (level.title.empty() ? "" : " '" + level.title + "'") +
                                         " left out: " + problem);
        return;
    }
    std::string& text = source.levels;
    write_lines(text, level.notes, conversion.replaced);
    if (!level.author.empty() && level.author != source.author)
        text += "Author: " + to_latin1(level.author, conversion.replaced) + "\n";
    source.author = level.author.empty() ? source.author : level.author;
    text += ";" + std::to_string(++conversion.kept) + "\n";
    text += (level.title.empty() ? "" : "'" + to_latin1(level.title, conversion.replaced)) + "\n";
    text += rows + "\n";
}

// Reads the text family one line at a time. Which level a header or note
// belongs to shows only in the lines around the rows, so a level is complete
// only when the next one begins.
class TTextCollection {
public:
    explicit TTextCollection(TSource& source) : source(source) {}
    void take(const std::string& line);
    void complete(bool next_headed);

private:
    void begin_level();

    TSource& source;
    TSourceLevel level;
    bool in_level = false;

    enum { TEXT_BETWEEN, TEXT_ROWS, TEXT_AFTER } state = TEXT_BETWEEN;
    bool in_comment = false;
    std::vector<TTextLine> pending;
};

void TTextCollection::take(const std::string& raw) {
    const std::string line = trim_right(raw);
    std::vector<TTextLine>& lines = state == TEXT_BETWEEN ? pending : level.after;
    if (in_comment) {
        // A comment block may hold anything, rows and empty lines included.
        in_comment = !starts_with(line, "comment-end:");
        if (in_comment && lines.size() < TEXT_MAX_LINES)
            lines.push_back({line, true});
        return;
    }
    std::vector<std::string> rows;
    const TRowLine kind = read_rows(line, rows, source.cells);
    source.full = source.cells > LEVEL_MAX_CELLS;
    if (kind != ROW_NONE) {
        if (state != TEXT_ROWS)
            begin_level();
        add_rows(level, kind, rows);
        state = TEXT_ROWS;
    } else if (line.empty()) {
        if (state == TEXT_BETWEEN && pending.size() < TEXT_MAX_LINES)
            pending.push_back({line});
        state = TEXT_BETWEEN;
    } else {
        in_comment = line.size() == 8 && starts_with(line, "comment:");
        if (!in_comment && lines.size() < TEXT_MAX_LINES)
            lines.push_back({line});
        state = state == TEXT_BETWEEN ? TEXT_BETWEEN : TEXT_AFTER;
    }
}

void TTextCollection::begin_level() {
    TSourceLevel next;
    if (state == TEXT_AFTER) {
        // No empty line since the last rows: a header among the lines between
        // begins this level, and the lines from it on are this level's.
        const auto header = last_header(level.after);
        next.before.assign(header, level.after.end());
        level.after.erase(header, level.after.end());
    } else {
        next.before.swap(pending);
    }
    complete(std::any_of(next.before.begin(), next.before.end(), is_header));
    level = std::move(next);
    in_level = true;
}

// A header below a level's rows makes the file one with headers after the
// rows, and what stands above the rows is then free text. Otherwise a level
// begins at the text right above its rows, or at the last header above them.
// The free text before the first level is the credits; the notes of comment
// blocks there are credits too, and any others are the level's.
void TTextCollection::complete(bool next_headed) {
    if (!in_level)
        return;
    std::vector<TTextLine>& before = level.before;
    auto info = before.end();
    if (std::none_of(level.after.begin(), level.after.end(), is_header)) {
        auto paragraph = before.end();
        while (paragraph != before.begin() && !std::prev(paragraph)->text.empty())
            --paragraph;
        info = last_header(before);
        // A header set apart from the first rows by an empty line may close
        // a block of credits instead: it is the level's only when the next
        // level has a header too.
        if (info == before.end() || (info < paragraph && source.count == 0 && !next_headed))
            info = paragraph;
    }
    for (auto line = before.begin(); line != before.end(); ++line) {
        if (line < info && source.count == 0)
            add_credit(source.credits, line->text);
        else if (line->note)
            add_credit(level.notes, line->text);
    }
    for (const TTextLine& line : level.after)
        if (line.note)
            add_credit(level.notes, line.text);
    std::vector<TTextLine> lines(info, before.end());
    lines.insert(lines.end(), level.after.begin(), level.after.end());
    for (const TTextLine& line : lines) {
        if (level.title.empty())
            level.title = title_of(line);
        if (level.author.empty() && !line.note && starts_with(line.text, "author:"))
            level.author = clean(line.text.substr(7));
    }
    add_level(source, level);
    in_level = false;
}

std::string text_of(const TiXmlElement* element) {
    const char* text = element ? element->GetText() : nullptr;
    return text ? text : "";
}

std::string attribute_of(const TiXmlElement* element, const char* name) {
    const char* value = element->Attribute(name);
    return value ? clean(value) : "";
}

void read_xml_level(const TiXmlElement* element, TSource& source) {
    TSourceLevel level;
    level.title = attribute_of(element, "Id");
    level.author = attribute_of(element, "Copyright");
    int64_t number = 0;
    for (const TiXmlElement* row = element->FirstChildElement("L"); row; row = row->NextSiblingElement("L")) {
        ++number;
        std::vector<std::string> rows;
        const TRowLine kind = read_rows(trim_right(text_of(row)), rows, source.cells);
        source.full = source.cells > LEVEL_MAX_CELLS;
        if (kind == ROW_NONE && level.problem.empty())
            level.problem = "row " + std::to_string(number) + " is not a row of a level";
        add_rows(level, kind, rows);
    }
    add_level(source, level);
}

// Spaces in place of the text from one place up to another, line ends kept,
// so that TinyXML's line numbers still count the lines of the file.
void blank(std::string& text, size_t from, size_t to) {
    for (size_t at = from; at < std::min(to, text.size()); ++at)
        if (text[at] != '\n')
            text[at] = ' ';
}

// Whether the declaration names an encoding of one byte a character.
bool declares_single_byte(const std::string& declaration) {
    const size_t open = declaration.find_first_of("\"'", declaration.find("encoding"));
    if (open == std::string::npos)
        return false;
    std::string name = declaration.substr(open + 1, declaration.find(declaration[open], open + 1) - open - 1);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    for (const char* single : {"iso-8859-1", "iso8859-1", "latin1", "latin-1", "windows-1252", "cp1252"})
        if (name == single)
            return true;
    return false;
}

// What TinyXML will build, counted before it does, by its own reading of
// markup: comments, CDATA and other "<!" markup hold no elements, "<" and a
// letter opens an element up to a ">" outside quotes, and "</" closes one.
// Wherever the two readings could part, TinyXML stops at an error first.
std::string xml_bounds_problem(const std::string& text) {
    // The place after a piece of markup that ends at found, if anywhere.
    auto past = [](size_t found, size_t length) { return found == std::string::npos ? found : found + length; };
    int64_t depth = 0;
    int64_t items = 0;
    for (size_t at = text.find('<'); at != std::string::npos; at = text.find('<', at)) {
        const unsigned char next = text[at + 1];
        if (text.compare(at, 4, "<!--") == 0) {
            at = past(text.find("-->", at + 4), 3);
        } else if (text.compare(at, 9, "<![CDATA[") == 0) {
            at = past(text.find("]]>", at + 9), 3);
        } else if (next == '/') {
            depth = std::max<int64_t>(depth - 1, 0);
            at += 2;
        } else if (next != '_' && next < 0x7F && !std::isalpha(next)) {
            at = past(text.find('>', at), 1);
        } else {
            int64_t attributes = 0;
            char quote = 0;
            for (++at; at < text.size() && (quote || text[at] != '>'); ++at) {
                if (quote)
                    quote = text[at] == quote ? 0 : quote;
                else if (text[at] == '"' || text[at] == '\'')
                    quote = text[at];
                else
                    attributes += text[at] == '=';
            }
            depth += text[at - 1] != '/';
            items += 1 + attributes;
            if (attributes > XML_MAX_ATTRIBUTES || items > XML_MAX_ITEMS)
                return "XML with too many elements or attributes";
            if (depth > XML_MAX_DEPTH)
                return "XML nested more than " + std::to_string(XML_MAX_DEPTH) + " deep";
        }
    }
    return "";
}

// The XML collection: a title, description and addresses, then collections
// of levels whose rows are <L> elements. The text reaches TinyXML as UTF-8,
// with no declaration, processing instruction or DOCTYPE left in it: their
// contents are never loaded, and TinyXML reads a declaration's attributes by
// rules of its own.
bool read_xml(std::string text, TSource& source, std::string& error) {
    const bool single_byte = text.compare(0, 5, "<?xml") == 0 && declares_single_byte(text.substr(0, text.find("?>")));
    for (size_t at = text.find("<?"); at != std::string::npos; at = text.find("<?", at)) {
        const size_t end = text.find("?>", at);
        blank(text, at, end == std::string::npos ? end : end + 2);
    }
    const size_t doctype = text.find("<!DOCTYPE");
    if (doctype != std::string::npos) {
        size_t end = text.find_first_of("[>", doctype);
        if (end != std::string::npos && text[end] == '[')
            end = text.find('>', text.find(']', end));
        blank(text, doctype, end == std::string::npos ? end : end + 1);
    }
    // Invalid UTF-8 would make TinyXML step over markup or past the end.
    if (single_byte || !is_utf8(text))
        text = windows1252_to_utf8(text);
    error = xml_bounds_problem(text);
    if (!error.empty()) {
        error = "not a level collection: " + error;
        return false;
    }
    // Leading spaces of a row are part of the level.
    TiXmlBase::SetCondenseWhiteSpace(false);
    TiXmlDocument document;
    document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
    if (document.Error()) {
        error = "not a level collection: XML error on line " + std::to_string(document.ErrorRow()) + ": " +
                document.ErrorDesc();
        return false;
    }
    const TiXmlElement* root = document.RootElement();
    for (const TiXmlElement* item = root ? root->FirstChildElement() : nullptr; item;
         item = item->NextSiblingElement()) {
        const std::string name = item->ValueStr();
        const std::string label = name == "Email" || name == "Url" ? name + ": " : "";
        std::istringstream lines(text_of(item));
        if (name == "Title" || name == "Description" || !label.empty()) {
            for (std::string line; std::getline(lines, line);)
                add_credit(source.credits, label + line);
        } else if (name == "LevelCollection") {
            if (item->Attribute("Copyright"))
                add_credit(source.credits, "Copyright: " + attribute_of(item, "Copyright"));
            for (const TiXmlElement* level = item->FirstChildElement("Level"); level;
                 level = level->NextSiblingElement("Level"))
                read_xml_level(level, source);
        }
    }
    return true;
}

// Reads the file as the text family, or as XML when its first text is a tag.
int32_t read_source(const std::string& path, TSource& source, std::string& error) {
    std::optional<std::string> text = read_text_file(path, LEVEL_MAX_FILE_SIZE);
    if (!text) {
        const int reason = errno;
        error = reason == EFBIG
                    ? "not a level collection: a file of more than " + std::to_string(LEVEL_MAX_FILE_SIZE >> 20) + " MB"
                    : (reason == EISDIR ? "cannot read it: " : "cannot open it: ") + std::string(std::strerror(reason));
        return reason == EFBIG ? IMPORT_NOT_LEVELS : IMPORT_NO_INPUT;
    }
    if (text->find('\0') != std::string::npos) {
        error = "not a level collection: it holds binary data";
        return IMPORT_NOT_LEVELS;
    }
    // A byte order mark, as editors on Windows write it, is no part of the
    // text; an XML collection begins with a tag, perhaps after blanks.
    const size_t start = text->compare(0, 3, BYTE_ORDER_MARK) == 0 ? 3 : 0;
    const size_t first = text->find_first_not_of(" \t\r\n", start);
    if (first != std::string::npos && (*text)[first] == '<') {
        if (text->size() - start > XML_MAX_SIZE) {
            error = "not a level collection: an XML file of more than 16 MB";
            return IMPORT_NOT_LEVELS;
        }
        return read_xml(text->substr(start), source, error) ? IMPORT_OK : IMPORT_NOT_LEVELS;
    }
    TTextCollection collection(source);
    // The last line may have no line end.
    for (size_t at = start; at < text->size() && !source.full;) {
        const size_t end = std::min(text->find('\n', at), text->size());
        collection.take(text->substr(at, end - at));
        at = end + 1;
    }
    collection.complete(false);
    return IMPORT_OK;
}

}  // namespace

TConversion convert_collection(const std::string& path) {
    TConversion conversion;
    TSource source(conversion);
    conversion.status = read_source(path, source, conversion.error);
    if (conversion.status == IMPORT_OK && source.full)
        conversion.error = "its levels together are larger than the game allows";
    else if (conversion.status == IMPORT_OK && source.count == 0)
        conversion.error = "not a level collection: no level found in it";
    else if (conversion.status == IMPORT_OK && conversion.kept == 0)
        conversion.error = "none of its " + std::to_string(source.count) + " levels can be played";
    if (!conversion.error.empty()) {
        conversion.status = conversion.status == IMPORT_OK ? IMPORT_NOT_LEVELS : conversion.status;
        return conversion;
    }
    write_lines(conversion.text, source.credits, conversion.replaced);
    conversion.text += (source.credits.empty() ? "" : "\n") + source.levels;
    // The whole text once more, as the game's next start will read it.
    TLevelCollection collection;
    std::ostringstream said;
    if (collection.import_text(conversion.text, "set", said) != 0 ||
        static_cast<int64_t>(collection.levels.size()) != conversion.kept) {
        conversion.status = IMPORT_INTERNAL;
        conversion.error =
            "the game does not read the converted collection cleanly: " + said.str().substr(0, said.str().find('\n'));
    }
    return conversion;
}
