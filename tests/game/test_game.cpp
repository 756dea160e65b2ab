// The game object: which collections init reads, and the tile size chosen for a board.
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
    fs::remove("levels/b");
    write_file("levels/default", TINY);
    EXPECT_EQ(INIT_OK, game->init());
    EXPECT_EQ("default", game->collection->name);
}

TEST_F(GameTest, TheLargestTilesThatFitTheBoardAreaAreChosen) {
    write_file("levels/default", std::string(TINY) + "\n;2\n\n" + std::string(67, '#') + "\n#@$." +
                                     std::string(62, ' ') + "#\n" + std::string(67, '#') + "\n");
    start_game();
    EXPECT_EQ(-1, game->start_level(1));
    // The board of 5 x 3 cells of 12 pixels starts at the corner of a
    // window of 60 x 26, and beyond one 2 pixels narrower or lower.
    EXPECT_EQ(0, game->start_level(0));
    for (const auto& [w, h] : {std::pair{60, 26}, {58, 26}, {60, 24}}) {
        game->resize(w, h);
        EXPECT_EQ(-1, game->choose_skin());
        EXPECT_EQ(w == 60 && h == 26 ? 0 : -1, game->draw_board()) << w << " x " << h;
    }
    game->resize(800, 600);
    const auto make_room = [this](int32_t width, int32_t height) {
        game->level.release();
        game->level.create(width, height);
    };
    // Width, height, tile, result.
    const std::tuple<int32_t, int32_t, int32_t, int32_t> fits[] = {{16, 10, 50, 0}, {17, 10, 40, 0}, {16, 11, 40, 0},
                                                                   {20, 14, 30, 0}, {26, 17, 30, 0}, {40, 25, 20, 0},
                                                                   {66, 42, 12, 0}, {67, 3, 12, -1}, {3, 43, 12, -1}};
    for (const auto& [width, height, tile, result] : fits) {
        make_room(width, height);
        const int32_t chosen = game->choose_skin();
        EXPECT_EQ(std::pair(result, tile), std::pair(chosen, game->skin->tile_width)) << width << " x " << height;
    }
    // A wider window alone does not make room for larger tiles.
    make_room(20, 12);
    for (int32_t h : {600, 689, 690}) {
        game->resize(1000, h);
        EXPECT_EQ(0, game->choose_skin());
        EXPECT_EQ(h < 690 ? 40 : 50, game->skin->tile_width) << h;
    }
}

// A missing background and a scores.xml that cannot be read are said as the
// game starts, and skipped: the board area keeps its dark grey fill between
// black bands, and the file stays as it was, also under its backup name,
// until the game saves anew.
TEST_F(GameTest, AMissingBackgroundAndAnUnreadableScoresFileAreSaidAtStart) {
    write_file("levels/default", TINY);
    write_file("scores.xml", "<Collection");
    fs::remove("gfx/back.bmp");
    testing::internal::CaptureStderr();
    start_game();
    EXPECT_EQ("load_image: error opening gfx/back.bmp\nNote: the unreadable scores.xml is kept as " +
                  (fs::current_path() / "scores.xml.bak").string() + "\n",
              testing::internal::GetCapturedStderr());
    EXPECT_EQ("<Collection<Collection", read_file("scores.xml") + read_file("scores.xml.bak"));
    game->clear_screen();
    game->draw_background();
    EXPECT_EQ((std::vector<Uint32>{0, 0x141414, 0x141414, 0}),
              (std::vector<Uint32>{pixel(0, 49), pixel(0, 50), pixel(799, 559), pixel(799, 560)}));
    testing::internal::CaptureStderr();
    end_game();
    EXPECT_EQ("", testing::internal::GetCapturedStderr());
    EXPECT_EQ("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<Collection",
              read_file("scores.xml") + read_file("scores.xml.bak"));
}
