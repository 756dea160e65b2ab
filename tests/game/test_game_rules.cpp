// Starting levels, and steps and undos as the game object shows them.
#include <vector>

#include <gtest/gtest.h>

#include "game_fixture.h"

namespace {

// Level 1 of rules.lvl, 8 x 5 with 50-pixel tiles: left 200, top 180.
constexpr int32_t LEFT = 200;
constexpr int32_t TOP = 180;
constexpr int32_t TILE = 50;

std::vector<int32_t> cells_of(const TLevel& level) {
    std::vector<int32_t> cells;
    for (int32_t y = 0; y < level.height; ++y)
        for (int32_t x = 0; x < level.width; ++x)
            cells.push_back(level.get(x, y));
    return cells;
}

class RulesTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        add_level_file("rules.lvl", "rules.lvl");
        start_game();
        ASSERT_EQ(0, game->start_level(0));
    }

    Rgb cell_pixel(int32_t x, int32_t y) const { return pixel(LEFT + x * TILE + 25, TOP + y * TILE + 25); }
};

}  // namespace

TEST_F(RulesTest, StartingALevelResetsThePlayAndFetchesItsBest) {
    EXPECT_EQ(0, game->level_nr);
    EXPECT_EQ(1, game->level.number);
    EXPECT_EQ(1, game->level.keeper_x);
    EXPECT_EQ(1, game->level.keeper_y);
    EXPECT_EQ(0, game->best_moves);
    EXPECT_EQ(0, game->best_pushes);

    game->highscore.set_score("rules.lvl", 2, TScore{57, 12});
    game->history = {DIR_RIGHT | MOVE_PUSHED, DIR_LEFT};
    game->pushes = 1;
    EXPECT_EQ(0, game->start_level(1));
    EXPECT_EQ(1, game->level_nr);
    EXPECT_EQ(2, game->level.number);
    EXPECT_TRUE(game->history.empty());
    EXPECT_EQ(0, game->pushes);
    EXPECT_EQ(57, game->best_moves);
    EXPECT_EQ(12, game->best_pushes);

    // Level 1 has no record: the best of level 2 must not linger.
    EXPECT_EQ(0, game->start_level(0));
    EXPECT_EQ(0, game->best_moves);
    EXPECT_EQ(0, game->best_pushes);
}

TEST_F(RulesTest, AnIndexOutsideTheCollectionChangesNothing) {
    ASSERT_EQ(MOVE_PUSHED, game->move_dir(DIR_RIGHT));
    game->history = {DIR_RIGHT | MOVE_PUSHED};
    game->pushes = 1;
    const std::vector<int32_t> before = cells_of(game->level);
    for (int32_t index : {-1, 3, 1000}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(-1, game->start_level(index));
        EXPECT_EQ(0, game->level_nr);
        EXPECT_EQ(before, cells_of(game->level));
        EXPECT_EQ(2, game->level.keeper_x);
        EXPECT_EQ(1u, game->history.size());
        EXPECT_EQ(1, game->pushes);
    }
}

TEST_F(RulesTest, RestartCopiesTheLevelAfresh) {
    const std::vector<int32_t> start = cells_of(game->level);
    ASSERT_EQ(MOVE_PUSHED, game->move_dir(DIR_RIGHT));
    ASSERT_EQ(MOVE_PUSHED, game->move_dir(DIR_RIGHT));
    EXPECT_EQ(0, game->start_level(game->level_nr));
    EXPECT_EQ(start, cells_of(game->level));
    EXPECT_EQ(1, game->level.keeper_x);
    EXPECT_EQ(CELL_BOX, game->collection->levels[0]->get(2, 1));
}

TEST_F(RulesTest, ALevelTooLargeForEveryTileSetIsStartedWithTheSmallest) {
    EXPECT_EQ(-1, game->start_level(2));
    EXPECT_EQ(2, game->level_nr);
    EXPECT_EQ(70, game->level.width);
    EXPECT_EQ(&game->skins[SKIN_COUNT - 1], game->skin);
}

