// Reading a level collection file: its lines, the reader's states, each level's checks and messages.
#include "level/level_collection.h"

#include <algorithm>
#include <cstdio>
#include <iostream>

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

// Reads one line into line without its line end, LF or CR LF. Only the
// first LEVEL_MAX_LINE bytes are kept, as a longer row can never fit a grid;
// length is the line's whole length. False when the file ended (or failed)
// before a line feed. One thread reads a file, so its bytes are taken
// without a lock each.
bool read_line(std::FILE* file, std::string& line, int64_t& length) {
    line.clear();
    length = 0;
    int c = EOF, last = EOF;
    while ((c = getc_unlocked(file)) != EOF && c != '\n') {
        if (length < LEVEL_MAX_LINE)
            line.push_back(static_cast<char>(c));
        ++length;
        last = c;
    }
    if (c == '\n' && last == '\r') {
        --length;
        line.resize(static_cast<size_t>(std::min(length, LEVEL_MAX_LINE)));
    }
    return c == '\n';
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

    void take_line(const std::string& line, int64_t length) {
        if (state == BETWEEN_LEVELS && length > 0 && line[0] == ';') {
            // Only a file of many gigabytes reaches the end of a level number.
            number = static_cast<int32_t>(std::min<int64_t>(++header_count, INT32_MAX));
            title.clear();
            state = TITLE;
        } else if (state == TITLE) {
            if (length > 0 && line[0] == '\'')
                title = line;
            state = BEFORE_ROWS;
        } else if ((state == BEFORE_ROWS || state == IN_ROWS) && length > 0) {
            add_row(line, length);
            state = IN_ROWS;
        } else if (state == IN_ROWS) {
            complete_level();
            state = BETWEEN_LEVELS;
        }
    }

    void add_row(const std::string& line, int64_t length) {
        ++row_count;
        width = std::max(width, length);
        // A quotient rather than a product, so that no file can overflow it.
        too_large = too_large || length > LEVEL_MAX_LINE || width > LEVEL_MAX_CELLS / row_count;
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

// Reads the open file to its end into the collection and closes it.
int32_t read_all(TLevelCollection& collection, std::FILE* file, const std::string& name, std::ostream& errors) {
    collection.name = name;
    TLevelReader reader(collection, errors);
    std::string line;
    int64_t length = 0;
    while (read_line(file, line, length))
        reader.take_line(line, length);
    // A directory opens but cannot be read; the level a failed read
    // interrupts is incomplete and dropped. Otherwise the text behind the
    // last line feed is one more line, and the end of the file reads as an
    // empty line, which completes a level still in rows.
    const bool read_failed = std::ferror(file);
    std::fclose(file);
    if (read_failed) {
        reader.report("read error");
    } else {
        reader.take_line(line, length);
        reader.take_line("", 0);
    }
    if (reader.error_count > IMPORT_MESSAGE_LIMIT)
        reader.report(std::to_string(reader.error_count - IMPORT_MESSAGE_LIMIT) + " more errors not shown");
    return reader.error_count == 0 && !read_failed ? 0 : -2;
}

}  // namespace

int32_t TLevelCollection::import(const std::string& directory, const std::string& file_name) {
    return import(directory, file_name, std::cerr);
}

int32_t TLevelCollection::import(const std::string& directory, const std::string& file_name, std::ostream& errors) {
    clear();
    const std::string path = directory + file_name;
    // Binary, so that line ends are ours to judge on every platform.
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        errors << ("Error: Could not open level file ( " + path + ")\n");
        errors.flush();
        return -1;
    }
    return read_all(*this, file, file_name, errors);
}

int32_t TLevelCollection::import_text(const std::string& text, const std::string& text_name, std::ostream& errors) {
    clear();
    std::FILE* file = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    return file ? read_all(*this, file, text_name, errors) : -1;
}

void TLevelCollection::clear() {
    levels.clear();
}
