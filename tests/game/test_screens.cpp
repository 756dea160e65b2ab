// The screens: the play screen's key repeat on a scripted clock, its keys,
// best results and their saving; the menu, the chooser and the help screen.
#include <tuple>

#include "game_fixture.h"
#include "screens/screen_loop.h"

namespace {

// Level 1 is a corridor with room for eight steps either way; level 2 is
// solved by one push; level 3 is solved from the start.
const char* const THREE_LEVELS =
    ";1\n'Corridor\n#######################\n#        @          $.#\n#######################\n\n"
    ";2\n'One push\n#####\n#@$.#\n#####\n\n"
    ";3\n'Ready\n#####\n#@ *#\n#####\n";

using Step = FakeClock::Step;
// Time, key, pressed or released.
using Input = std::tuple<Uint32, SDLKey, bool>;

class PlayTest : public GameTest {
protected:
    void start(const char* levels) {
        write_file("levels/default", levels);
        start_game();
    }

    // Input at time 0 comes before the clock's first delay; Q leaves at 5 s.
    void play_scripted(const std::vector<Input>& input) {
        FakeClock::now = 0;
        for (const auto& [time, key, down] : input) {
            if (time == 0)
                push(key_event(key, down));
            else
                FakeClock::scheduled.emplace(time, key_event(key, down));
        }
        FakeClock::scheduled.emplace(5000, key_event(SDLK_q, true));
        EXPECT_EQ(0, game->play());
    }
};

}  // namespace

TEST_F(PlayTest, HeldKeysStepAtTheirTimes) {
    const struct {
        const char* name;
        std::vector<Input> input;
        std::vector<Step> steps;
    } cases[] = {
        {"tap", {{0, SDLK_RIGHT, true}, {200, SDLK_RIGHT, false}}, {{0, 1}}},
        {"hold",
         {{0, SDLK_RIGHT, true}, {1000, SDLK_RIGHT, false}},
         {{0, 1}, {300, 2}, {400, 3}, {500, 4}, {600, 5}, {700, 6}, {800, 7}, {900, 8}}},
        {"another key takes over",
         {{0, SDLK_RIGHT, true}, {150, SDLK_LEFT, true}, {500, SDLK_RIGHT, false}, {700, SDLK_LEFT, false}},
         {{0, 1}, {150, 2}, {450, 3}, {550, 4}, {650, 5}}},
        {"backspace ends it", {{0, SDLK_RIGHT, true}, {350, SDLK_BACKSPACE, true}}, {{0, 1}, {300, 2}, {350, 1}}},
        {"backspace with nothing to undo does not",
         {{0, SDLK_UP, true}, {50, SDLK_BACKSPACE, true}, {350, SDLK_UP, false}},
         {}},
        {"next ends it", {{0, SDLK_RIGHT, true}, {350, SDLK_n, true}}, {{0, 1}, {300, 2}, {350, 0}}},
        {"previous ends it", {{0, SDLK_RIGHT, true}, {350, SDLK_p, true}}, {{0, 1}, {300, 2}, {350, 0}}},
        {"a restart keeps it",
         {{0, SDLK_RIGHT, true}, {350, SDLK_r, true}, {550, SDLK_RIGHT, false}},
         {{0, 1}, {300, 2}, {350, 0}, {400, 1}, {500, 2}}},
        {"escape restarts too",
         {{0, SDLK_RIGHT, true}, {350, SDLK_ESCAPE, true}, {450, SDLK_RIGHT, false}},
         {{0, 1}, {300, 2}, {350, 0}, {400, 1}}},
    };
    start(THREE_LEVELS);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeClock::steps.clear();
        play_scripted(c.input);
        EXPECT_EQ(c.steps, FakeClock::steps);
    }
}

TEST_F(PlayTest, SolvingPausesAndKeepsTheRepeatIntoTheNextLevel) {
    start(";1\n\n#######\n#@$.  #\n#######\n\n;2\n\n########\n#@   $.#\n########\n");
    play_scripted({{0, SDLK_RIGHT, true}, {450, SDLK_RIGHT, false}});
    EXPECT_EQ(std::vector<Uint32>{0}, FakeClock::pauses);
    EXPECT_EQ((std::vector<Step>{{0, 1}, {200, 0}, {300, 1}, {400, 2}}), FakeClock::steps);
    EXPECT_EQ(1, game->level_nr);
}

