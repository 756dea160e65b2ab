// The screens: the play screen's key repeat, keys, best results and their saving; what the other screens return.
#include <tuple>

#include "game_fixture.h"

namespace {

// Level 1 is a corridor with room for eight steps either way; level 2 is
// solved by one push; level 3 is solved from the start.
const char* const THREE_LEVELS =
    ";1\n'Corridor\n#######################\n#        @          $.#\n#######################\n\n"
    ";2\n'One push\n#####\n#@$.#\n#####\n\n;3\n'Ready\n#####\n#@ *#\n#####\n";
const SDLKey RIGHT = SDLK_RIGHT, LEFT = SDLK_LEFT, DOWN = SDLK_DOWN, UP = SDLK_UP, RETURN = SDLK_RETURN;

using Steps = std::vector<FakeClock::Step>;
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
        FakeClock::steps.clear();
        for (const auto& [time, key, down] : input)
            FakeClock::scheduled.emplace(time, event(down ? SDL_KEYDOWN : SDL_KEYUP, key));
        FakeClock::scheduled.emplace(5000, event(SDL_KEYDOWN, SDLK_q));
        for (; FakeClock::scheduled.begin()->first == 0; FakeClock::scheduled.erase(FakeClock::scheduled.begin()))
            push(FakeClock::scheduled.begin()->second);
        EXPECT_EQ(0, game->play());
    }
};

}  // namespace

TEST_F(PlayTest, HeldKeysStepAtTheirTimes) {
    const std::tuple<const char*, std::vector<Input>, Steps> cases[] = {
        {"tap", {{0, RIGHT, true}, {200, RIGHT, false}}, {{0, 1}}},
        {"hold",
         {{0, RIGHT, true}, {1000, RIGHT, false}},
         {{0, 1}, {300, 2}, {400, 3}, {500, 4}, {600, 5}, {700, 6}, {800, 7}, {900, 8}}},
        {"another key takes over",
         {{0, RIGHT, true}, {150, LEFT, true}, {500, RIGHT, false}, {700, LEFT, false}},
         {{0, 1}, {150, 2}, {450, 3}, {550, 4}, {650, 5}}},
        {"backspace ends it", {{0, RIGHT, true}, {350, SDLK_BACKSPACE, true}}, {{0, 1}, {300, 2}, {350, 1}}},
        {"backspace with nothing to undo does not", {{0, UP, true}, {50, SDLK_BACKSPACE, true}, {350, UP, false}}, {}},
        {"next ends it", {{0, RIGHT, true}, {350, SDLK_n, true}}, {{0, 1}, {300, 2}, {350, 0}}},
        {"previous ends it", {{0, RIGHT, true}, {350, SDLK_p, true}}, {{0, 1}, {300, 2}, {350, 0}}},
        {"a restart keeps it",
         {{0, RIGHT, true}, {350, SDLK_r, true}, {550, RIGHT, false}},
         {{0, 1}, {300, 2}, {350, 0}, {400, 1}, {500, 2}}},
        {"escape restarts too",
         {{0, RIGHT, true}, {350, SDLK_ESCAPE, true}, {450, RIGHT, false}},
         {{0, 1}, {300, 2}, {350, 0}, {400, 1}}},
    };
    start(THREE_LEVELS);
    for (const auto& [name, input, steps] : cases) {
        play_scripted(input);
        EXPECT_EQ(steps, FakeClock::steps) << name;
    }
}

// The solved position is shown before the pause, the next level after it.
TEST_F(PlayTest, SolvingPausesAndKeepsTheRepeatIntoTheNextLevel) {
    start(";1\n\n#######\n#@$.  #\n#######\n\n;2\n\n########\n#@   $.#\n########\n");
    play_scripted({{0, RIGHT, true}, {450, RIGHT, false}});
    EXPECT_EQ(std::vector<Uint32>{0}, FakeClock::pauses);
    EXPECT_EQ((Steps{{0, 1}, {200, 0}, {300, 1}, {400, 2}}), FakeClock::steps);
    EXPECT_EQ((Steps{{0, 0}, {0, 1}, {200, 0}, {300, 1}, {400, 2}}), FakeClock::shown);
    EXPECT_EQ(1, game->level_nr);
}

