// The generator on blueprints worked out by hand: the start it finds, the dead floor it walls in, and the same level
// every time.
#include <gtest/gtest.h>

#include <sstream>

#include "level/level_collection.h"
#include "tools/generator/generator.h"

namespace {

// One box in a corridor with a bay of five cells below it. The deepest pull
// leaves the box at the corridor's far end with the keeper behind it; the
// box can reach the bay's mouth, but only in fewer pushes.
const char* const BAY = ";1\n'Bay\n"
                        "##########\n"
                        "#*     @ #\n"
                        "#### #####\n"
                        "   #    #\n"
                        "   ######\n";

std::unique_ptr<TLevel> read_one(const std::string& text) {
    TLevelCollection collection;
    std::ostringstream messages;
    EXPECT_EQ(0, collection.import_text(text, "blueprint", messages));
    EXPECT_EQ("", messages.str());
    return collection.levels.empty() ? nullptr : std::move(collection.levels[0]);
}

}  // namespace

TEST(Generator, FindsTheDeepestStartWallsInOnlyDeadPatchesAndRefusesAnUnsolvedBlueprint) {
    const std::unique_ptr<TLevel> blueprint = read_one(BAY);
    ASSERT_TRUE(blueprint);
    TDesignOptions options;
    TDesignedLevel made, again;
    std::string why;
    ASSERT_TRUE(design(*blueprint, options, made, why)) << why;
    const std::vector<std::string> walled = {"##########", "#.     $@#", "##########"};
    EXPECT_EQ(walled, made.rows);
    EXPECT_EQ(6, made.pushes);
    EXPECT_EQ("LLLLLL", made.solution);
    EXPECT_EQ(5, made.walled);
    ASSERT_TRUE(design(*blueprint, options, again, why));
    EXPECT_EQ(made.rows, again.rows);

    // A bay smaller than the dead patch stays floor: slack the player sees.
    options.dead_patch = 6;
    ASSERT_TRUE(design(*blueprint, options, made, why));
    const std::vector<std::string> kept = {"##########", "#.     $@#", "#### #####", "   #    #", "   ######"};
    EXPECT_EQ(kept, made.rows);
    EXPECT_EQ(0, made.walled);

    // A blueprint not drawn solved is refused, and says why.
    const std::unique_ptr<TLevel> unsolved = read_one(";1\n\n#######\n#.$ @ #\n#######\n");
    ASSERT_TRUE(unsolved);
    EXPECT_FALSE(design(*unsolved, options, made, why));
    EXPECT_EQ("not drawn solved: a box stands off its target", why);
}
