// Reading a level collection file: line splitting, the reader's states, the
// checks of every level and their messages.
#include "level/level_collection.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <ostream>

namespace {

constexpr size_t READ_CHUNK_SIZE = 1 << 16;

// No screen shows a title, so a hostile one is cut at the bound of a grid
// instead of being held whole.
constexpr size_t TITLE_MAX_LENGTH = static_cast<size_t>(LEVEL_MAX_CELLS);

enum TReadState : int32_t {
    READ_BETWEEN_LEVELS,
    READ_TITLE,
    READ_BEFORE_ROWS,
    READ_IN_ROWS,
};

// What one character of a row stores and counts once the row's first wall
// has been read. The counts are packed into 16-bit fields of one sum, so a
// cell costs one look-up and one addition; rows are summed in pieces short
// enough that no field can overflow.
struct TRowChars {
    int32_t cell[256];
    uint64_t counts[256];
};

constexpr int32_t COUNT_BOX_SHIFT = 0;
constexpr int32_t COUNT_TARGET_SHIFT = 16;
constexpr int32_t COUNT_KEEPER_SHIFT = 32;
constexpr int32_t COUNT_INVALID_SHIFT = 48;
constexpr uint64_t COUNT_FIELD = 0xFFFF;
constexpr int32_t COUNT_PIECE_LENGTH = 0xFFFF;

constexpr TRowChars make_row_chars() {
    TRowChars table = {};
    for (int32_t c = 0; c < 256; ++c) {
        table.cell[c] = CELL_INVALID;
        table.counts[c] = uint64_t{1} << COUNT_INVALID_SHIFT;
    }
    auto set = [&table](unsigned char c, int32_t cell, int32_t boxes, int32_t targets, int32_t keepers) {
        table.cell[c] = cell;
        table.counts[c] = uint64_t(boxes) << COUNT_BOX_SHIFT | uint64_t(targets) << COUNT_TARGET_SHIFT |
                          uint64_t(keepers) << COUNT_KEEPER_SHIFT;
    };
    set(' ', CELL_FLOOR, 0, 0, 0);
    set('#', CELL_WALL, 0, 0, 0);
    set('$', CELL_BOX, 1, 0, 0);
    set('.', CELL_TARGET, 0, 1, 0);
    set('*', CELL_BOX_ON_TARGET, 1, 1, 0);
    set('@', CELL_FLOOR, 0, 0, 1);
    set('+', CELL_TARGET, 0, 1, 1);
    return table;
}

constexpr TRowChars ROW_CHARS = make_row_chars();

// A quotient rather than a product, so that no length of file can overflow it.
bool exceeds_grid(int64_t rows, int64_t width) {
    return rows > 0 && width > LEVEL_MAX_CELLS / rows;
}

struct TFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Splits the bytes of a file into lines and walks the states of the format.
// Only as much of a line is kept as its state can use: the first byte outside
// a level, the title, and rows only while the level can still get a grid.
// That keeps memory bounded by the largest grid whatever the file holds.
class TLevelReader {
public:
    TLevelReader(TLevelCollection& collection, const std::string& file_name, std::ostream& errors)
        : collection(collection), file_name(file_name), errors(errors) {}

    void feed(const char* data, size_t size);
    // The end of the file closes its last line, and a level still in rows
    // is completed as if an empty line followed.
    void finish();
    void report_read_failure();
    // Says how many messages the limit held back, if any.
    void report_hidden();

    int64_t error_count = 0;

private:
    void append(const char* data, size_t size);
    void end_line();
    // One line, of which the first kept bytes are at text; length is the
    // line's whole length, which may be more than was kept.
    void take_line(const char* text, size_t kept, int64_t length);
    void begin_line();
    void add_row(const char* text, size_t kept, int64_t length);
    void drop_rows();
    void complete_level();
    void build_grid();
    void report(const std::string& problem);

    TLevelCollection& collection;
    const std::string& file_name;
    std::ostream& errors;

    TReadState state = READ_BETWEEN_LEVELS;
    int64_t header_count = 0;
    std::unique_ptr<TLevel> level;

    std::string line;
    int64_t line_length = 0;
    size_t line_limit = 1;
    bool pending_cr = false;

