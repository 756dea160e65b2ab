// The title menu, the collection chooser and the help screen: what each
// returns or changes for a given input, and where its highlight is drawn.
#include "screen_fixture.h"

namespace {

const char* const ONE_LEVEL = ";1\n\n#####\n#@$.#\n#####\n";

// Where the top-left of a text's glyphs may lie relative to its given
// position: a font puts some room above the capitals and left of a stem.
constexpr int32_t GLYPH_SLACK = 12;

class MenuTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        write_file("levels/default", ONE_LEVEL);
        write_file("levels/second", ONE_LEVEL);
        start_game();
    }

    void expect_red_text_at(int32_t x, int32_t y) {
        const Box box = red_box(0, 0, game->screen->w, game->screen->h);
        ASSERT_FALSE(box.empty());
        EXPECT_LE(x, box.left);
        EXPECT_GT(x + GLYPH_SLACK / 2, box.left);
        EXPECT_LE(y, box.top);
        EXPECT_GT(y + GLYPH_SLACK, box.top);
    }
};

TEST_F(MenuTest, ReturnsStartOrQuit) {
    struct Case {
        std::vector<SDLKey> keys;
        int32_t result;
    };
    const Case cases[] = {
        {{SDLK_DOWN, SDLK_ESCAPE}, -1}, {{SDLK_RETURN}, 1},
        {{SDLK_UP, SDLK_RETURN}, 1},    {{SDLK_DOWN, SDLK_DOWN, SDLK_DOWN, SDLK_DOWN, SDLK_DOWN, SDLK_RETURN}, -1},
        {{SDLK_DOWN, SDLK_q}, -1},      {{SDLK_KP_ENTER, SDLK_SPACE, SDLK_RETURN}, 1},
    };
    for (const Case& each : cases) {
        for (SDLKey key : each.keys)
            push_key(key);
        EXPECT_EQ(each.result, game->menu());
    }
    push_event(SDL_QUIT);
    EXPECT_EQ(-1, game->menu());
}

TEST_F(MenuTest, HighlightStopsAtTheEnds) {
    push_keys({SDLK_DOWN, SDLK_DOWN, SDLK_DOWN, SDLK_DOWN, SDLK_DOWN, SDLK_ESCAPE});
    game->menu();
    expect_red_text_at(200, 315);
    push_keys({SDLK_UP, SDLK_ESCAPE});
    game->menu();
    expect_red_text_at(200, 195);
}

TEST_F(MenuTest, SmallWindowKeepsTheMargins) {
    push_resize(300, 200);
    push_key(SDLK_ESCAPE);
    game->menu();
    EXPECT_EQ(300, game->screen->w);
    expect_red_text_at(20, 70);
}

TEST_F(MenuTest, ChosenCollectionShowsHighlighted) {
    push_keys({SDLK_DOWN, SDLK_RETURN, SDLK_DOWN, SDLK_RETURN, SDLK_ESCAPE});
    game->menu();
    EXPECT_EQ(game->collections[1].get(), game->collection);
    expect_red_text_at(193, 235);
    EXPECT_FALSE(red_box(400, 235, 200, 40).empty());
}

TEST_F(MenuTest, HelpReturnsToItsEntry) {
    push_keys({SDLK_DOWN, SDLK_DOWN, SDLK_RETURN, SDLK_ESCAPE, SDLK_DOWN, SDLK_RETURN});
    EXPECT_EQ(-1, game->menu());
    push_keys({SDLK_DOWN, SDLK_DOWN, SDLK_RETURN});
    push_resize(640, 480);
    push_key(SDLK_ESCAPE);
    EXPECT_EQ(-1, game->menu());
    EXPECT_EQ(640, game->screen->w);
    EXPECT_EQ(1, queued_events());
}

struct ColumnCase {
    int32_t count;
    int32_t selection;
    int32_t x;
    int32_t y;
};

void PrintTo(const ColumnCase& param, std::ostream* out) {
    *out << param.count << " names, " << param.selection << " highlighted";
}

class ChooserColumnsTest : public MenuTest, public ::testing::WithParamInterface<ColumnCase> {};

