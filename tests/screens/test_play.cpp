// The play screen: key repeat on a scripted clock, undo, level changes,
// best results and their saving, and collections it cannot play.
#include <tuple>

#include "screen_fixture.h"

namespace {

// Level 1 is a corridor with room for eight steps either way; level 2 is
// solved by one push; level 3 is solved from the start.
const char* const THREE_LEVELS =
    ";1\n'Corridor\n#######################\n#        @          $.#\n#######################\n\n"
    ";2\n'One push\n#####\n#@$.#\n#####\n\n"
    ";3\n'Ready\n#####\n#@ *#\n#####\n";

// Solved in 30 moves and 8 pushes: eleven times down and up, then the box
// pushed eight squares to the right.
const char* const EIGHT_PUSHES = ";1\n'Eight pushes\n############\n#@$       .#\n#          #\n############\n";
const char* const SCORED = "<Level nr=\"1\" moves=\"30\" pushes=\"8\" />";

using Step = FakeClock::Step;
using Input = std::tuple<Uint32, SDLKey, bool>;

struct RepeatCase {
    const char* name;
    std::vector<Input> input;
    std::vector<Step> expected;
};

class PlayTest : public ScreenTest {
protected:
    void play_scripted(const std::vector<Input>& input) {
        // The first pass comes before the clock's first delay.
        for (const Input& each : input) {
            SDL_Event event = key_event(std::get<1>(each), std::get<2>(each));
            if (std::get<0>(each) == 0)
                SDL_PushEvent(&event);
            else
                FakeClock::scheduled.emplace(std::get<0>(each), event);
        }
        schedule_tap(5000, SDLK_q);
        EXPECT_EQ(0, game->play());
    }

