// The game object's start and end: fonts, the scan of levels/, the tile
// sets, the background and scores.xml.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include "game_fixture.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> collection_names(const TGame& game) {
    std::vector<std::string> names;
    for (const TLevelCollection* each : game.collections)
        names.push_back(each->name);
    return names;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

TEST_F(GameTest, MissingFontsEndTheProcessBeforeAnyWindow) {
    fs::remove("gfx/vera.ttf");
    EXPECT_EXIT(TGame(), ::testing::ExitedWithCode(32), "^Error: could not load vera\\.ttf\n$");
    fs::remove("gfx/base02.ttf");
    EXPECT_EXIT(TGame(), ::testing::ExitedWithCode(31), "^Error: could not load base02\\.ttf\n$");
}

TEST_F(GameTest, InitWithoutCollectionsReportsOnce) {
    fs::remove_all("levels");
    TGame& game = make_game();
    testing::internal::CaptureStderr();
    EXPECT_EQ(INIT_NO_COLLECTIONS, game.init());
    EXPECT_EQ("Error: no level collections found\n", testing::internal::GetCapturedStderr());
    EXPECT_TRUE(game.collections.empty());
    EXPECT_EQ(nullptr, game.collection);
}

TEST_F(GameTest, InitDropsEveryFailedFileAndThenReportsNoCollections) {
    write_file("levels/broken", ";1\n\n#####\n#@$ #\n#####\n");
    write_file("levels/no-boxes", ";1\n\n###\n#@#\n###\n");
    fs::create_directory("levels/sub");
    TGame& game = make_game();
    testing::internal::CaptureStderr();
    EXPECT_EQ(INIT_NO_COLLECTIONS, game.init());
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, errors.find("broken: level 1: number of targets does not match"));
    EXPECT_NE(std::string::npos, errors.find("no-boxes: level 1: has no boxes"));
    const std::string last = "Error: no level collections found\n";
    ASSERT_GE(errors.size(), last.size());
    EXPECT_EQ(last, errors.substr(errors.size() - last.size()));
}

TEST_F(GameTest, EachMissingTileSetHasItsOwnCodeAndStopsTheLoading) {
    const char* files[] = {"gfx/skin50.bmp", "gfx/skin40.bmp", "gfx/skin30.bmp", "gfx/skin20.bmp",
                           "gfx/skin12.bmp"};
    const int32_t codes[] = {-21, -22, -23, -24, -25};
    add_tiny_collection("default");
    write_background(8, 8, {1, 2, 3}, {4, 5, 6});
    write_file("scores.xml",
               "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<Collection name=\"default\">\n"
               "    <Level nr=\"1\" moves=\"9\" pushes=\"1\" />\n</Collection>\n");
    for (int32_t i = 0; i < SKIN_COUNT; ++i) {
        SCOPED_TRACE(files[i]);
        fs::rename(files[i], "gfx/moved.bmp");
        TGame game;
        game.screen = screen;
        testing::internal::CaptureStderr();
        EXPECT_EQ(codes[i], game.init());
        EXPECT_EQ(std::string("load_image: error opening ") + files[i] + "\n",
                  testing::internal::GetCapturedStderr());
        for (int32_t loaded = 0; loaded < i; ++loaded)
            EXPECT_NE(nullptr, game.skins[loaded].tiles[0]);
        EXPECT_EQ(nullptr, game.background);
        TScore score;
        EXPECT_FALSE(game.highscore.get_score("default", 1, score));
        game.font_big.close();
        game.font_small.close();
        fs::rename("gfx/moved.bmp", files[i]);
    }
    // A game that never read scores.xml must not replace it with its empty store.
    EXPECT_NE(std::string::npos, read_file("scores.xml").find("moves=\"9\""));
}

TEST_F(GameTest, InitLoadsEverythingAndStartsNoLevel) {
    add_tiny_collection("only");
    write_background(8, 8, {1, 2, 3}, {4, 5, 6});
    write_file("scores.xml",
               "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<Collection name=\"only\">\n"
               "    <Level nr=\"1\" moves=\"9\" pushes=\"1\" />\n</Collection>\n");
    TGame& game = start_game();
    EXPECT_EQ(&game.skins[0], game.skin);
    const int32_t sizes[] = {50, 40, 30, 20, 12};
    for (int32_t i = 0; i < SKIN_COUNT; ++i) {
        EXPECT_EQ(sizes[i], game.skins[i].tile_width);
        EXPECT_EQ(sizes[i], game.skins[i].tile_height);
    }
    EXPECT_NE(nullptr, game.background);
    TScore score;
    EXPECT_TRUE(game.highscore.get_score("only", 1, score));
    EXPECT_EQ(-1, game.level_nr);
    EXPECT_EQ(game.collections.front(), game.collection);
}

