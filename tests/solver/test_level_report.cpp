// The level report's measures on levels worked out by hand.
#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "level/level_collection.h"
#include "tools/report/level_layout.h"
#include "tools/report/level_measures.h"
#include "tools/solver/solver.h"

TEST(LevelReport, MeasuresLevelsWorkedOutByHand) {
    TLevelCollection collection;
    std::ostringstream messages;
    ASSERT_EQ(0, collection.import(TEST_DATA_DIR "/solver/", "measured", messages));
    ASSERT_EQ(3u, collection.levels.size());
    // Pushes, lone pushes, interior, unvisited, dead rooms, sessions, pushed boxes, straight home.
    using Measures = std::tuple<int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, bool>;
    const Measures expected[] = {
        // Four cells right of the target make a dead room, the one below
        // it does not, and the closed pocket is not interior at all. The
        // box that stays on its target counts as a box, but not as pushed.
        {1, 1, 9, 5, 1, 1, 1, true},
        {4, 4, 10, 2, 0, 2, 2, true},
        // The keeper must shove the upper box aside to get out, push the
        // lower one home, then bring the first back: three sessions.
        {5, 3, 11, 0, 0, 3, 2, false},
    };
    TSolver solver;
    for (size_t i = 0; i < std::size(expected); ++i) {
        const TLevel& level = *collection.levels[i];
        SCOPED_TRACE(level.name);
        ASSERT_EQ(SOLVE_SOLVED, solver.solve(level));
        TLevelMeasures m;
        ASSERT_TRUE(measure_level(level, solver.solution, m));
        EXPECT_EQ(expected[i], Measures(m.pushes, m.lone_pushes, m.interior, m.unvisited, m.dead_rooms, m.sessions,
                                        m.pushed_boxes, m.straight_home()));
        // A solution cut short solves nothing and measures nothing.
        EXPECT_FALSE(measure_level(level, solver.solution.substr(0, solver.solution.size() - 1), m));
    }

    // Pushing the two boxes by turns is the same as pushing one, then the
    // other: the turns are counted once the order is put right.
    TLevelMeasures m;
    ASSERT_TRUE(measure_level(*collection.levels[1], "RldRuRldR", m));
    EXPECT_EQ(4, m.pushes);
    EXPECT_EQ(2, m.sessions);
}

TEST(LevelReport, MeasuresShapesWorkedOutByHand) {
    TLevelCollection collection;
    std::ostringstream messages;
    ASSERT_EQ(0, collection.import(TEST_DATA_DIR "/solver/", "shapes", messages));
    ASSERT_EQ(5u, collection.levels.size());
    // Floor, targets, boxes, largest target group, goal room, wall islands, corridor, pocketed targets.
    using Shape = std::tuple<int32_t, int32_t, int32_t, int32_t, bool, int32_t, int32_t, int32_t>;
    const Shape expected[] = {
        // The door and the cell between two targets are corridor; the
        // room's last target is in a pocket.
        {14, 3, 3, 3, true, 0, 2, 1},
        {14, 3, 3, 3, false, 0, 2, 1},
        // The pillar leaves one-wide ways above, below and left of it.
        {15, 2, 2, 1, false, 1, 5, 1},
        {14, 3, 3, 3, true, 0, 2, 1},
        // The boxes wait in a corridor; the door is its fourth cell.
        {20, 3, 3, 3, false, 0, 4, 0},
    };
    std::vector<TLevelLayout> layouts(std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(collection.levels[i]->name);
        TLevelLayout& m = layouts[i];
        ASSERT_TRUE(measure_layout(*collection.levels[i], m));
        EXPECT_EQ(expected[i], Shape(m.floor, m.targets, m.boxes, m.largest_target_group, m.goal_room, m.wall_islands,
                                     m.corridor, m.pocketed_targets));
    }

    // A level laid on itself, or on its mirror, is the same; the second level, mirrored back, differs by one box
    // moved: two cells of fourteen.
    EXPECT_EQ(0.0, layout_distance(layouts[4], layouts[4]));
    EXPECT_EQ(0.0, layout_distance(layouts[0], layouts[3]));
    EXPECT_EQ(0.0, layout_distance(layouts[3], layouts[0]));
    EXPECT_DOUBLE_EQ(2.0 / 14, layout_distance(layouts[1], layouts[0]));
    EXPECT_GT(layout_distance(layouts[0], layouts[2]), LAYOUT_NEAR_DUPLICATE);
}
