// The game object: which collections init reads, what the end saves, the
// rules as the game runs them, and the tile size chosen for a board.
#include <cstring>

#include "game_fixture.h"

namespace {

const char* const TINY = ";1\n'Tiny\n#####\n#@$.#\n#####\n";

std::vector<std::string> names_of(const TGame& game) {
    std::vector<std::string> names;
    for (const auto& each : game.collections)
        names.push_back(each->name);
    return names;
}

}  // namespace

TEST_F(GameTest, InitReadsTheFirstEightyCleanRegularFilesInByteOrder) {
    for (int32_t i = 0; i < 85; ++i)
        write_file("levels/c" + std::to_string(100 + i), TINY);
    for (const char* name : {"\xc3\xa9t\xc3\xa9", "a", "_x", "B"})
        write_file(std::string("levels/") + name, TINY);
    start_game();
    std::vector<std::string> names = names_of(*game);
    ASSERT_EQ(80u, names.size());
    EXPECT_EQ((std::vector<std::string>{"B", "_x", "a", "c100", "c176"}),
              (std::vector<std::string>{names[0], names[1], names[2], names[3], names[79]}));
    EXPECT_EQ("B", game->collection->name);

    // Only regular files count, a file with an error not at all, and
    // nothing of it leaks into the collection read after it; only the exact
    // name "default" is preferred.
    end_game();
    fs::remove_all("levels");
    fs::create_directories("levels/default");
    write_file("levels/b", ";1\n\n#####\n#@$.#\n#####\n\n;2\n\n#####\n#@$x#\n#  .#\n#####\n");
    write_file("levels/c", std::string(TINY) + "\n;2\n\n#####\n#@$.#\n#####\n");
    for (const char* name : {"Default", "default.lvl", "../elsewhere"})
        write_file(std::string("levels/") + name, TINY);
    fs::create_symlink("../elsewhere", "levels/linked");
    fs::create_symlink("../nowhere", "levels/dangling");
    testing::internal::CaptureStderr();
    start_game();
    EXPECT_EQ("TLevelCollection.import: b: level 2: error on line 2\n", testing::internal::GetCapturedStderr());
    EXPECT_EQ((std::vector<std::string>{"Default", "c", "default.lvl", "linked"}), names_of(*game));
    EXPECT_EQ("Default", game->collection->name);
    EXPECT_EQ(2, game->collections[1]->levels[1]->number);
    fs::remove("levels/default");
    write_file("levels/default", TINY);
    EXPECT_EQ(INIT_OK, game->init());
    EXPECT_EQ("default", game->collection->name);
}

TEST_F(GameTest, TheEndSavesTheScoresInitRead) {
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<Collection name=\"default\">\n"
                             "    <Level nr=\"1\" moves=\"9\" pushes=\"1\" />\n";
    write_file("levels/default", TINY);
    write_file("scores.xml", head + "</Collection>\n");
    start_game();
    game->highscore.set_score("default", 2, TScore{5, 2});
    end_game();
    EXPECT_EQ(head + "    <Level nr=\"2\" moves=\"5\" pushes=\"2\" />\n</Collection>\n", read_file("scores.xml"));
}

namespace {

// Level 1 is 8 x 5: 50-pixel tiles from (200, 180). Level 3 fits no tile set.
class RulesTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        const std::string wide = std::string(70, '#') + "\n";
        write_file("levels/rules",
                   ";1\n\n########\n#@$ .$ #\n# * $. #\n#.     #\n########\n\n;2\n\n#####\n#@$.#\n#####\n\n;3\n\n" +
                       wide + "#@$." + std::string(65, ' ') + "#\n" + wide);
        start_game();
        ASSERT_EQ(0, game->start_level(0));
    }

    std::vector<int32_t> cells() const {
        return std::vector<int32_t>(game->level.cells.get(),
                                    game->level.cells.get() + game->level.width * game->level.height);
    }
};

}  // namespace