    void solve_eight_pushes() {
        for (int i = 0; i < 11; ++i)
            push_keys({SDLK_DOWN, SDLK_UP});
        for (int i = 0; i < 8; ++i)
            push_key(SDLK_RIGHT);
    }
};

void PrintTo(const RepeatCase& param, std::ostream* out) {
    *out << param.name;
}

class KeyRepeatTest : public PlayTest, public ::testing::WithParamInterface<RepeatCase> {};

TEST_P(KeyRepeatTest, StepsAtTheirTimes) {
    write_file("levels/default", THREE_LEVELS);
    start_game();
    play_scripted(GetParam().input);
    EXPECT_EQ(GetParam().expected, FakeClock::steps);
}

const Uint32 HELD_STEPS[] = {0, 300, 400, 500, 600, 700, 800, 900};

std::vector<Step> held_until_1000() {
    std::vector<Step> steps;
    for (Uint32 time : HELD_STEPS)
        steps.push_back(Step{time, steps.size() + 1});
    return steps;
}

INSTANTIATE_TEST_SUITE_P(
    Play, KeyRepeatTest,
    ::testing::Values(
        RepeatCase{"Tap", {{0, SDLK_RIGHT, true}, {200, SDLK_RIGHT, false}}, {{0, 1}}},
        RepeatCase{"Hold", {{0, SDLK_RIGHT, true}, {1000, SDLK_RIGHT, false}}, held_until_1000()},
        RepeatCase{"OtherKeyTakesOver",
                   {{0, SDLK_RIGHT, true}, {150, SDLK_LEFT, true}, {500, SDLK_RIGHT, false}, {700, SDLK_LEFT, false}},
                   {{0, 1}, {150, 2}, {450, 3}, {550, 4}, {650, 5}}},
        RepeatCase{"BackspaceEnds", {{0, SDLK_RIGHT, true}, {350, SDLK_BACKSPACE, true}}, {{0, 1}, {300, 2}, {350, 1}}},
        RepeatCase{"NextEnds", {{0, SDLK_RIGHT, true}, {350, SDLK_n, true}}, {{0, 1}, {300, 2}, {350, 0}}},
        RepeatCase{"PreviousEnds", {{0, SDLK_RIGHT, true}, {350, SDLK_p, true}}, {{0, 1}, {300, 2}, {350, 0}}},
        RepeatCase{"RestartKeeps",
                   {{0, SDLK_RIGHT, true}, {350, SDLK_r, true}, {550, SDLK_RIGHT, false}},
                   {{0, 1}, {300, 2}, {350, 0}, {400, 1}, {500, 2}}}),
    [](const ::testing::TestParamInfo<RepeatCase>& info) { return std::string(info.param.name); });

TEST_F(PlayTest, SolvingKeepsTheRepeatIntoTheNextLevel) {
    write_file("levels/default", ";1\n\n#######\n#@$.  #\n#######\n\n;2\n\n########\n#@   $.#\n########\n");
    start_game();
    play_scripted({{0, SDLK_RIGHT, true}, {450, SDLK_RIGHT, false}});
    EXPECT_EQ(std::vector<Uint32>{0}, FakeClock::pauses);
    EXPECT_EQ((std::vector<Step>{{0, 1}, {200, 0}, {300, 1}, {400, 2}}), FakeClock::steps);
    EXPECT_EQ(1, game->level_nr);
}

TEST_F(PlayTest, NextAndPreviousWrapAround) {
    write_file("levels/default", THREE_LEVELS);
    start_game();
    push_keys({SDLK_p, SDLK_q});
    game->play();
    EXPECT_EQ(2, game->level_nr);
    push_keys({SDLK_n, SDLK_n, SDLK_n, SDLK_n, SDLK_q});
    game->play();
    EXPECT_EQ(1, game->level_nr);
    // Leaving and coming back starts at the first level again.
    push_event(SDL_QUIT);
    game->play();
    EXPECT_EQ(0, game->level_nr);
}

TEST_F(PlayTest, BackspaceTakesBackAPush) {
    write_file("levels/default", EIGHT_PUSHES);
    start_game();
    push_keys({SDLK_BACKSPACE, SDLK_RIGHT, SDLK_RIGHT, SDLK_BACKSPACE, SDLK_q});
    game->play();
    EXPECT_EQ(std::vector<int32_t>{DIR_RIGHT | MOVE_PUSHED}, game->history);
    EXPECT_EQ(1, game->pushes);
    EXPECT_EQ(CELL_BOX, game->level.get(3, 1));
    EXPECT_EQ(2, game->level.keeper_x);
}

TEST_F(PlayTest, ResizeKeepsThePosition) {
    write_file("levels/default", THREE_LEVELS);
    start_game();
    push_key(SDLK_RIGHT);
    push_resize(1000, 700);
    push_key(SDLK_q);
    game->play();
    EXPECT_EQ(1000, game->screen->w);
    EXPECT_EQ(1u, game->history.size());
    EXPECT_EQ(10, game->level.keeper_x);
}

TEST_F(PlayTest, LevelSolvedAtStartCountsAtTheFirstAttempt) {
    write_file("levels/default", ";1\n\n#####\n#@ *#\n#####\n\n;2\n\n#####\n#@$.#\n#####\n");
    start_game();
    push_keys({SDLK_LEFT, SDLK_q});
    game->play();
    TScore score;
    ASSERT_TRUE(game->highscore.get_score("default", 1, score));
    EXPECT_EQ(0, score.moves);
    EXPECT_EQ(1, game->level_nr);
}

// The dummy driver refuses a window of negative size, as a real one may
// refuse any mode after a resize.
TEST_F(PlayTest, SolvedLevelSurvivesAFailedVideoMode) {
    write_file("levels/default", THREE_LEVELS);
    start_game();
    push_keys({SDLK_n, SDLK_RIGHT});
    push_resize(-1, -1);
    // The scripted clock needs no timer thread, and a forked child without
    // it would make a leak checker warn about a thread it cannot stop.
    SDL_QuitSubSystem(SDL_INIT_TIMER);
    EXPECT_EXIT(game->play(), ::testing::ExitedWithCode(41), "");
    EXPECT_NE(std::string::npos, read_file("scores.xml").find("<Level nr=\"2\" moves=\"1\" pushes=\"1\" />"));
}

TEST_F(PlayTest, CollectionWithoutLevelsReturnsAtOnce) {
    write_file("levels/default", THREE_LEVELS);
    start_game();
    game->collection = &add_collection("empty");
    push_key(SDLK_q);
    EXPECT_EQ(0, game->play());
    EXPECT_EQ(2, queued_events());
    EXPECT_EQ(-1, game->level_nr);
    EXPECT_EQ(0u, FakeClock::now);
}

struct BestCase {
    const char* name;
    const char* stored;
    TScore expected;
    bool saved;
};

void PrintTo(const BestCase& param, std::ostream* out) {
    *out << param.name;
}

class BestResultTest : public PlayTest, public ::testing::WithParamInterface<BestCase> {};

// The file is written on one line, so a rewrite shows in its bytes.
TEST_P(BestResultTest, RecordedOnlyWhenNoWorseInEitherCount) {
    const BestCase& param = GetParam();
    const std::string before =
        param.stored ? std::string("<Collection name=\"default\">") + param.stored + "</Collection>" : "";
    if (param.stored)
        write_file("scores.xml", before);
    write_file("levels/default", EIGHT_PUSHES);
    start_game();
    solve_eight_pushes();
    push_key(SDLK_q);
    game->play();

    TScore score;
    ASSERT_TRUE(game->highscore.get_score("default", 1, score));
    EXPECT_EQ(param.expected.moves, score.moves);
    EXPECT_EQ(param.expected.pushes, score.pushes);
    const std::string after = read_file("scores.xml");
    if (param.saved)
        EXPECT_NE(std::string::npos, after.find(SCORED)) << after;
    else
        EXPECT_EQ(before, after);
}

INSTANTIATE_TEST_SUITE_P(
    Play, BestResultTest,
    ::testing::Values(BestCase{"First", nullptr, {30, 8}, true},
                      BestCase{"FewerMoves", "<Level nr=\"1\" moves=\"32\" pushes=\"8\"/>", {30, 8}, true},
                      BestCase{"MorePushes", "<Level nr=\"1\" moves=\"32\" pushes=\"7\"/>", {32, 7}, false},
                      BestCase{"MoreMoves", "<Level nr=\"1\" moves=\"29\" pushes=\"9\"/>", {29, 9}, false},
                      BestCase{"Equal", "<Level nr=\"1\" moves=\"30\" pushes=\"8\"/>", {30, 8}, true}),
    [](const ::testing::TestParamInfo<BestCase>& info) { return std::string(info.param.name); });

}  // namespace
