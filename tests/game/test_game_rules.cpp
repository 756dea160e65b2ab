// Starting levels, and steps and undos as the game object shows them.
#include <vector>

#include "game_fixture.h"

namespace {

std::vector<int32_t> cells_of(const TLevel& level) {
    return std::vector<int32_t>(level.cells.get(), level.cells.get() + level.width * level.height);
}

// Level 1 of rules.lvl is 8 x 5: 50-pixel tiles from (200, 180).
class RulesTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        add_level_file("rules.lvl", "rules.lvl");
        start_game();
        ASSERT_EQ(0, game->start_level(0));
    }

    Uint32 cell_pixel(int32_t x, int32_t y) const { return pixel(225 + x * 50, 205 + y * 50); }
};

}  // namespace

TEST_F(RulesTest, StartingALevelResetsThePlayAndFetchesItsBest) {
    game->highscore.set_score("rules.lvl", 2, TScore{57, 12});
    game->history = {DIR_RIGHT | MOVE_PUSHED, DIR_LEFT};
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
    game->history = {DIR_RIGHT | MOVE_PUSHED};
    game->pushes = 1;
    const std::vector<int32_t> pushed = cells_of(game->level);
    for (int32_t index : {-1, 3}) {
        EXPECT_EQ(-1, game->start_level(index));
        EXPECT_EQ(0, game->level_nr);
        EXPECT_EQ(pushed, cells_of(game->level));
        EXPECT_EQ(2, game->level.keeper_x);
        EXPECT_EQ(1u, game->history.size());
        EXPECT_EQ(1, game->pushes);
    }

    // Restarting copies afresh; the collection's level was never touched.
    EXPECT_EQ(0, game->start_level(0));
    EXPECT_EQ(1, game->level.keeper_x);
    EXPECT_EQ(CELL_BOX, game->level.get(2, 1));

    // Too wide for every tile set: started all the same, with the smallest.
    EXPECT_EQ(-1, game->start_level(2));
    EXPECT_EQ(2, game->level_nr);
    EXPECT_EQ(&game->skins[SKIN_COUNT - 1], game->skin);
}

TEST_F(RulesTest, EveryChangeIsDrawnAndARefusalDrawsNothing) {
    const Uint32 marker = 0x0963C7;
    fill(game->screen, nullptr, marker);
    EXPECT_EQ(MOVE_BLOCKED, game->move_dir(DIR_UP));
    EXPECT_EQ(MOVE_NOT_A_STEP, game->move(1, 1));
    EXPECT_EQ(MOVE_NOT_A_STEP, game->move_dir(5));
    EXPECT_EQ(MOVE_NOT_A_STEP, game->undo_dir(0, true));
    EXPECT_EQ(MOVE_BLOCKED, game->undo_dir(DIR_RIGHT, false));
    EXPECT_EQ(0, count_other(0, 0, 800, 600, marker));

    EXPECT_EQ(MOVE_PUSHED, game->move_dir(DIR_RIGHT));
    EXPECT_EQ(tile_color(TILE_FLOOR, 50), cell_pixel(1, 1));
    EXPECT_EQ(tile_color(TILE_KEEPER, 50), cell_pixel(2, 1));
    EXPECT_EQ(tile_color(TILE_BOX, 50), cell_pixel(3, 1));

    fill(game->screen, nullptr, marker);
    EXPECT_EQ(0, game->undo_dir(DIR_RIGHT, true));
    EXPECT_EQ(1, game->level.keeper_x);
    EXPECT_EQ(tile_color(TILE_KEEPER, 50), cell_pixel(1, 1));
    EXPECT_EQ(tile_color(TILE_BOX, 50), cell_pixel(2, 1));
    EXPECT_EQ(tile_color(TILE_FLOOR, 50), cell_pixel(3, 1));
}
