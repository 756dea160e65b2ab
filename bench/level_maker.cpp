// Made-up level collections for the benchmarks.
#include "bench/level_maker.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Most published levels lie within these sizes, and the reader's cost per
// byte depends on the mix of short and long rows.
constexpr int32_t MAKER_MIN_WIDTH = 7;
constexpr int32_t MAKER_MAX_WIDTH = 22;
constexpr int32_t MAKER_MIN_HEIGHT = 6;
constexpr int32_t MAKER_MAX_HEIGHT = 16;
constexpr int32_t MAKER_MAX_INDENT = 3;
// Per cent of the inner floor turned into wall.
constexpr int32_t MAKER_INNER_WALLS = 12;
const char* const MAKER_PREAMBLE = "Made-up levels for measuring the reader.\n\n";

}  // namespace

TLevelMaker::TLevelMaker(uint32_t seed) : random(seed) {
}

int32_t TLevelMaker::pick(int32_t low, int32_t high) {
    return std::uniform_int_distribution<int32_t>(low, high)(random);
}

std::string TLevelMaker::level(int32_t number, int32_t width, int32_t height) {
    // Rows start at a ragged left edge, as real levels do, so that the
    // outside fill has spaces to turn into outside. Where the edge moves
    // between two rows, the row with the smaller indent is walled across
    // the step so the level stays closed.
    std::vector<int32_t> indent(height);
    for (int32_t& each : indent)
        each = width > 8 ? pick(0, MAKER_MAX_INDENT) : 0;
    std::vector<std::string> rows(height);
    for (int32_t y = 0; y < height; ++y) {
        std::string& row = rows[y];
        row.assign(width, ' ');
        const bool edge_row = y == 0 || y == height - 1;
        for (int32_t x = indent[y]; x < width; ++x)
            row[x] = edge_row || x == indent[y] || x == width - 1 ? '#' : ' ';
    }
    for (int32_t y = 0; y + 1 < height; ++y) {
        const int32_t low = std::min(indent[y], indent[y + 1]);
        const int32_t high = std::max(indent[y], indent[y + 1]);
        std::string& row = rows[indent[y] < indent[y + 1] ? y : y + 1];
        for (int32_t x = low; x <= high; ++x)
            row[x] = '#';
    }

    std::vector<std::pair<int32_t, int32_t>> floor;
    for (int32_t y = 1; y + 1 < height; ++y)
        for (int32_t x = 1; x + 1 < width; ++x)
            if (rows[y][x] == ' ' && x > indent[y])
                floor.emplace_back(x, y);
    std::shuffle(floor.begin(), floor.end(), random);

    // The keeper first, between two floor cells that nothing else may take.
    size_t next = 0;
    for (; next < floor.size(); ++next) {
        const auto [x, y] = floor[next];
        if (rows[y][x - 1] == ' ' && rows[y][x + 1] == ' ' && x - 1 > indent[y])
            break;
    }
    const auto [keeper_x, keeper_y] = floor[next < floor.size() ? next : 0];
    rows[keeper_y][keeper_x] = '@';
    auto reserved = [&](int32_t x, int32_t y) { return y == keeper_y && x >= keeper_x - 1 && x <= keeper_x + 1; };

    const int32_t boxes = std::max<int32_t>(1, static_cast<int32_t>(floor.size()) / 12);
    int32_t placed_boxes = 0;
    int32_t placed_targets = 0;
    int32_t walls = static_cast<int32_t>(floor.size()) * MAKER_INNER_WALLS / 100;
    for (const auto& [x, y] : floor) {
        if (reserved(x, y))
            continue;
        char& cell = rows[y][x];
        if (placed_boxes < boxes) {
            cell = placed_boxes % 5 == 4 ? '*' : '$';
            placed_targets += cell == '*';
            ++placed_boxes;
        } else if (placed_targets < boxes) {
            cell = '.';
            ++placed_targets;
        } else if (walls > 0) {
            cell = '#';
            --walls;
        }
    }

    std::string text = ";" + std::to_string(number) + "\n'Made-up level " + std::to_string(number) + "\n";
    for (const std::string& row : rows)
        text += row + "\n";
    text += "\n";
    return text;
}

std::string TLevelMaker::any_level(int32_t number) {
    const int32_t width = pick(MAKER_MIN_WIDTH, MAKER_MAX_WIDTH);
    const int32_t height = pick(MAKER_MIN_HEIGHT, MAKER_MAX_HEIGHT);
    return level(number, width, height);
}

std::string TLevelMaker::collection_of_size(size_t min_bytes) {
    std::string text = MAKER_PREAMBLE;
    text.reserve(min_bytes + 1024);
    for (int32_t number = 1; text.size() < min_bytes; ++number)
        text += any_level(number);
    return text;
}

std::string TLevelMaker::collection_of_count(int32_t count) {
    std::string text = MAKER_PREAMBLE;
    for (int32_t number = 1; number <= count; ++number)
        text += any_level(number);
    return text;
}

bool write_text_file(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}