TEST_F(PlayTest, LevelKeysUndoAndResize) {
    start(THREE_LEVELS);
    push_keys({SDLK_p, SDLK_q});
    game->play();
    EXPECT_EQ(2, game->level_nr);
    push_keys({SDLK_n, SDLK_n, SDLK_n, SDLK_n, SDLK_q});
    game->play();
    EXPECT_EQ(1, game->level_nr);
    // Leaving and coming back starts at the first level again; there a push
    // is undone and made again, and a resize keeps the position.
    push_keys({SDLK_RIGHT, SDLK_RIGHT, SDLK_BACKSPACE, SDLK_BACKSPACE});
    push_resize(1000, 700);
    push_keys({SDLK_RIGHT});
    push_type(SDL_QUIT);
    game->play();
    EXPECT_EQ(0, game->level_nr);
    EXPECT_EQ(1000, game->screen->w);
    EXPECT_EQ(std::vector<int32_t>{DIR_RIGHT}, game->history);
    EXPECT_EQ(10, game->level.keeper_x);
}

TEST_F(PlayTest, ALevelSolvedFromTheStartCountsAtTheFirstAttempt) {
    start(";1\n\n#####\n#@ *#\n#####\n\n;2\n\n#####\n#@$.#\n#####\n");
    push_keys({SDLK_LEFT, SDLK_q});
    game->play();
    TScore score{-1, -1};
    ASSERT_TRUE(game->highscore.get_score("default", 1, score));
    EXPECT_EQ(0, score.moves);
    EXPECT_EQ(1, game->level_nr);
}

TEST_F(PlayTest, ACollectionWithoutLevelsReturnsAtOnce) {
    start(THREE_LEVELS);
    game->collections.push_back(std::make_unique<TLevelCollection>());
    game->collection = game->collections.back().get();
    push_keys({SDLK_q});
    EXPECT_EQ(0, game->play());
    EXPECT_EQ(2, queued_events());
    EXPECT_EQ(-1, game->level_nr);
}

// The immediate save keeps a solved level, and the failed mode saves the
// rest of the store before the process ends. The dummy driver refuses a
// window of negative size, as a real one may refuse any mode.
TEST_F(PlayTest, AFailedVideoModeEndsTheGameButKeepsItsScores) {
    start(THREE_LEVELS);
    game->highscore.set_score("other", 4, TScore{6, 1});
    push_keys({SDLK_n, SDLK_RIGHT});
    push_resize(-1, -1);
    EXPECT_EXIT((dup2(2, 1), game->play()), ::testing::ExitedWithCode(41), "^SDL error: .+\n$");
    const std::string saved = read_file("scores.xml");
    EXPECT_NE(std::string::npos, saved.find("<Level nr=\"2\" moves=\"1\" pushes=\"1\" />")) << saved;
    EXPECT_NE(std::string::npos, saved.find("<Level nr=\"4\" moves=\"6\" pushes=\"1\" />")) << saved;
}

// Solved in 30 moves and 8 pushes: eleven times down and up, then the box
// pushed eight squares to the right. The stored file is on one line, so a
// rewrite shows in its bytes.
TEST_F(PlayTest, ABestIsRecordedOnlyWhenNoWorseInEitherCount) {
    const struct {
        const char* stored;
        TScore expected;
        bool saved;
    } cases[] = {{nullptr, {30, 8}, true},
                 {"moves=\"32\" pushes=\"8\"", {30, 8}, true},
                 {"moves=\"32\" pushes=\"7\"", {32, 7}, false},
                 {"moves=\"29\" pushes=\"9\"", {29, 9}, false},
                 {"moves=\"30\" pushes=\"8\"", {30, 8}, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "none");
        const std::string before =
            c.stored ? std::string("<Collection name=\"default\"><Level nr=\"1\" ") + c.stored + "/></Collection>" : "";
        end_game();
        fs::remove("scores.xml");
        if (c.stored)
            write_file("scores.xml", before);
        ASSERT_EQ(0, SDL_Init(SDL_INIT_VIDEO));
        ASSERT_EQ(0, TTF_Init());
        start(";1\n\n############\n#@$       .#\n#          #\n############\n");
        for (int i = 0; i < 11; ++i)
            push_keys({SDLK_DOWN, SDLK_UP});
        for (int i = 0; i < 8; ++i)
            push_keys({SDLK_RIGHT});
        push_keys({SDLK_q});
        game->play();
        TScore score;
        ASSERT_TRUE(game->highscore.get_score("default", 1, score));
        EXPECT_EQ(c.expected.moves, score.moves);
        EXPECT_EQ(c.expected.pushes, score.pushes);
        const std::string after = read_file("scores.xml");
        if (c.saved)
            EXPECT_NE(std::string::npos, after.find("<Level nr=\"1\" moves=\"30\" pushes=\"8\" />")) << after;
        else
            EXPECT_EQ(before, after);
    }
}