TEST_F(PlayTest, LevelKeysUndoAndResize) {
    start(THREE_LEVELS);
    // The last level is solved from the start: the first attempt solves it,
    // a refused one with no moves, and play goes on at the first level.
    press({SDLK_p, LEFT, SDLK_q});
    game->play();
    TScore score{-1, -1};
    ASSERT_TRUE(game->highscore.get_score("default", 3, score));
    EXPECT_EQ(0, score.moves);
    EXPECT_EQ(0, game->level_nr);
    press({SDLK_n, SDLK_n, SDLK_n, SDLK_n, SDLK_q});
    game->play();
    EXPECT_EQ(1, game->level_nr);
    // Leaving and coming back starts at the first level again; there a step
    // is undone and made again, and a resize keeps the position.
    press({RIGHT, RIGHT, SDLK_BACKSPACE, SDLK_BACKSPACE});
    // A height equal to a key's code would show a resize taken for a key.
    push(event(SDL_VIDEORESIZE, 1000, RIGHT));
    press({RIGHT});
    push(event(SDL_QUIT));
    game->play();
    EXPECT_EQ(0, game->level_nr);
    EXPECT_EQ(1000, game->screen->w);
    EXPECT_EQ(std::vector<int32_t>{DIR_RIGHT}, game->history);
    EXPECT_EQ(10, game->level.keeper_x);
    // A collection without levels has nothing to play: the screen returns.
    game->collections.push_back(std::make_unique<TLevelCollection>());
    game->collection = game->collections.back().get();
    press({SDLK_q});
    EXPECT_EQ(0, game->play());
    EXPECT_EQ(2, queued_events());
}

// A save that fails says where and why, once, and the solved level stays in
// memory, which the failed mode saves before the process ends. The dummy
// driver refuses a window of negative size, as a real one may refuse any
// mode. The save at shutdown says so too when it fails.
TEST_F(PlayTest, AFailedSaveOrVideoModeKeepsTheScores) {
    const std::string failed =
        "Error: could not save " + (fs::current_path() / "scores.xml").string() + ": Is a directory\n";
    fs::create_directory("scores.xml");
    start(THREE_LEVELS);
    press({SDLK_n, RIGHT, SDLK_q});
    testing::internal::CaptureStderr();
    game->play();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), failed);
    fs::remove("scores.xml");
    push(event(SDL_VIDEORESIZE, -1, -1));
    EXPECT_EXIT((dup2(2, 1), game->play()), ::testing::ExitedWithCode(41), "^SDL error: .+\n$");
    const std::string saved = read_file("scores.xml");
    EXPECT_NE(std::string::npos, saved.find("<Level nr=\"2\" moves=\"1\" pushes=\"1\" />")) << saved;
    fs::remove("scores.xml");
    fs::create_directory("scores.xml");
    testing::internal::CaptureStderr();
    end_game();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), failed);
}

// Solved in 30 moves and 8 pushes: eleven times down and up, then the box
// pushed eight squares to the right. The stored file is on one line, so a
// rewrite shows in its bytes.
TEST_F(PlayTest, ABestIsRecordedOnlyWhenNoWorseInEitherCount) {
    const std::pair<const char*, TScore> cases[] = {{"", {30, 8}},
                                                    {"moves=\"32\" pushes=\"8\"", {30, 8}},
                                                    {"moves=\"32\" pushes=\"7\"", {32, 7}},
                                                    {"moves=\"29\" pushes=\"9\"", {29, 9}},
                                                    {"moves=\"30\" pushes=\"8\"", {30, 8}}};
    for (const auto& [stored, expected] : cases) {
        end_game();
        const std::string before =
            "<Collection name=\"default\"><Level nr=\"1\" " + std::string(stored) + "/></Collection>";
        write_file("scores.xml", *stored ? before : "");
        start(";1\n\n############\n#@$       .#\n#          #\n############\n");
        for (int i = 0; i < 11; ++i)
            press({DOWN, UP});
        for (int i = 0; i < 8; ++i)
            press({RIGHT});
        press({SDLK_q});
        game->play();
        TScore score;
        ASSERT_TRUE(game->highscore.get_score("default", 1, score));
        EXPECT_EQ(std::pair(expected.moves, expected.pushes), std::pair(score.moves, score.pushes)) << stored;
        const std::string after = read_file("scores.xml");
        if (expected.moves == 30)
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

    TLevelCollection* collection(int32_t index) const { return game->collections[index].get(); }
};

}  // namespace