    // The rows of the level being read, end to end, and where each ends;
    // kept only while the level can get a grid, so they fit in 32 bits.
    std::string row_text;
    std::vector<uint32_t> row_ends;
    int64_t row_count = 0;
    int64_t row_width = 0;
    bool rows_dropped = false;
    int64_t hidden_count = 0;
};

void TLevelReader::feed(const char* data, size_t size) {
    const char* end = data + size;
    if (pending_cr && data < end) {
        pending_cr = false;
        if (*data != '\n')
            append("\r", 1);
    }
    while (data < end) {
        const char* feed_end = static_cast<const char*>(std::memchr(data, '\n', end - data));
        if (!feed_end) {
            // A carriage return at the end of the chunk belongs to the line
            // end only if the next chunk starts with a line feed.
            size_t size_before = end - data;
            if (end[-1] == '\r') {
                pending_cr = true;
                --size_before;
            }
            append(data, size_before);
            return;
        }
        const char* text_end = feed_end;
        if (text_end > data && text_end[-1] == '\r')
            --text_end;
        const size_t size_before = text_end - data;
        // A line that lies wholly in this chunk is read where it is; only
        // one begun in an earlier chunk is gathered in line first.
        if (line_length == 0) {
            take_line(data, std::min(size_before, line_limit), static_cast<int64_t>(size_before));
        } else {
            append(data, size_before);
            end_line();
        }
        data = feed_end + 1;
    }
}

void TLevelReader::finish() {
    if (pending_cr) {
        pending_cr = false;
        append("\r", 1);
    }
    // Like a reading loop that stops at the end of the file: the text behind
    // the last line feed is one more line, empty when the file ends with one.
    end_line();
    if (state == READ_IN_ROWS)
        complete_level();
    level.reset();
}

void TLevelReader::report_read_failure() {
    errors << ("TLevelCollection.import: " + file_name + ": read error\n");
    errors.flush();
    ++error_count;
}

void TLevelReader::append(const char* data, size_t size) {
    line_length += static_cast<int64_t>(size);
    if (line.size() < line_limit)
        line.append(data, std::min(size, line_limit - line.size()));
}

void TLevelReader::end_line() {
    take_line(line.data(), line.size(), line_length);
}

void TLevelReader::take_line(const char* text, size_t kept, int64_t length) {
    const bool empty = length == 0;
    switch (state) {
    case READ_BETWEEN_LEVELS:
        if (!empty && text[0] == ';') {
            ++header_count;
            level = std::make_unique<TLevel>();
            // Only a file of many gigabytes reaches the end of a level number.
            level->set_number(static_cast<int32_t>(std::min<int64_t>(header_count, INT32_MAX)));
            state = READ_TITLE;
        }
        break;
    case READ_TITLE:
        if (!empty && text[0] == '\'')
            level->name.assign(text, kept);
        state = READ_BEFORE_ROWS;
        break;
    case READ_BEFORE_ROWS:
        if (!empty) {
            add_row(text, kept, length);
            state = READ_IN_ROWS;
        }
        break;
    case READ_IN_ROWS:
        if (empty) {
            complete_level();
            state = READ_BETWEEN_LEVELS;
        } else {
            add_row(text, kept, length);
        }
        break;
    }
    begin_line();
}

void TLevelReader::begin_line() {
    line.clear();
    line_length = 0;
    switch (state) {
    case READ_BETWEEN_LEVELS:
        line_limit = 1;
        break;
    case READ_TITLE:
        line_limit = TITLE_MAX_LENGTH;
        break;
    case READ_BEFORE_ROWS:
    case READ_IN_ROWS:
        // A longer row would leave the level no grid whatever follows, so
        // its text is of no use; its length alone decides the message.
        line_limit = rows_dropped ? 1 : static_cast<size_t>(LEVEL_MAX_CELLS / std::max<int64_t>(row_count + 1, 3));
        break;
    }
}

void TLevelReader::add_row(const char* text, size_t kept, int64_t length) {
    ++row_count;
    row_width = std::max(row_width, length);
    if (rows_dropped)
        return;
    const bool whole = static_cast<int64_t>(kept) == length;
    if (!whole || exceeds_grid(std::max<int64_t>(row_count, 3), std::max<int64_t>(row_width, 3))) {
        drop_rows();
        return;
    }
    row_text.append(text, kept);
    row_ends.push_back(static_cast<uint32_t>(row_text.size()));
}

void TLevelReader::drop_rows() {
    rows_dropped = true;
    std::string().swap(row_text);
    std::vector<uint32_t>().swap(row_ends);
}

void TLevelReader::complete_level() {
    // A level that cannot get a grid gets this one message and none for its
    // cells: those of a huge level could run to millions of lines. Too large
    // is judged first, so that a single endless row is called what it is.
    if (exceeds_grid(row_count, row_width))
        report("level is too large");
    else if (row_count < 3 || row_width < 3)
        report("level is smaller than 3 x 3");
    else
        build_grid();
    level.reset();
    row_text.clear();
    row_ends.clear();
    row_count = 0;
    row_width = 0;
    rows_dropped = false;
}

void TLevelReader::build_grid() {
    if (level->create(static_cast<int32_t>(row_width), static_cast<int32_t>(row_count)) != 0) {
        report("level is too large");
        return;
    }
    // A level is read once per start of the game, and a large collection
    // holds millions of cells, so each cell is a look-up, a store and an
    // addition.
    int32_t keepers = 0;
    int32_t targets = 0;
    int32_t boxes = 0;
    int32_t* const cells = level->cells.get();
    const int64_t width = level->width;
    size_t row_begin = 0;
    for (int32_t y = 0; y < row_count; ++y) {
        const size_t row_end = row_ends[y];
        const int32_t length = static_cast<int32_t>(row_end - row_begin);
        const unsigned char* row = reinterpret_cast<const unsigned char*>(row_text.data()) + row_begin;
        int32_t* out = cells + y * width;
        int32_t invalid = 0;
        // Before the first wall only floor may stand.
        int32_t x = 0;
        for (; x < length && row[x] != '#'; ++x) {
            const bool space = row[x] == ' ';
            out[x] = space ? CELL_FLOOR : CELL_INVALID;
            invalid += !space;
        }
        const int32_t keepers_before = keepers;
        while (x < length) {
            const int32_t piece_end = x + std::min(length - x, COUNT_PIECE_LENGTH);
            uint64_t sum = 0;
            for (; x < piece_end; ++x) {
                const unsigned char c = row[x];
                out[x] = ROW_CHARS.cell[c];
                sum += ROW_CHARS.counts[c];
            }
            boxes += static_cast<int32_t>(sum >> COUNT_BOX_SHIFT & COUNT_FIELD);
            targets += static_cast<int32_t>(sum >> COUNT_TARGET_SHIFT & COUNT_FIELD);
            keepers += static_cast<int32_t>(sum >> COUNT_KEEPER_SHIFT & COUNT_FIELD);
            invalid += static_cast<int32_t>(sum >> COUNT_INVALID_SHIFT & COUNT_FIELD);
        }
        if (length > 0 && out[length - 1] != CELL_WALL) {
            invalid += out[length - 1] != CELL_INVALID;
            out[length - 1] = CELL_INVALID;
        }
        // With several keepers the start is the last one in row order.
        if (keepers != keepers_before) {
            int32_t last = length - 1;
            while (row[last] != '@' && row[last] != '+')
                --last;
            level->set_start(last, y);
        }
        // Every message of a row reads the same, so only their number matters.
        if (invalid > 0) {
            const std::string problem = "error on line " + std::to_string(y + 1);
            for (int32_t i = 0; i < invalid; ++i)
                report(problem);
        }
        row_begin = row_end;
    }
    if (keepers != 1)
        report("there must be one guy");
    if (targets != boxes)
        report("number of targets does not match number of boxes");
    if (boxes < 1)
        report("has no boxes");
    level->mark_outside();
    collection.levels.push_back(std::move(level));
}

void TLevelReader::report(const std::string& problem) {
    ++error_count;
    // A damaged or binary file would otherwise print one line per bad byte,
    // millions of them, at every start; the first ones tell the author enough.
    if (error_count > IMPORT_MESSAGE_LIMIT) {
        ++hidden_count;
        return;
    }
    errors << ("TLevelCollection.import: " + file_name + ": level " + std::to_string(level->number) + ": " + problem +
               "\n");
    errors.flush();
}

void TLevelReader::report_hidden() {
    if (hidden_count == 0)
        return;
    errors << ("TLevelCollection.import: " + file_name + ": " + std::to_string(hidden_count) +
               " more errors not shown\n");
    errors.flush();
}

}  // namespace

int32_t TLevelCollection::import(const std::string& directory, const std::string& file_name) {
    return import(directory, file_name, std::cerr);
}

int32_t TLevelCollection::import(const std::string& directory, const std::string& file_name, std::ostream& errors) {
    clear();
    const std::string path = directory + file_name;
    // Binary, so that line ends are ours to judge on every platform.
    std::unique_ptr<std::FILE, TFileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        errors << ("Error: Could not open level file ( " + path + ")\n");
        errors.flush();
        return -1;
    }
    name = file_name;
    TLevelReader reader(*this, file_name, errors);
    std::vector<char> buffer(READ_CHUNK_SIZE);
    for (;;) {
        const size_t got = std::fread(buffer.data(), 1, buffer.size(), file.get());
        reader.feed(buffer.data(), got);
        if (got == READ_CHUNK_SIZE)
            continue;
        // A failed read (a directory opens but cannot be read) ends the file
        // here; the level it was in the middle of is incomplete and dropped.
        if (std::ferror(file.get()))
            reader.report_read_failure();
        else
            reader.finish();
        break;
    }
    reader.report_hidden();
    return reader.error_count == 0 ? 0 : -2;
}

void TLevelCollection::clear() {
    levels.clear();
}