namespace {

class MenuTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        for (const char* name : {"levels/default", "levels/second", "levels/third"})
            write_file(name, ";1\n\n#####\n#@$.#\n#####\n");
        start_game();
    }
};

}  // namespace

TEST_F(MenuTest, ReturnsStartOrQuit) {
    const struct {
        std::vector<SDLKey> keys;
        int32_t result;
    } cases[] = {
        {{SDLK_RETURN}, MENU_START},
        {{SDLK_DOWN, SDLK_ESCAPE}, MENU_RESULT_QUIT},
        {{SDLK_UP, SDLK_RETURN}, MENU_START},
        {{SDLK_DOWN, SDLK_DOWN, SDLK_DOWN, SDLK_DOWN, SDLK_DOWN, SDLK_RETURN}, MENU_RESULT_QUIT},
        {{SDLK_DOWN, SDLK_DOWN, SDLK_q}, MENU_RESULT_QUIT},
        {{SDLK_KP_ENTER, SDLK_SPACE, SDLK_LEFT, SDLK_RETURN}, MENU_START},
        // The chooser and the help screen return to the menu, which stays on
        // their entry.
        {{SDLK_DOWN, SDLK_RETURN, SDLK_DOWN, SDLK_RETURN, SDLK_DOWN, SDLK_RETURN, SDLK_ESCAPE, SDLK_ESCAPE},
         MENU_RESULT_QUIT},
        {{SDLK_DOWN, SDLK_DOWN, SDLK_RETURN, SDLK_q, SDLK_UP, SDLK_UP, SDLK_RETURN}, MENU_START},
    };
    for (const auto& c : cases) {
        for (SDLKey key : c.keys)
            push_keys({key});
        EXPECT_EQ(c.result, game->menu());
    }
    EXPECT_EQ(game->collections[1].get(), game->collection);
    push_type(SDL_QUIT);
    EXPECT_EQ(MENU_RESULT_QUIT, game->menu());
}

TEST_F(MenuTest, ChooserKeys) {
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
    push_type(SDL_QUIT);
    push_resize(640, 480);
    EXPECT_EQ(game->collections[0].get(), choose({SDLK_RETURN}));
    EXPECT_EQ(640, game->screen->w);
    EXPECT_EQ(1, queued_events());
}

// Under the dummy driver the wait falls back to SDL's own, which must still
// hand over what is queued.
TEST_F(MenuTest, HelpLeavesOnlyByItsKeysOrAResize) {
    for (SDLKey leave : {SDLK_ESCAPE, SDLK_RETURN, SDLK_SPACE, SDLK_q}) {
        push_keys({SDLK_n, SDLK_p, SDLK_r, SDLK_BACKSPACE, SDLK_LEFT, SDLK_DOWN});
        push_type(SDL_QUIT);
        push_keys({leave});
        game->show_help();
        // Only the leaving key's release is left.
        SDL_Event rest;
        ASSERT_TRUE(wait_for_event(rest));
        EXPECT_EQ(SDL_KEYUP, rest.type);
        EXPECT_EQ(leave, rest.key.keysym.sym);
        EXPECT_EQ(0, queued_events());
    }
    push_resize(640, 480);
    push_keys({SDLK_ESCAPE});
    game->show_help();
    EXPECT_EQ(480, game->screen->h);
    EXPECT_EQ(2, queued_events());
}