TEST_F(RulesTest, StepsAndPushesReportTheirResults) {
    EXPECT_EQ(MOVE_BLOCKED, game->move_dir(DIR_LEFT));
    EXPECT_EQ(MOVE_BLOCKED, game->move_dir(DIR_UP));
    EXPECT_EQ(MOVE_PUSHED, game->move_dir(DIR_RIGHT));
    EXPECT_EQ(CELL_FLOOR, game->level.get(2, 1));
    EXPECT_EQ(CELL_BOX, game->level.get(3, 1));
    EXPECT_EQ(MOVE_PUSHED, game->move(1, 0));
    EXPECT_EQ(CELL_BOX_ON_TARGET, game->level.get(4, 1));
    // A box on a target with a second box behind it stays.
    EXPECT_EQ(MOVE_BOX_BLOCKED, game->move_dir(DIR_RIGHT));
    EXPECT_EQ(3, game->level.keeper_x);
    EXPECT_EQ(CELL_BOX, game->level.get(5, 1));
    EXPECT_EQ(MOVE_STEPPED, game->move_dir(DIR_DOWN));
    // The wrappers keep no history: the play screen does.
    EXPECT_TRUE(game->history.empty());
    EXPECT_EQ(0, game->pushes);
}

TEST_F(RulesTest, OnlySingleOrthogonalStepsAreTaken) {
    EXPECT_EQ(MOVE_NOT_A_STEP, game->move(1, 1));
    EXPECT_EQ(MOVE_NOT_A_STEP, game->move(0, 0));
    EXPECT_EQ(MOVE_NOT_A_STEP, game->move(2, 0));
    EXPECT_EQ(MOVE_NOT_A_STEP, game->move_dir(0));
    EXPECT_EQ(MOVE_NOT_A_STEP, game->move_dir(5));
    EXPECT_EQ(MOVE_NOT_A_STEP, game->undo(0, 0, false));
    EXPECT_EQ(MOVE_NOT_A_STEP, game->undo_dir(0, true));
    EXPECT_EQ(MOVE_NOT_A_STEP, game->undo_dir(5, false));
    EXPECT_EQ(1, game->level.keeper_x);
    EXPECT_EQ(1, game->level.keeper_y);
}

TEST_F(RulesTest, UndoTakesBackPushesAndSteps) {
    const std::vector<int32_t> start = cells_of(game->level);
    ASSERT_EQ(MOVE_PUSHED, game->move_dir(DIR_RIGHT));
    EXPECT_EQ(0, game->undo_dir(DIR_RIGHT, true));
    EXPECT_EQ(start, cells_of(game->level));
    EXPECT_EQ(1, game->level.keeper_x);

    // Taken back as a plain step, a push leaves its box where it went.
    ASSERT_EQ(MOVE_PUSHED, game->move_dir(DIR_RIGHT));
    EXPECT_EQ(0, game->undo_dir(DIR_RIGHT, false));
    EXPECT_EQ(CELL_FLOOR, game->level.get(2, 1));
    EXPECT_EQ(CELL_BOX, game->level.get(3, 1));
    EXPECT_EQ(1, game->level.keeper_x);

    // Nothing behind the keeper to step back onto: nothing changes.
    EXPECT_EQ(MOVE_BLOCKED, game->undo_dir(DIR_RIGHT, false));
    EXPECT_EQ(1, game->level.keeper_x);
}

TEST_F(RulesTest, EveryChangeIsDrawnAndARefusalDrawsNothing) {
    game->redraw();
    const Rgb marker = {9, 99, 199};
    fill_screen(marker);
    EXPECT_EQ(MOVE_BLOCKED, game->move_dir(DIR_LEFT));
    EXPECT_TRUE(area_is(0, 0, 800, 600, marker));

    EXPECT_EQ(MOVE_PUSHED, game->move_dir(DIR_RIGHT));
    EXPECT_EQ(tile_color(TILE_FLOOR, 50), cell_pixel(1, 1));
    EXPECT_EQ(tile_color(TILE_KEEPER, 50), cell_pixel(2, 1));
    EXPECT_EQ(tile_color(TILE_BOX, 50), cell_pixel(3, 1));

    fill_screen(marker);
    EXPECT_EQ(0, game->undo_dir(DIR_RIGHT, true));
    EXPECT_EQ(tile_color(TILE_KEEPER, 50), cell_pixel(1, 1));
    EXPECT_EQ(tile_color(TILE_BOX, 50), cell_pixel(2, 1));
    EXPECT_EQ(tile_color(TILE_FLOOR, 50), cell_pixel(3, 1));

    fill_screen(marker);
    EXPECT_EQ(MOVE_BLOCKED, game->undo_dir(DIR_RIGHT, false));
    EXPECT_TRUE(area_is(0, 0, 800, 600, marker));
}
