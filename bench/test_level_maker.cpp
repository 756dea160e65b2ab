// The made-up levels every benchmark and bench/measure.sh rely on: they must
// read without a single error, or a benchmark measures a rejected file.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "bench/level_maker.h"
#include "bench/scratch_dir.h"
#include "level/level_collection.h"

namespace {

int32_t read_text(const std::string& text, TLevelCollection& collection, std::ostringstream& messages) {
    TScratchDir dir;
    write_text_file(dir.path + "/set", text);
    return collection.import(dir.path + "/", "set", messages);
}

}  // namespace

TEST(LevelMaker, ManyLevelsReadWithoutErrors) {
    TLevelMaker maker;
    TLevelCollection collection;
    std::ostringstream messages;
    EXPECT_EQ(read_text(maker.collection_of_count(2000), collection, messages), 0);
    EXPECT_EQ(messages.str(), "");
    ASSERT_EQ(collection.levels.size(), 2000u);
    std::set<std::pair<int32_t, int32_t>> sizes;
    bool outside = false;
    for (const auto& level : collection.levels) {
        EXPECT_GE(level->width, 7);
        EXPECT_LE(level->width, 22);
        EXPECT_GE(level->height, 6);
        EXPECT_LE(level->height, 16);
        sizes.emplace(level->width, level->height);
        for (int32_t y = 0; y < level->height; ++y)
            outside = outside || level->get(0, y) == CELL_OUTSIDE;
        // The keeper can step back and forth.
        EXPECT_EQ(level->get(level->start_x - 1, level->start_y), CELL_FLOOR);
        EXPECT_EQ(level->get(level->start_x + 1, level->start_y), CELL_FLOOR);
    }
    EXPECT_GT(sizes.size(), 100u) << "the sizes should vary";
    EXPECT_TRUE(outside) << "some rows should start with outside";
}

TEST(LevelMaker, BoardsOfEveryDrawnSizeReadWithoutErrors) {
    TLevelMaker maker;
    for (const auto& [width, height] : {std::pair{16, 10}, std::pair{38, 19}, std::pair{5, 5}}) {
        TLevelCollection collection;
        std::ostringstream messages;
        EXPECT_EQ(read_text(maker.level(1, width, height), collection, messages), 0) << messages.str();
        ASSERT_EQ(collection.levels.size(), 1u);
        EXPECT_EQ(collection.levels[0]->width, width);
        EXPECT_EQ(collection.levels[0]->height, height);
    }
}

TEST(LevelMaker, TheSameSeedMakesTheSameBytes) {
    const std::string first = TLevelMaker(5).collection_of_size(100000);
    EXPECT_GE(first.size(), 100000u);
    EXPECT_EQ(TLevelMaker(5).collection_of_size(100000), first);
    EXPECT_NE(TLevelMaker(6).collection_of_size(100000), first);
}