TEST_P(ChooserColumnsTest, HighlightedNameSitsInItsColumn) {
    for (int32_t i = static_cast<int32_t>(game->collections.size()); i < GetParam().count; ++i)
        add_collection("Hall " + std::to_string(i));
    // Presses only: SDL's queue holds no more than 128 events.
    for (int32_t i = 0; i < GetParam().selection; ++i) {
        SDL_Event down = key_event(SDLK_DOWN, true);
        SDL_PushEvent(&down);
    }
    push_key(SDLK_ESCAPE);
    game->choose_collection();
    expect_red_text_at(GetParam().x, GetParam().y);
}

// 800 x 600: sixteen names a column from y = 155; a column is at most a
// third of the window wide, and the block is centred but kept 20 from the edge.
INSTANTIATE_TEST_SUITE_P(Chooser, ChooserColumnsTest,
                         ::testing::Values(ColumnCase{5, 4, 267, 255}, ColumnCase{16, 15, 267, 530},
                                           ColumnCase{17, 0, 134, 155}, ColumnCase{17, 16, 400, 155},
                                           ColumnCase{40, 39, 526, 330}, ColumnCase{80, 79, 628, 530},
                                           ColumnCase{80, 16, 172, 155}));

TEST_F(MenuTest, ChooserKeys) {
    add_collection("third");
    const auto choose = [&](std::initializer_list<SDLKey> keys) {
        game->collection = game->collections[1].get();
        push_keys(keys);
        game->choose_collection();
        return game->collection;
    };
    EXPECT_EQ(game->collections[2].get(), choose({SDLK_DOWN, SDLK_DOWN, SDLK_RETURN}));
    EXPECT_EQ(game->collections[0].get(), choose({SDLK_UP, SDLK_RETURN}));
    EXPECT_EQ(game->collections[2].get(), choose({SDLK_DOWN, SDLK_DOWN, SDLK_DOWN, SDLK_RETURN}));
    EXPECT_EQ(game->collections[1].get(), choose({SDLK_DOWN, SDLK_ESCAPE}));
    EXPECT_EQ(game->collections[1].get(), choose({SDLK_RIGHT, SDLK_q}));
    push_event(SDL_QUIT);
    push_resize(640, 480);
    EXPECT_EQ(game->collections[0].get(), choose({SDLK_RETURN}));
    EXPECT_EQ(640, game->screen->w);
    EXPECT_EQ(1, queued_events());
}

TEST_F(MenuTest, HelpLeavesOnlyByItsKeys) {
    for (SDLKey leave : {SDLK_ESCAPE, SDLK_RETURN, SDLK_SPACE, SDLK_q}) {
        push_keys({SDLK_n, SDLK_p, SDLK_r, SDLK_BACKSPACE, SDLK_LEFT, SDLK_DOWN});
        push_event(SDL_QUIT);
        push_key(leave);
        game->show_help();
        // Only the leaving key's release is left.
        EXPECT_EQ(1, queued_events()) << SDL_GetKeyName(leave);
        SDL_Event rest;
        SDL_PollEvent(&rest);
    }
    // Key texts end at 390 and descriptions start at 410 on every row.
    for (int32_t row = 0; row < 6; ++row) {
        const int32_t y = 215 + 25 * row;
        EXPECT_TRUE(has_text(360, y, 30, 25)) << row;
        EXPECT_FALSE(has_text(391, y, 18, 25)) << row;
        EXPECT_TRUE(has_text(410, y, 30, 25)) << row;
    }
}

// A window lower than header and panel together has no board area at all.
TEST_F(MenuTest, TinyWindowDrawsEveryScreen) {
    push_resize(1, 1);
    push_keys(
        {SDLK_DOWN, SDLK_RETURN, SDLK_RETURN, SDLK_DOWN, SDLK_RETURN, SDLK_ESCAPE, SDLK_UP, SDLK_UP, SDLK_RETURN});
    ASSERT_EQ(1, game->menu());
    push_key(SDLK_RIGHT);
    push_resize(30, 2);
    push_key(SDLK_q);
    game->play();
    EXPECT_EQ(30, game->screen->w);
}

TEST_F(MenuTest, HelpEndsAtAResize) {
    push_resize(640, 200);
    push_key(SDLK_ESCAPE);
    game->show_help();
    EXPECT_EQ(200, game->screen->h);
    EXPECT_EQ(2, queued_events());
}

}  // namespace
