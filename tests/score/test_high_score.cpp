// The best-score store and the exact text of scores.xml.
#include "score_test_dir.h"

using HighScoreFile = ScoreDir;

TEST(HighScore, AnswersOnlyWhatWasRecordedAndNeverCompares) {
    THighScore store;
    TScore score{7, 8};
    EXPECT_FALSE(store.get_score("default", 1, score));
    store.set_score("default", 1, {30, 9});
    EXPECT_FALSE(store.get_score("default", 2, score));
    EXPECT_FALSE(store.get_score("defaul", 1, score));
    EXPECT_EQ(score.moves, 7);
    EXPECT_EQ(score.pushes, 8);

    store.set_score("default", 1, {99, 40});
    ASSERT_TRUE(store.get_score("default", 1, score));
    EXPECT_EQ(score.moves, 99);
    EXPECT_EQ(score.pushes, 40);
}

TEST_F(HighScoreFile, WritesTheDocumentedLayoutByteForByte) {
    THighScore store;
    EXPECT_FALSE(store.read_from_xml(path));
    store.set_score("default", 2, {40, 12});
    ASSERT_TRUE(store.write_to_xml(path));
    EXPECT_EQ(read_file(path), score_file("<Collection name=\"default\">\n"
                                          "    <Level nr=\"2\" moves=\"40\" pushes=\"12\" />\n"
                                          "</Collection>\n"));
    EXPECT_FALSE(exists(path + ".bak"));
    EXPECT_FALSE(exists(path + ".tmp"));

    store.collection_scores.clear();
    store.set_score("default", 3, {120, 31});
    store.set_score("default", 1, {35, 10});
    ASSERT_TRUE(store.write_to_xml(path));
    EXPECT_EQ(read_file(path), score_file("<Collection name=\"default\">\n"
                                          "    <Level nr=\"1\" moves=\"35\" pushes=\"10\" />\n"
                                          "    <Level nr=\"3\" moves=\"120\" pushes=\"31\" />\n"
                                          "</Collection>\n"));
}

TEST_F(HighScoreFile, OrdersNamesByBytesAndLevelsByNumber) {
    THighScore store;
    store.set_score("alpha", 10, {-1, 0});
    store.set_score("alpha", 2, {5, 1});
    store.set_score("Zeta", 1, {3, 1});
    store.collection_scores["Zeta-empty"] = std::make_unique<TCollectionScore>();
    ASSERT_TRUE(store.write_to_xml(path));
    EXPECT_EQ(read_file(path), score_file("<Collection name=\"Zeta\">\n"
                                          "    <Level nr=\"1\" moves=\"3\" pushes=\"1\" />\n"
                                          "</Collection>\n"
                                          "<Collection name=\"Zeta-empty\" />\n"
                                          "<Collection name=\"alpha\">\n"
                                          "    <Level nr=\"2\" moves=\"5\" pushes=\"1\" />\n"
                                          "    <Level nr=\"10\" moves=\"-1\" pushes=\"0\" />\n"
                                          "</Collection>\n"));
}

TEST_F(HighScoreFile, SkipsMalformedEntriesOneByOne) {
    write_file(path,
               "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\n"
               "<!DOCTYPE scores>\n<!-- kept by hand -->\n"
               "<Collection name=\"twice\"><Level nr=\"1\" moves=\"1\" pushes=\"1\" /></Collection>\n"
               "<Collection name='a'>\n"
               "  text <Other nr=\"9\" moves=\"9\" pushes=\"9\" /><![CDATA[<Level>]]>\n"
               "  <Level nr=\"1\" moves=\"abc\" pushes=\"  +7\" />\n"
               "  <Level nr=\"2\" moves=\"12x\" pushes=\"-3\" />\n"
               "  <Level nr=\"3\" moves=\"5\" />\n"
               "  <Level nr=\"4\" moves=\"99999999999\" pushes=\"1\"></Level>\n"
               "  <Level nr=\"2\" moves=\"13\" pushes=\"-3\" />\n"
               "</Collection>\n"
               "<Collection><Level nr=\"1\" moves=\"1\" pushes=\"1\" /></Collection>\n"
               "<Collection name=\"\"><Level nr=\"1\" moves=\"1\" pushes=\"1\" /></Collection>\n"
               "<Collection name=\"twice\"><Level nr=\"2\" moves=\"2\" pushes=\"2\" /></Collection>\n"
               "<Collection name=\"empty\" />\n"
               "<Root><Collection name=\"inner\"><Level nr=\"1\" moves=\"1\" pushes=\"1\" /></Collection></Root>\n");
    THighScore store;
    store.set_score("mine", 1, {4, 2});
    ASSERT_TRUE(store.read_from_xml(path));
    ASSERT_EQ(store.collection_scores.size(), 4u);
    EXPECT_TRUE(store.collection_scores["empty"]->level_scores.empty());
    const auto& a = store.collection_scores["a"]->level_scores;
    ASSERT_EQ(a.size(), 3u);
    EXPECT_EQ(a.at(1).moves, 0);
    EXPECT_EQ(a.at(1).pushes, 7);
    EXPECT_EQ(a.at(2).moves, 13);
    EXPECT_EQ(a.at(2).pushes, -3);
    EXPECT_EQ(a.at(4).moves, INT32_MAX);
    const auto& twice = store.collection_scores["twice"]->level_scores;
    ASSERT_EQ(twice.size(), 1u);
    EXPECT_EQ(twice.count(2), 1u);
    EXPECT_EQ(store.collection_scores.count("mine"), 1u);
}
