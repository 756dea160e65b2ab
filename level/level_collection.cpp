// Reading a level collection file: its lines, the reader's states, each level's checks and messages.
#include "level/level_collection.h"

#include <algorithm>
#include <cerrno>
#include <iostream>
#include <string_view>

#include "level/text_file.h"

namespace {

// What a row character stores once the row's first wall is behind it; every
// byte but these seven is invalid.
int32_t cell_of(char c) {
    switch (c) {
    case ' ':
    case '@':
        return CELL_FLOOR;
    case '#':
        return CELL_WALL;
    case '$':
        return CELL_BOX;
    case '.':
    case '+':
        return CELL_TARGET;
    case '*':
        return CELL_BOX_ON_TARGET;
    default:
        return CELL_INVALID;
    }
}

// The states of the format over the lines of one file, and the checks of
// every level as it is completed.
struct TLevelReader {
    TLevelReader(TLevelCollection& collection, std::ostream& errors) : collection(collection), errors(errors) {}

    TLevelCollection& collection;
    std::ostream& errors;

    enum { BETWEEN_LEVELS, TITLE, BEFORE_ROWS, IN_ROWS } state = BETWEEN_LEVELS;
    int64_t header_count = 0;
    int32_t number = 0;
    std::string title;
    // The rows of the level being read, each ended by a line feed; kept
    // only while the level can still get a grid.
    std::string rows;
    int64_t row_count = 0;
    int64_t width = 0;
    bool too_large = false;
    int64_t error_count = 0;

    void take_line(std::string_view line) {
        const int64_t length = static_cast<int64_t>(line.size());
        if (state == BETWEEN_LEVELS && length > 0 && line[0] == ';') {
            // Only a file of many gigabytes reaches the end of a level number.
            number = static_cast<int32_t>(std::min<int64_t>(++header_count, INT32_MAX));
            title.clear();
            state = TITLE;
        } else if (state == TITLE) {
            if (length > 0 && line[0] == '\'')
                title = std::string(line);
            state = BEFORE_ROWS;
        } else if ((state == BEFORE_ROWS || state == IN_ROWS) && length > 0) {
            add_row(line);
            state = IN_ROWS;
        } else if (state == IN_ROWS) {
            complete_level();
            state = BETWEEN_LEVELS;
        }
    }

    void add_row(std::string_view line) {
        ++row_count;
        width = std::max(width, static_cast<int64_t>(line.size()));
        // A quotient rather than a product, so that no file can overflow it;
        // a grid has at least three rows, so one row can be too long alone.
        // Once too large, a level stays so, as its width only grows.
        too_large = width > LEVEL_MAX_CELLS / std::max<int64_t>(row_count, 3);
        if (!too_large)
            rows.append(line).push_back('\n');
    }

    void complete_level() {
        // A level without a grid gets one message and none for its cells,
        // which could run to millions. Too large is judged first, so that a
        // single endless row is called what it is.
        if (too_large)
            report_level("level is too large");
        else if (row_count < 3 || width < 3)
            report_level("level is smaller than 3 x 3");
        else
            build_level();
        rows.clear();
        row_count = width = 0;
        too_large = false;
    }

    void build_level() {
        auto level = std::make_unique<TLevel>();
        if (level->create(static_cast<int32_t>(width), static_cast<int32_t>(row_count)) != 0) {
            report_level("level is too large");
            return;
        }
        level->set_number(number);
        level->set_name(title);
        int32_t keepers = 0, targets = 0, boxes = 0;
        size_t begin = 0;
        for (int32_t y = 0; y < level->height; ++y) {
            const int32_t length = static_cast<int32_t>(rows.find('\n', begin) - begin);
            bool inside = false;
            for (int32_t x = 0; x < length; ++x) {
                const char c = rows[begin + x];
                int32_t cell = cell_of(c);
                // Before the row's first wall only floor may stand.
                inside = inside || c == '#';
                if (!inside && c != ' ')
                    cell = CELL_INVALID;
                boxes += cell == CELL_BOX || cell == CELL_BOX_ON_TARGET;
                targets += cell == CELL_TARGET || cell == CELL_BOX_ON_TARGET;
                if (cell != CELL_INVALID && (c == '@' || c == '+')) {
                    ++keepers;
                    level->set_start(x, y);
                }
                // Every row ends in a wall.
                if (x == length - 1 && cell != CELL_WALL)
                    cell = CELL_INVALID;
                if (cell == CELL_INVALID)
                    report_level("error on line", y + 1);
                level->set(x, y, cell);
            }
            begin += length + 1;
        }
        if (keepers != 1)
            report_level("there must be one guy");
        if (targets != boxes)
            report_level("number of targets does not match number of boxes");
        if (boxes < 1)
            report_level("has no boxes");
        level->mark_outside();
        collection.levels.push_back(std::move(level));
    }

    void report(const std::string& problem) {
        errors << ("TLevelCollection.import: " + collection.name + ": " + problem + "\n");
        errors.flush();
    }

    // A damaged or binary file would otherwise print one line per bad byte,
    // millions of them, at every start; the first ones tell the author
    // enough, and the rest are only counted, their text never made.
    void report_level(const char* problem, int32_t row = 0) {
        if (++error_count <= IMPORT_MESSAGE_LIMIT)
            report("level " + std::to_string(number) + ": " + problem + (row > 0 ? " " + std::to_string(row) : ""));
    }
};

}  // namespace

int32_t TLevelCollection::import(const std::string& directory, const std::string& file_name) {
    return import(directory, file_name, std::cerr);
}

int32_t TLevelCollection::import(const std::string& directory, const std::string& file_name, std::ostream& errors) {
    clear();
    const std::string path = directory + file_name;
    const std::optional<std::string> text = read_text_file(path, LEVEL_MAX_FILE_SIZE);
    if (!text) {
        errors << ("Error: Could not open level file ( " + path + ")" +
                   (errno == EFBIG ? ": larger than " + std::to_string(LEVEL_MAX_FILE_SIZE >> 20) + " MB" : "") + "\n");
        errors.flush();
        return -1;
    }
    return import_text(*text, file_name, errors);
}

// Line ends are LF or CR LF. The text behind the last line feed is one more
// line, and the end of the text reads as an empty line, which completes a
// level still in rows.
int32_t TLevelCollection::import_text(const std::string& text, const std::string& text_name, std::ostream& errors) {
    clear();
    name = text_name;
    TLevelReader reader(*this, errors);
    for (size_t begin = 0; begin <= text.size();) {
        const size_t end = std::min(text.find('\n', begin), text.size());
        std::string_view line(text.data() + begin, end - begin);
        if (end < text.size() && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        reader.take_line(line);
        begin = end + 1;
    }
    reader.take_line("");
    if (reader.error_count > IMPORT_MESSAGE_LIMIT)
        reader.report(std::to_string(reader.error_count - IMPORT_MESSAGE_LIMIT) + " more errors not shown");
    return reader.error_count == 0 ? 0 : -2;
}

void TLevelCollection::clear() {
    levels.clear();
}
