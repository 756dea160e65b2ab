// Hostile scores files are refused before TinyXML sees them, quickly, and
// names of any bytes, markup included, survive a save and a reload.
#include "score_test_dir.h"

#include <ctime>

#include "score/score_text.h"

using ScoreText = ScoreDir;

namespace {

std::string repeated(const std::string& piece, size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        text += piece;
    }
    return text;
}

std::string nested(size_t depth) {
    return repeated("<a>", depth) + repeated("</a>", depth);
}

// TinyXML takes "&#" up to the next semicolon for one reference when the
// digits before it hold, swallowing the markup between; these pieces open an
// element that only TinyXML sees open.
const std::string SWALLOWED_CLOSE = "<a>&#</a>&#1;";
const std::string SWALLOWED_EMPTY = "<a x=\"&#\"/>&#1;\">";

}  // namespace

TEST(ScoreTextCheck, CountsNestingAsTinyXmlWillSeeIt) {
    EXPECT_TRUE(is_safe_score_text(nested(16)));
    EXPECT_FALSE(is_safe_score_text(nested(17)));
    for (const auto& piece : {SWALLOWED_CLOSE, SWALLOWED_EMPTY}) {
        EXPECT_TRUE(is_safe_score_text(repeated(piece, 16) + repeated("</a>", 16))) << piece;
        EXPECT_FALSE(is_safe_score_text(repeated(piece, 17) + repeated("</a>", 17))) << piece;
    }
    std::string attributes;
    for (size_t i = 0; i <= SCORE_MAX_ATTRIBUTES; ++i) {
        attributes += " n" + std::to_string(i) + "=''";
    }
    EXPECT_FALSE(is_safe_score_text("<a" + attributes + "/>"));
}

TEST(ScoreTextCheck, AcceptsOnlyWellFormedUtf8) {
    EXPECT_TRUE(is_safe_score_text("<a x='caf\xC3\xA9 \xF0\x9F\x98\x80 \xED\xB3\xA9' />"));
    EXPECT_FALSE(is_safe_score_text("<a x='\xED\xA0\x80' />"));
    EXPECT_FALSE(is_safe_score_text("<a x='\xC0\xAF' />"));
    EXPECT_FALSE(is_safe_score_text("<a x='\xF4\x90\x80\x80' />"));
    EXPECT_FALSE(is_safe_score_text("<a x='\xE9t\xE9' />"));
    EXPECT_FALSE(is_safe_score_text(std::string("<a/>\0<a/>", 9)));
}

TEST_F(ScoreText, RefusesHostileFilesQuicklyAndKeepsThem) {
    const std::string level = "<Collection name=\"default\"><Level nr=\"1\" moves=\"1\" pushes=\"1\" /></Collection>";
    const std::string hostile[] = {
        level + "\n<Collection name=\"x\xE2\x82",
        level + "\xE2\x82",
        nested(50000),
        repeated(SWALLOWED_CLOSE, 50000),
        repeated(SWALLOWED_EMPTY, 50000),
        level + std::string(1, '\0') + level,
        repeated("<a/>", SCORE_MAX_ITEMS + 1),
        score_file("<!--" + std::string(SCORE_MAX_FILE_SIZE, ' ') + "-->\n"),
    };
    for (const auto& text : hostile) {
        write_file(path, text);
        // Processor time, so that a busy machine does not fail the test.
        std::clock_t start = std::clock();
        THighScore store;
        EXPECT_FALSE(store.read_from_xml(path));
        EXPECT_LT(double(std::clock() - start) / CLOCKS_PER_SEC, 0.5);
        EXPECT_TRUE(store.collection_scores.empty());
        store.set_score("default", 1, {2, 1});
        EXPECT_TRUE(store.write_to_xml(path));
        EXPECT_EQ(read_file(path + ".bak"), text);
    }
}

TEST_F(ScoreText, NamesOfAnyBytesSurviveASaveAndAReload) {
    std::string every_byte;
    for (int byte = 1; byte < 256; ++byte) {
        every_byte += static_cast<char>(byte);
    }
    const std::string names[] = {
        "caf\xE9",
        "\xE2\x82",
        "\xED\xB2\x80",
        std::string("nul\0byte", 8),
        " spaced \r\n",
        every_byte,
        "Caf\xC3\xA9 \xE2\x82\xAC",
        "Tom & \"Jerry\" <3 'n'\t",
        "a&#x41;b",
    };
    THighScore store;
    for (int32_t level = 0; level < 9; ++level) {
        store.set_score(names[level], level, {level, level});
    }
    ASSERT_TRUE(store.write_to_xml(path));
    std::string text = read_file(path);
    EXPECT_TRUE(is_safe_score_text(text));
    EXPECT_NE(text.find("<Collection name=\"Caf\xC3\xA9 \xE2\x82\xAC\">\n"), std::string::npos);
    EXPECT_NE(text.find("<Collection name='Tom &amp; &quot;Jerry&quot; &lt;3 &apos;n&apos;&#x09;'>\n"),
              std::string::npos);
    EXPECT_NE(text.find("<Collection name=\"a&amp;#x41;b\">\n"), std::string::npos);

    THighScore read;
    ASSERT_TRUE(read.read_from_xml(path));
    EXPECT_EQ(read.collection_scores.size(), 9u);
    for (int32_t level = 0; level < 9; ++level) {
        TScore score;
        EXPECT_TRUE(read.get_score(names[level], level, score)) << testing::PrintToString(names[level]);
    }
}