TEST_F(MenuTest, TheMenuReturnsStartOrQuit) {
    const std::pair<std::vector<SDLKey>, int32_t> cases[] = {
        {{RETURN}, MENU_START},
        {{DOWN, SDLK_ESCAPE}, MENU_RESULT_QUIT},
        {{UP, RETURN}, MENU_START},
        {{DOWN, DOWN, DOWN, DOWN, DOWN, RETURN}, MENU_RESULT_QUIT},
        {{DOWN, DOWN, SDLK_q}, MENU_RESULT_QUIT},
        {{SDLK_KP_ENTER, SDLK_SPACE, LEFT, RETURN}, MENU_START},
        // The chooser and the help screen return to the menu, which stays on
        // their entry.
        {{DOWN, RETURN, DOWN, RETURN, DOWN, RETURN, SDLK_ESCAPE, SDLK_ESCAPE}, MENU_RESULT_QUIT},
        {{DOWN, DOWN, RETURN, SDLK_q, UP, UP, RETURN}, MENU_START},
    };
    for (const auto& [keys, result] : cases) {
        for (SDLKey key : keys)
            press({key});
        EXPECT_EQ(result, game->menu());
    }
    EXPECT_EQ(collection(1), game->collection);
    push(event(SDL_QUIT));
    EXPECT_EQ(MENU_RESULT_QUIT, game->menu());
}

TEST_F(MenuTest, TheChooserTakesTheHighlightedCollectionOnReturnOnly) {
    const std::pair<std::vector<SDLKey>, int32_t> cases[] = {{{DOWN, DOWN, RETURN}, 2},
                                                             {{UP, RETURN}, 0},
                                                             {{DOWN, DOWN, DOWN, RETURN}, 2},
                                                             {{DOWN, SDLK_ESCAPE}, 1},
                                                             {{RIGHT, SDLK_q}, 1}};
    for (const auto& [keys, chosen] : cases) {
        game->collection = collection(1);
        for (SDLKey key : keys)
            press({key});
        game->choose_collection();
        EXPECT_EQ(collection(chosen), game->collection);
    }
    push(event(SDL_QUIT));
    push(event(SDL_VIDEORESIZE, 640, 480));
    press({RETURN});
    game->choose_collection();
    EXPECT_EQ(collection(0), game->collection);
    EXPECT_EQ(640, game->screen->w);
    EXPECT_EQ(1, queued_events());
}

// Under the dummy driver the wait falls back to polling, which must still
// hand over what is queued.
TEST_F(MenuTest, HelpLeavesOnlyByItsKeysOrAResize) {
    for (SDLKey leave : {SDLK_ESCAPE, RETURN, SDLK_SPACE, SDLK_q}) {
        press({SDLK_n, SDLK_p, SDLK_r, SDLK_BACKSPACE, LEFT, DOWN});
        push(event(SDL_QUIT));
        press({leave});
        game->show_help();
        // Only the leaving key's release is left.
        SDL_Event rest;
        ASSERT_EQ(1, game->wait_for_event(rest));
        EXPECT_EQ(SDL_KEYUP, rest.type);
        EXPECT_EQ(leave, rest.key.keysym.sym);
        EXPECT_EQ(0, queued_events());
    }
    push(event(SDL_VIDEORESIZE, 640, 480));
    press({SDLK_ESCAPE});
    game->show_help();
    EXPECT_EQ(480, game->screen->h);
    EXPECT_EQ(2, queued_events());
}
