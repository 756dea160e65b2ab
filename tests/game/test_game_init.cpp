// The game object's start and end: fonts, the scan of levels/, tile sets,
// background and scores.xml.
#include <vector>

#include "game_fixture.h"

namespace {

std::vector<std::string> names_of(const TGame& game) {
    std::vector<std::string> names;
    for (const auto& each : game.collections)
        names.push_back(each->name);
    return names;
}

const char* const SCORES = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<Collection name=\"default\">\n"
                           "    <Level nr=\"1\" moves=\"9\" pushes=\"1\" />\n</Collection>\n";

}  // namespace

TEST_F(GameTest, MissingFontsEndTheProcess) {
    fs::remove("gfx/vera.ttf");
    EXPECT_EXIT(TGame(), ::testing::ExitedWithCode(32), "^Error: could not load vera\\.ttf\n$");
    fs::remove("gfx/base02.ttf");
    EXPECT_EXIT(TGame(), ::testing::ExitedWithCode(31), "^Error: could not load base02\\.ttf\n$");
}

TEST_F(GameTest, WithoutAReadableCollectionInitFails) {
    write_file("levels/broken", ";1\n\n#####\n#@$ #\n#####\n");
    fs::create_directory("levels/sub");
    add_tiny_collection("sub/inner");
    make_game();
    testing::internal::CaptureStderr();
    EXPECT_EQ(INIT_NO_COLLECTIONS, game->init());
    EXPECT_EQ("TLevelCollection.import: broken: level 1: number of targets does not match number of boxes\n"
              "Error: no level collections found\n",
              testing::internal::GetCapturedStderr());
    EXPECT_EQ(nullptr, game->collection);
}

TEST_F(GameTest, AMissingTileSetStopsTheLoadingWithItsCode) {
    const char* files[] = {"gfx/skin50.bmp", "gfx/skin40.bmp", "gfx/skin30.bmp", "gfx/skin20.bmp", "gfx/skin12.bmp"};
    add_tiny_collection("default");
    write_file("scores.xml", SCORES);
    for (int32_t i = 0; i < SKIN_COUNT; ++i) {
        SCOPED_TRACE(files[i]);
        fs::rename(files[i], "gfx/moved.bmp");
        make_game();
        testing::internal::CaptureStderr();
        EXPECT_EQ(INIT_SKIN50_FAILED - i, game->init());
        EXPECT_EQ(std::string("load_image: error opening ") + files[i] + "\n", testing::internal::GetCapturedStderr());
        if (i > 0) {
            EXPECT_NE(nullptr, game->skins[i - 1].tiles[0]);
        }
        EXPECT_EQ(nullptr, game->background);
        EXPECT_TRUE(game->highscore.collection_scores.empty());
        fs::rename("gfx/moved.bmp", files[i]);
        game->font_big.close();
        game->font_small.close();
        game.reset();
        // A game that never read scores.xml must not replace it with its empty store.
        EXPECT_EQ(SCORES, read_file("scores.xml"));
    }
}

TEST_F(GameTest, InitLoadsTileSetsBackgroundAndScores) {
    add_tiny_collection("default");
    write_file("scores.xml", SCORES);
    start_game();
    EXPECT_EQ(&game->skins[0], game->skin);
    const int32_t sizes[SKIN_COUNT] = {50, 40, 30, 20, 12};
    for (int32_t i = 0; i < SKIN_COUNT; ++i)
        EXPECT_EQ(sizes[i], game->skins[i].tile_height);
    EXPECT_NE(nullptr, game->background);
    TScore score;
    EXPECT_TRUE(game->highscore.get_score("default", 1, score));
    EXPECT_EQ(-1, game->level_nr);
}

TEST_F(GameTest, TheFirstEightyFilesInByteOrderAreRead) {
    for (int32_t i = 84; i >= 0; --i)
        add_tiny_collection("c" + std::to_string(100 + i));
    for (const char* name : {"\xc3\xa9t\xc3\xa9", "a", "_x", "B"})
        add_tiny_collection(name);
    start_game();
    const std::vector<std::string> names = names_of(*game);
    ASSERT_EQ(80u, names.size());
    EXPECT_EQ((std::vector<std::string>{"B", "_x", "a", "c100"}),
              std::vector<std::string>(names.begin(), names.begin() + 4));
    EXPECT_EQ("c176", names.back());
    EXPECT_EQ("B", game->collection->name);
}

TEST_F(GameTest, OnlyRegularFilesAndOnlyTheExactNameDefault) {
    add_tiny_collection("default.lvl");
    add_tiny_collection("Default");
    fs::create_directory("levels/default");
    add_tiny_collection("../elsewhere");
    fs::create_symlink("../elsewhere", "levels/linked");
    fs::create_symlink("../nowhere", "levels/dangling");
    start_game();
    EXPECT_EQ((std::vector<std::string>{"Default", "default.lvl", "linked"}), names_of(*game));
    EXPECT_EQ("Default", game->collection->name);

    fs::remove("levels/default");
    add_tiny_collection("default");
    EXPECT_EQ(INIT_OK, game->init());
    EXPECT_EQ(4u, game->collections.size());
    EXPECT_EQ("default", game->collection->name);
}

TEST_F(GameTest, AFailedFileLeavesNothingInTheNextCollection) {
    add_level_file("two_levels.lvl", "a");
    add_level_file("broken.lvl", "b");
    add_level_file("two_levels.lvl", "c");
    testing::internal::CaptureStderr();
    start_game();
    EXPECT_EQ("TLevelCollection.import: b: level 2: error on line 2\n", testing::internal::GetCapturedStderr());
    ASSERT_EQ((std::vector<std::string>{"a", "c"}), names_of(*game));
    ASSERT_EQ(2u, game->collections[1]->levels.size());
    EXPECT_EQ(2, game->collections[1]->levels[1]->number);
}

TEST_F(GameTest, DestroyingTheGameSavesTheScores) {
    add_tiny_collection("default");
    fs::remove("gfx/back.bmp");
    start_game();
    EXPECT_EQ(nullptr, game->background);
    game->highscore.set_score("default", 1, TScore{9, 1});
    game->font_big.close();
    game->font_small.close();
    game.reset();
    EXPECT_EQ(SCORES, read_file("scores.xml"));
}
