// Players' collection files, text or XML: reading them, the checks of what the game can play, and the game's own text.
#include "tools/import/import.h"

#include <tinyxml.h>

#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sstream>

#include "level/level.h"
#include "level/level_collection.h"
#include "score/score_file.h"
#include "score/score_text.h"

namespace {

// The most text lines kept between two levels and below a level's rows. Real
// files hold a few dozen; a huge text file must not be held whole.
constexpr size_t TEXT_MAX_LINES = 1000;

const char TOO_LARGE[] = "larger than the game allows";

struct TSourceLevel {
    std::vector<std::string> rows;
    int64_t width = 0;
    // Found while reading; rows are no longer kept once it is set.
    std::string problem;
    // Text lines found before the rows since the last level, and those
    // directly below them up to the next empty line.
    std::vector<std::string> before;
    std::vector<std::string> after;
    std::string title;
    std::string author;
};

// What is read so far: each level is checked and written, or left out, as
// soon as it is complete, so memory follows what is kept, not the file.
struct TSource {
    explicit TSource(TConversion& conversion) : conversion(conversion) {}

    TConversion& conversion;
    std::vector<std::string> credits;
    std::string levels;
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
        if (static_cast<unsigned char>(c) < 0x20)
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

bool is_header(const std::string& line) {
    return !line.empty() && line[0] == ';';
}

std::vector<std::string>::iterator last_header(std::vector<std::string>& lines) {
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
std::string title_of(const std::string& line) {
    if (starts_with(line, "'"))
        return unquote(line);
    if (starts_with(line, "title:"))
        return clean(line.substr(6));
    const size_t quote = line.find('\'');
    if (is_header(line) && quote != std::string::npos)
        return unquote(line.substr(quote));
    return "";
}

void add_credit(std::vector<std::string>& credits, const std::string& line) {
    // The game would read a line that starts with ";" as a level header.
    const std::string text = clean(line.substr(std::min(line.find_first_not_of(';'), line.size())));
    if (!text.empty() || (!credits.empty() && !credits.back().empty()))
        credits.push_back(text);
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

std::string counted(int64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// Why the game could not play the level, or nothing when it can.
std::string problem_of(const TSourceLevel& level) {
    if (!level.problem.empty())
        return level.problem;
    if (level.rows.size() < 3 || level.width < 3)
        return "smaller than 3 x 3";
    int64_t keepers = 0;
    int64_t boxes = 0;
    int64_t targets = 0;
    for (const std::string& row : level.rows) {
        for (const char c : row) {
            keepers += c == '@' || c == '+';
            boxes += c == '$' || c == '*';
            targets += c == '.' || c == '*' || c == '+';
        }
    }
    if (keepers != 1)
        return keepers == 0 ? "no keeper" : std::to_string(keepers) + " keepers";
    if (boxes != targets)
        return counted(boxes, "box", "boxes") + " but " + counted(targets, "target", "targets");
    if (boxes == 0)
        return "no boxes";
    if (!walls_closed(level))
        return "the walls are not closed";
    return "";
}

void add_level(TSource& source, const TSourceLevel& level) {
    TConversion& conversion = source.conversion;
    if (source.full)
        return;
    const int64_t number = ++source.count;
    const std::string problem = problem_of(level);
    if (!problem.empty()) {
        if (++conversion.left_out <= IMPORT_MESSAGE_LIMIT)
            conversion.reasons.push_back("level " + std::to_string(number) +
                                         (level.title.empty() ? "" : " '" + level.title + "'") +
                                         " left out: " + problem);
        return;
    }
    std::string& text = source.levels;
    if (!level.author.empty())
        text += "Author: " + level.author + "\n";
    text += ";" + std::to_string(++conversion.kept) + "\n";
    text += (level.title.empty() ? "" : "'" + level.title) + "\n";
    for (const std::string& row : level.rows)
        text += row + "\n";
    text += "\n";
}

// Reads the text family one line at a time. Which level a header or note
// belongs to shows only in the lines around the rows, so a level is complete
// only when the next one begins.
class TTextCollection {
public:
    explicit TTextCollection(TSource& source) : source(source) {}
    void take(const std::string& line);
    void complete();

private:
    void begin_level();

    TSource& source;
    TSourceLevel level;
    bool in_level = false;

    enum { TEXT_BETWEEN, TEXT_ROWS, TEXT_AFTER } state = TEXT_BETWEEN;
    bool in_comment = false;
    std::vector<std::string> pending;
};

void TTextCollection::take(const std::string& raw) {
    const std::string line = trim_right(raw);
    if (in_comment) {
        in_comment = !starts_with(line, "comment-end:");
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
            pending.push_back(line);
        state = TEXT_BETWEEN;
    } else {
        // A comment block may hold anything, rows and empty lines included.
        in_comment = line.size() == 8 && starts_with(line, "comment:");
        std::vector<std::string>& lines = state == TEXT_BETWEEN ? pending : level.after;
        if (lines.size() < TEXT_MAX_LINES)
            lines.push_back(line);
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
    complete();
    level = std::move(next);
    in_level = true;
}

// A header below a level's rows makes the file one with headers after the
// rows, and what stands above the rows is then free text. Otherwise a level
// begins at the last header above its rows or, without one, at the text
// right above them. The free text before the first level is the credits.
void TTextCollection::complete() {
    if (!in_level)
        return;
    std::vector<std::string>& before = level.before;
    auto info = before.end();
    if (std::none_of(level.after.begin(), level.after.end(), is_header)) {
        info = last_header(before);
        if (info == before.end())
            while (info != before.begin() && !std::prev(info)->empty())
                --info;
    }
    if (source.count == 0)
        for (auto line = before.begin(); line != info; ++line)
            add_credit(source.credits, *line);
    std::vector<std::string> lines(info, before.end());
    lines.insert(lines.end(), level.after.begin(), level.after.end());
    for (const std::string& line : lines) {
        if (level.title.empty())
            level.title = title_of(line);
        if (level.author.empty() && starts_with(line, "author:"))
            level.author = clean(line.substr(7));
    }
    add_level(source, level);
    in_level = false;
}

// Collections that declare ISO-8859-1 are common; TinyXML is only handed
// UTF-8.
std::string latin1_to_utf8(const std::string& text) {
    std::string out;
    for (const unsigned char c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
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

// The XML collection: a title, description and addresses, then collections
// of levels whose rows are <L> elements.
bool read_xml(const std::string& path, TSource& source, std::string& error) {
    std::string text;
    if (read_score_file(path, SCORE_MAX_FILE_SIZE, text) != SCORE_READ_OK) {
        error = "not a level collection: an XML file of more than 16 MB";
        return false;
    }
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    // The text is read as UTF-8 whatever a declaration says, and the check
    // that keeps damaged text from TinyXML passes no declaration but the
    // game's own, so a declaration goes.
    const size_t declaration_end = text.compare(0, 5, "<?xml") == 0 ? text.find("?>") : std::string::npos;
    if (declaration_end != std::string::npos)
        text.erase(0, declaration_end + 2);
    if (!is_safe_score_text(text))
        text = latin1_to_utf8(text);
    if (!is_safe_score_text(text)) {
        error = "not a level collection: XML that is damaged, too deep or too large";
        return false;
    }
    // Leading spaces of a row are part of the level.
    TiXmlBase::SetCondenseWhiteSpace(false);
    TiXmlDocument document;
    document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
    if (document.Error() || !document.RootElement()) {
        error = "not a level collection: XML error on line " + std::to_string(document.ErrorRow()) + ": " +
                document.ErrorDesc();
        return false;
    }
    for (const TiXmlElement* item = document.RootElement()->FirstChildElement(); item;
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

struct TFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Reads the file as the text family, or as XML when its first text is a tag.
// Lines are read in chunks and kept only up to the longest row a level can
// have, so no file makes one line take more memory than that.
int32_t read_source(const std::string& path, TSource& source, std::string& error) {
    std::unique_ptr<std::FILE, TFileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        error = std::string("cannot open it: ") + std::strerror(errno);
        return IMPORT_NO_INPUT;
    }
    // An XML collection begins with a tag, after a byte order mark or blanks.
    std::string head(256, ' ');
    head.resize(std::fread(&head[0], 1, head.size(), file.get()));
    const size_t first = head.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
    if (first != std::string::npos && head[first] == '<')
        return read_xml(path, source, error) ? IMPORT_OK : IMPORT_NOT_LEVELS;
    std::rewind(file.get());

    TTextCollection text(source);
    std::string line;
    std::vector<char> buffer(1 << 16);
    for (size_t got = buffer.size(); got == buffer.size() && !source.full;) {
        got = std::fread(buffer.data(), 1, buffer.size(), file.get());
        if (std::ferror(file.get())) {
            error = std::string("cannot read it: ") + std::strerror(errno);
            return IMPORT_NO_INPUT;
        }
        if (std::memchr(buffer.data(), '\0', got)) {
            error = "not a level collection: it holds binary data";
            return IMPORT_NOT_LEVELS;
        }
        for (size_t at = 0; at < got && !source.full;) {
            const char* start = buffer.data() + at;
            const char* end = static_cast<const char*>(std::memchr(start, '\n', got - at));
            const size_t size = end ? end - start : got - at;
            line.append(start, std::min(size, static_cast<size_t>(LEVEL_MAX_LINE + 1) - line.size()));
            at += size + 1;
            if (end) {
                text.take(line);
                line.clear();
            }
        }
    }
    // The last line may have no line end.
    if (!line.empty())
        text.take(line);
    text.complete();
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
    while (!source.credits.empty() && source.credits.back().empty())
        source.credits.pop_back();
    for (const std::string& line : source.credits)
        conversion.text += line + "\n";
    conversion.text += (source.credits.empty() ? "" : "\n") + source.levels;
    return conversion;
}
