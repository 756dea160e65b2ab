// Fuzz target: any bytes as a level collection file. The reader must finish,
// and what it keeps and says must match a plain line-by-line reading of the
// format, wherever its read chunks happen to split the file.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz_scratch.h"
#include "level/level_collection.h"

namespace {

// The reader takes files in chunks of this size; a padding line in front of
// the input moves a chunk boundary into it.
constexpr size_t READ_CHUNK_SIZE = 1 << 16;

struct TExpectedLevel {
    int32_t number = 0;
    std::string name;
    int32_t width = 0;
    int32_t height = 0;
    int32_t start_x = 0;
    int32_t start_y = 0;
    std::vector<int32_t> cells;
};

struct TExpected {
    std::string messages;
    std::vector<TExpectedLevel> levels;
};

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "level reader mismatch: %s\n", what);
    std::abort();
}

void mark_outside(TExpectedLevel& level) {
    std::vector<int32_t> stack;
    auto visit = [&](int32_t x, int32_t y) {
        if (x < 0 || y < 0 || x >= level.width || y >= level.height)
            return;
        int32_t& cell = level.cells[y * level.width + x];
        if (cell != CELL_FLOOR)
            return;
        cell = CELL_OUTSIDE;
        stack.push_back(y * level.width + x);
    };
    for (int32_t x = 0; x < level.width; ++x) {
        visit(x, 0);
        visit(x, level.height - 1);
    }
    for (int32_t y = 0; y < level.height; ++y) {
        visit(0, y);
        visit(level.width - 1, y);
    }
    while (!stack.empty()) {
        const int32_t index = stack.back();
        stack.pop_back();
        const int32_t x = index % level.width;
        const int32_t y = index / level.width;
        visit(x - 1, y);
        visit(x + 1, y);
        visit(x, y - 1);
        visit(x, y + 1);
    }
}

// The format read the simple way, one whole line at a time, for inputs far
// below every size limit of the real reader.
TExpected read_plainly(const std::string& file_name, const std::string& text) {
    TExpected expected;
    std::vector<std::string> lines;
    size_t begin = 0;
    for (;;) {
        const size_t end = text.find('\n', begin);
        if (end == std::string::npos) {
            lines.push_back(text.substr(begin));
            break;
        }
        std::string line = text.substr(begin, end - begin);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        begin = end + 1;
    }

    enum { BETWEEN, TITLE, BEFORE_ROWS, IN_ROWS } state = BETWEEN;
    int32_t headers = 0;
    TExpectedLevel level;
    std::vector<std::string> rows;
    int64_t reported = 0;
    auto report = [&](const std::string& problem) {
        if (++reported > IMPORT_MESSAGE_LIMIT)
            return;
        expected.messages +=
            "TLevelCollection.import: " + file_name + ": level " + std::to_string(level.number) + ": " + problem + "\n";
    };
    auto complete = [&] {
        size_t width = 0;
        for (const auto& row : rows)
            width = std::max(width, row.size());
        if (rows.size() < 3 || width < 3) {
            report("level is smaller than 3 x 3");
            rows.clear();
            return;
        }
        level.width = static_cast<int32_t>(width);
        level.height = static_cast<int32_t>(rows.size());
        level.cells.assign(width * rows.size(), CELL_FLOOR);
        int32_t keepers = 0, targets = 0, boxes = 0;
        for (int32_t y = 0; y < level.height; ++y) {
            const std::string& row = rows[y];
            bool inside = false;
            for (int32_t x = 0; x < static_cast<int32_t>(row.size()); ++x) {
                const char c = row[x];
                int32_t code = CELL_INVALID;
                if (c == ' ')
                    code = CELL_FLOOR;
                else if (c == '#')
                    code = CELL_WALL, inside = true;
                else if (inside && c == '$')
                    code = CELL_BOX, ++boxes;
                else if (inside && c == '.')
                    code = CELL_TARGET, ++targets;
                else if (inside && c == '*')
                    code = CELL_BOX_ON_TARGET, ++boxes, ++targets;
                else if (inside && (c == '@' || c == '+')) {
                    code = c == '@' ? CELL_FLOOR : CELL_TARGET;
                    ++keepers;
                    targets += c == '+';
                    level.start_x = x;
                    level.start_y = y;
                }
                if (x + 1 == static_cast<int32_t>(row.size()) && code != CELL_WALL)
                    code = CELL_INVALID;
                if (code == CELL_INVALID)
                    report("error on line " + std::to_string(y + 1));
                level.cells[y * level.width + x] = code;
            }
        }
        if (keepers != 1)
            report("there must be one guy");
        if (targets != boxes)
            report("number of targets does not match number of boxes");
        if (boxes < 1)
            report("has no boxes");
        mark_outside(level);
        expected.levels.push_back(level);
        rows.clear();
    };

    for (const std::string& line : lines) {
        switch (state) {
        case BETWEEN:
            if (!line.empty() && line[0] == ';') {
                level = TExpectedLevel();
                level.number = ++headers;
                state = TITLE;
            }
            break;
        case TITLE:
            if (!line.empty() && line[0] == '\'')
                level.name = line;
            state = BEFORE_ROWS;
            break;
        case BEFORE_ROWS:
            if (!line.empty()) {
                rows.push_back(line);
                state = IN_ROWS;
            }
            break;
        case IN_ROWS:
            if (line.empty()) {
                complete();
                state = BETWEEN;
            } else {
                rows.push_back(line);
            }
            break;
        }
    }
    if (state == IN_ROWS)
        complete();
    if (reported > IMPORT_MESSAGE_LIMIT)
        expected.messages += "TLevelCollection.import: " + file_name + ": " +
                             std::to_string(reported - IMPORT_MESSAGE_LIMIT) + " more errors not shown\n";
    return expected;
}

void compare(const TLevelCollection& collection, const TExpected& expected) {
    if (collection.levels.size() != expected.levels.size())
        fail("level count");
    for (size_t i = 0; i < expected.levels.size(); ++i) {
        const TLevel& got = *collection.levels[i];
        const TExpectedLevel& want = expected.levels[i];
        if (got.number != want.number || got.name != want.name)
            fail("level number or title");
        if (got.width != want.width || got.height != want.height || !got.cells)
            fail("grid size");
        if (got.start_x != want.start_x || got.start_y != want.start_y)
            fail("keeper start");
        if (!std::equal(want.cells.begin(), want.cells.end(), got.cells.get()))
            fail("cells");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string directory = scratch_directory("level");
    static const std::string file_name = "collection";

    // A first byte of 1 modulo 8 pads the rest so that the reader's first
    // chunk ends within it, at an offset chosen by the next two bytes. Only
    // some inputs pay for the padding, so the fuzzer keeps its pace.
    std::string text;
    if (size >= 3 && (data[0] & 7) == 1) {
        const std::string rest(reinterpret_cast<const char*>(data) + 3, size - 3);
        const size_t cut = (data[1] | (data[2] << 8)) % (rest.size() + 1);
        const size_t padding = READ_CHUNK_SIZE - cut;
        text = std::string(padding - 1, 'x') + "\n" + rest;
    } else {
        text.assign(reinterpret_cast<const char*>(data), size);
    }

    const std::string path = directory + file_name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        std::abort();
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);

    TLevelCollection collection;
    std::ostringstream messages;
    const int32_t result = collection.import(directory, file_name, messages);
    const TExpected expected = read_plainly(file_name, text);
    if (messages.str() != expected.messages)
        fail("messages");
    if (result != (expected.messages.empty() ? 0 : -2))
        fail("result");
    if (collection.name != file_name)
        fail("collection name");
    compare(collection, expected);
    return 0;
}