TEST_F(GameTest, MissingBackgroundIsNoFailure) {
    add_tiny_collection("only");
    TGame& game = make_game();
    testing::internal::CaptureStderr();
    EXPECT_EQ(INIT_OK, game.init());
    EXPECT_EQ("load_image: error opening gfx/back.bmp\n", testing::internal::GetCapturedStderr());
    EXPECT_EQ(nullptr, game.background);
}

TEST_F(GameTest, CollectionsComeInByteOrderOfTheirNames) {
    const std::vector<std::string> names = {"a", "\xc3\xa9t\xc3\xa9", "_x", "Z1", "B"};
    for (const std::string& name : names)
        add_tiny_collection(name);
    TGame& game = start_game();
    EXPECT_EQ((std::vector<std::string>{"B", "Z1", "_x", "a", "\xc3\xa9t\xc3\xa9"}), collection_names(game));
    EXPECT_EQ("B", game.collection->name);
}

TEST_F(GameTest, OnlyTheFirstEightyCollectionsAreRead) {
    for (int32_t i = 84; i >= 0; --i) {
        char name[8];
        std::snprintf(name, sizeof name, "c%02d", i);
        add_tiny_collection(name);
    }
    TGame& game = start_game();
    ASSERT_EQ(80u, game.collections.size());
    EXPECT_EQ("c00", game.collections.front()->name);
    EXPECT_EQ("c79", game.collections.back()->name);
}

TEST_F(GameTest, FailedFilesDoNotCountTowardsTheLimit) {
    write_file("levels/000-broken", ";1\n\n#####\n#@$ #\n#####\n");
    for (int32_t i = 0; i < 81; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "c%02d", i);
        add_tiny_collection(name);
    }
    testing::internal::CaptureStderr();
    TGame& game = start_game();
    testing::internal::GetCapturedStderr();
    ASSERT_EQ(80u, game.collections.size());
    EXPECT_EQ("c79", game.collections.back()->name);
}

TEST_F(GameTest, TheFileNamedDefaultIsPreferredWhereverItStands) {
    add_tiny_collection("aaa");
    add_tiny_collection("default");
    add_tiny_collection("zzz");
    TGame& game = start_game();
    EXPECT_EQ(3u, game.collections.size());
    EXPECT_EQ("default", game.collection->name);
}

TEST_F(GameTest, OnlyTheExactNameDefaultCounts) {
    add_tiny_collection("default.lvl");
    add_tiny_collection("Default");
    add_tiny_collection("zzz");
    fs::create_directory("levels/default");
    add_tiny_collection("default/inner");
    TGame& game = start_game();
    EXPECT_EQ((std::vector<std::string>{"Default", "default.lvl", "zzz"}), collection_names(game));
    EXPECT_EQ("Default", game.collection->name);
}

TEST_F(GameTest, OnlyRegularFilesAreRead) {
    add_tiny_collection("real");
    fs::create_directory("levels/a-directory");
    add_tiny_collection("../elsewhere");
    fs::create_symlink("../elsewhere", "levels/linked");
    fs::create_symlink("../nowhere", "levels/dangling");
    TGame& game = start_game();
    EXPECT_EQ((std::vector<std::string>{"linked", "real"}), collection_names(game));
}

TEST_F(GameTest, AFailedFileLeavesNothingInTheNextCollection) {
    add_level_file("two_levels.lvl", "a");
    add_level_file("broken.lvl", "b");
    add_level_file("two_levels.lvl", "c");
    testing::internal::CaptureStderr();
    TGame& game = start_game();
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, errors.find("TLevelCollection.import: b: level 2: error on line 2"));
    ASSERT_EQ((std::vector<std::string>{"a", "c"}), collection_names(game));
    const TLevelCollection& last = *game.collections.back();
    ASSERT_EQ(2u, last.levels.size());
    EXPECT_EQ(1, last.levels[0]->number);
    EXPECT_EQ(2, last.levels[1]->number);
}

TEST_F(GameTest, DestroyingTheGameSavesTheScores) {
    add_tiny_collection("default");
    TGame& game = start_game();
    game.highscore.set_score("default", 2, TScore{40, 12});
    game.font_big.close();
    game.font_small.close();
    this->game.reset();
    EXPECT_EQ("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<Collection name=\"default\">\n"
              "    <Level nr=\"2\" moves=\"40\" pushes=\"12\" />\n</Collection>\n",
              read_file("scores.xml"));
}
