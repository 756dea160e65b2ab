// The best-score store: look-ups, and the exact bytes of scores.xml written and read back.
#include <gtest/gtest.h>

#include "score/high_score.h"
#include "tests/support/scratch_dir.h"

namespace {

const std::string DECLARATION = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n";

std::string level(const std::string& nr, const std::string& moves, const std::string& pushes) {
    return "    <Level nr=\"" + nr + "\" moves=\"" + moves + "\" pushes=\"" + pushes + "\" />\n";
}

std::string collection(const std::string& name, const std::string& levels) {
    return "<Collection name=\"" + name + (levels.empty() ? "\" />\n" : "\">\n" + levels + "</Collection>\n");
}

std::string saved(THighScore& store) {
    TScratchDir dir;
    EXPECT_TRUE(store.write_to_xml(dir / "saved.xml"));
    return read_file(dir / "saved.xml");
}

}  // namespace

TEST(ScoreStore, WritesTheFileByteForByteAndReadsItBack) {
    THighScore store;
    EXPECT_EQ(saved(store), DECLARATION);
    store.set_score("default", 3, {120, 31});
    store.set_score("default", 1, {30, 9});
    store.set_score("default", 1, {35, 10});
    store.set_score("alpha", 10, {-1, 0});
    store.set_score("alpha", 2, {5, 1});
    store.set_score("Zeta", 1, {3, 1});
    store.set_score("Tom & \"Jerry\" <3 'n'\t", 1, {1, 1});
    // A byte that is not UTF-8, the first three- and four-byte characters,
    // then an overlong form, a surrogate and a code point past U+10FFFF,
    // whose bytes are escaped one by one.
    store.set_score("caf\xE9 \xE0\xA0\x80\xF0\x90\x80\x80 \xE0\x80\x80\xED\xA0\x80\xF4\x90\x80\x80", 2, {1, 1});
    EXPECT_EQ(saved(store), DECLARATION +
                                "<Collection name='Tom &amp; &quot;Jerry&quot; &lt;3 &apos;n&apos;&#x09;'>\n" +
                                level("1", "1", "1") + "</Collection>\n" + collection("Zeta", level("1", "3", "1")) +
                                collection("alpha", level("2", "5", "1") + level("10", "-1", "0")) +
                                collection("caf\xED\xB3\xA9 \xE0\xA0\x80\xF0\x90\x80\x80 "
                                           "\xED\xB3\xA0\xED\xB2\x80\xED\xB2\x80\xED\xB3\xAD\xED\xB2\xA0"
                                           "\xED\xB2\x80\xED\xB3\xB4\xED\xB2\x90\xED\xB2\x80\xED\xB2\x80",
                                           level("2", "1", "1")) +
                                "<Collection name=\"default\">\n"
                                "    <Level nr=\"1\" moves=\"35\" pushes=\"10\" />\n"
                                "    <Level nr=\"3\" moves=\"120\" pushes=\"31\" />\n"
                                "</Collection>\n");

    std::string every_byte;
    for (int byte = 1; byte < 256; ++byte) {
        every_byte += static_cast<char>(byte);
    }
    for (const std::string& name : {every_byte, std::string("\xE2\x82"), std::string("\xED\xB2\x80"),
                                    std::string("m\xC2\xB3"), std::string("nul\0byte", 8), std::string("a&#x41;b")}) {
        store.set_score(name, 1, {1, 1});
    }
    for (int nr = 1; nr <= 20; ++nr)
        store.set_score("twenty", nr, {nr, nr});
    TScratchDir dir;
    ASSERT_TRUE(store.write_to_xml(dir / "scores.xml"));
    THighScore read;
    ASSERT_TRUE(read.read_from_xml(dir / "scores.xml"));
    EXPECT_EQ(saved(read), read_file(dir / "scores.xml"));
    TScore score{7, 8};
    EXPECT_FALSE(read.get_score("default", 2, score) || read.get_score("defaul", 1, score));
    EXPECT_EQ(std::make_pair(score.moves, score.pushes), std::make_pair(7, 8));
    ASSERT_TRUE(read.get_score("default", 1, score));
    EXPECT_EQ(std::make_pair(score.moves, score.pushes), std::make_pair(35, 10));
}

// Each file is read into an empty store, which is then saved.
TEST(ScoreStore, ReadsWhatIsWellFormedAndSkipsTheRest) {
    const std::pair<std::string, std::string> cases[] = {
        {"<Collection name='a'><Level nr='1' moves='abc' pushes='  +7'/>text<Other nr='5' moves='1' pushes='1'/>"
         "<Level nr='2' moves='12x' pushes='-3'/><Level nr='3' moves='5'/><Level nr='2' moves='13' pushes='-3'/>"
         "<Level nr='4' moves='99999999999' pushes='-99999999999'></Level></Collection>",
         collection("a", level("1", "0", "7") + level("2", "13", "-3") + level("4", "2147483647", "-2147483648"))},
        {"<Collection name='twice'><Level nr='1' moves='1' pushes='1'/></Collection><!--> a < b & c <--><Collection/>"
         "<Collection name=''/><Collection name='twice'><Level nr='2' moves='2' pushes='2'/></Collection>"
         "<Collection name='empty'/><Root><Collection name='inner'/></Root>",
         collection("empty", "") + collection("twice", level("2", "2", "2"))},
        {DECLARATION + "<Collection name='\xC3\xA9\xED\xB3\xA9&amp;&#x41;&#66;&#9;'/>",
         collection("\xC3\xA9\xED\xB3\xA9&amp;AB&#x09;", "")},
    };
    for (const auto& [file, expected] : cases) {
        TScratchDir dir;
        write_file(dir / "scores.xml", file);
        THighScore store;
        EXPECT_TRUE(store.read_from_xml(dir / "scores.xml")) << file;
        EXPECT_EQ(saved(store), DECLARATION + expected) << file;
    }
}