TEST_F(RulesTest, StartingALevelResetsThePlayAndFetchesItsBest) {
    game->highscore.set_score("rules", 2, TScore{57, 12});
    game->history = {history_entry(DIR_RIGHT, MOVE_PUSHED), DIR_LEFT};
    game->pushes = 1;
    EXPECT_EQ(0, game->start_level(1));
    EXPECT_EQ(2, game->level.number);
    EXPECT_TRUE(game->history.empty());
    EXPECT_EQ(0, game->pushes);
    EXPECT_EQ(57, game->best_moves);
    EXPECT_EQ(12, game->best_pushes);
    // Without a record of its own, the best of the level before must not linger.
    EXPECT_EQ(0, game->start_level(0));
    EXPECT_EQ(0, game->best_moves);
    EXPECT_EQ(0, game->best_pushes);

    ASSERT_EQ(MOVE_PUSHED, game->move_dir(DIR_RIGHT));
    game->history = {history_entry(DIR_RIGHT, MOVE_PUSHED)};
    const std::vector<int32_t> pushed = cells();
    for (int32_t index : {-1, 3}) {
        EXPECT_EQ(-1, game->start_level(index));
        EXPECT_EQ(0, game->level_nr);
        EXPECT_EQ(pushed, cells());
        EXPECT_EQ(2, game->level.keeper_x);
        EXPECT_EQ(1u, game->history.size());
    }
    // A restart copies afresh: the collection's level was never touched.
    EXPECT_EQ(0, game->start_level(0));
    EXPECT_EQ(1, game->level.keeper_x);
    EXPECT_EQ(CELL_BOX, game->level.get(2, 1));
    // Too wide for every tile set: started all the same, with the smallest.
    EXPECT_EQ(-1, game->start_level(2));
    EXPECT_EQ(2, game->level_nr);
    EXPECT_EQ(&game->skins[SKIN_COUNT - 1], game->skin);
}

TEST_F(RulesTest, StepsAndUndosByDirectionCode) {
    EXPECT_EQ(MOVE_BLOCKED, game->move_dir(DIR_UP));
    EXPECT_EQ(MOVE_NOT_A_STEP, game->move(1, 1));
    EXPECT_EQ(MOVE_NOT_A_STEP, game->move_dir(5));
    EXPECT_EQ(MOVE_NOT_A_STEP, game->undo_dir(0, true));
    EXPECT_EQ(MOVE_BLOCKED, game->undo_dir(DIR_RIGHT, false));
    EXPECT_EQ(MOVE_STEPPED, game->move_dir(DIR_DOWN));
    EXPECT_EQ(MOVE_PUSHED, game->move_dir(DIR_RIGHT));
    EXPECT_EQ(MOVE_STEPPED, game->undo_dir(DIR_RIGHT, true));
    EXPECT_EQ(CELL_BOX_ON_TARGET, game->level.get(2, 2));
    EXPECT_EQ(MOVE_STEPPED, game->undo_dir(DIR_DOWN, false));
    EXPECT_EQ(MOVE_BLOCKED, game->move_dir(DIR_LEFT));
    EXPECT_EQ(1, game->level.keeper_x);
    EXPECT_EQ(1, game->level.keeper_y);
}

TEST_F(RulesTest, TheLargestTilesThatFitTheBoardAreaAreChosen) {
    const auto make_room = [this](int32_t width, int32_t height) {
        game->level.release();
        game->level.create(width, height);
    };
    const struct {
        int32_t width, height, tile, result;
    } fits[] = {{16, 10, 50, 0}, {17, 10, 40, 0}, {16, 11, 40, 0}, {20, 14, 30, 0}, {26, 17, 30, 0},
                {40, 25, 20, 0}, {66, 42, 12, 0}, {67, 3, 12, -1}, {3, 43, 12, -1}};
    for (const auto& fit : fits) {
        make_room(fit.width, fit.height);
        EXPECT_EQ(fit.result, game->choose_skin()) << fit.width << " x " << fit.height;
        EXPECT_EQ(fit.tile, game->skin->tile_width) << fit.width << " x " << fit.height;
    }
    // A wider window alone does not make room for larger tiles.
    make_room(20, 12);
    for (int32_t h : {600, 689, 690}) {
        game->resize(1000, h);
        EXPECT_EQ(0, game->choose_skin());
        EXPECT_EQ(h < 690 ? 40 : 50, game->skin->tile_width) << h;
    }
}
