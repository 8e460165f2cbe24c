// Character records in their world: placement, replacement, hurt and
// regeneration, unit steps against walls and other boxes, facing, and the
// sight ray.
#include "test_temp_dir.h"
#include "test_world.h"

#include "characters/movement.h"
#include "characters/sight.h"

namespace {

using Characters = WorldTest;

TEST_F(Characters, PlacementOnAFullMapIsFatalNotAnEndlessSearch)
{
    TempDir dir;
    // One floor cell: the record being placed is already in the list, yet
    // its own box must not keep it off the only cell there is.
    drawn_map({"###", "#.#", "###"});
    character* c = spawn_character(KIND_CIVILIAN, 0);
    EXPECT_EQ(CELL_SIZE, c->x);
    EXPECT_EQ(CELL_SIZE, c->y);
    EXPECT_EXIT(spawn_character(KIND_ARMED, 0), ::testing::ExitedWithCode(1), "");
    drawn_map({"####", "####"});
    EXPECT_EXIT(new_player(), ::testing::ExitedWithCode(1), "");
    // Five floor cells for twelve items.
    drawn_map({"####", "....", ".###", "####"});
    clear_items();
    EXPECT_EXIT(for (int i = 0; i < 12; i++) spawn_item(ITEM_PAINKILLERS, 0),
                ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(read_whole_file("errorlog.txt"),
              "spawn_character(): No free floor cell left for a character on the 3 x 3 map\n"
              "new_player(): No free floor cell left for a character on the 4 x 2 map\n"
              "spawn_item(): The map has no free floor cell left for an item (it needs 12 floor "
              "cells)\n");
}

TEST_F(Characters, ReplacementIsPlacedWhileTheVictimStillStands)
{
    // Two floor cells, the victim's and one other: the replacement must take
    // the other whatever the draws, and the extra armed one the victim's.
    for (unsigned seed = 1; seed <= 16; seed++) {
        srand(seed);
        drawn_map({"..##"});
        kill_character(put_character(KIND_CIVILIAN, 0, 0));
        ASSERT_EQ(2, count_characters(KIND_CIVILIAN) + count_characters(KIND_ARMED));
        EXPECT_EQ(KIND_CIVILIAN, character_list->kind);
        EXPECT_EQ(CELL_SIZE, character_list->x) << seed;
        EXPECT_EQ(KIND_ARMED, character_list->next->kind);
    }
}

TEST_F(Characters, HurtCiviliansPanicAndEveryoneButThePlayerRegains)
{
    character* c = put_character(KIND_CIVILIAN, 32, 32);
    character* armed = put_character(KIND_ARMED, 96, 32);
    // Let the idle regeneration cycle run a while before the hit.
    for (int t = 0; t < 25; t++)
        regenerate_characters();
    hurt_character(c, 99);
    hurt_character(armed, 30);
    hurt_character(player, 30);
    EXPECT_EQ(2, character_speed(c));
    EXPECT_EQ(1, character_speed(armed));
    // A point every 61 ticks from the hit; the panic ends after 300.
    const int points_at[] = {61, 122, 183, 244, 305};
    int due = 0;
    for (int tick = 1; tick <= 305; tick++) {
        update_timers();
        regenerate_characters();
        due += tick == points_at[due];
        ASSERT_EQ(1 + due, c->health) << tick;
        ASSERT_EQ(70 + due, armed->health) << tick;
        ASSERT_EQ(tick < 300 ? 2 : 1, character_speed(c)) << tick;
    }
    EXPECT_EQ(70, player->health);
    hurt_character(c, 50);
    EXPECT_EQ(0, c->health);
}

TEST_F(Characters, StepsStopAtWallsBordersAndOtherBoxesOneAxisAtATime)
{
    drawn_map({"..#", "...", "..."});
    character* c = put_character(KIND_CIVILIAN, 32, 0);
    // Against the wall to the east: only the southward half of the step.
    EXPECT_EQ(1, move_character(c, 1, 1));
    EXPECT_EQ(32, c->x);
    EXPECT_EQ(1, c->y);
    // A box straddling the solid cell's corner is refused on that axis.
    EXPECT_EQ(1, move_character(c, 1, -1));
    EXPECT_EQ(32, c->x);
    EXPECT_EQ(0, c->y);
    // Nothing lets a box out of the map.
    c->x = 64;
    c->y = 64;
    EXPECT_EQ(0, move_character(c, 1, 1));
    EXPECT_EQ(0, c->moving);
    // Overlapping boxes cannot move at all.
    character* d = put_character(KIND_ARMED, 64, 64);
    for (int dy = -1; dy <= 1; dy++)
        for (int dx = -1; dx <= 1; dx++)
            EXPECT_EQ(0, move_character(d, dx, dy));
    // Touching boxes part but never close in.
    d->x = 32;
    EXPECT_EQ(0, move_character(d, 1, 0));
    EXPECT_EQ(1, move_character(d, -1, 0));
}

TEST_F(Characters, SightStopsAtTheFirstSolidSampleAndArmedOnesFaceWhatTheySee)
{
    drawn_map({"......", "......", "..#...", "......"});
    character* p = put_character(KIND_PLAYER, 4 * CELL_SIZE, 0);
    character* armed = put_character(KIND_ARMED, 0, 0);
    // In sight an armed character faces the player whatever its step;
    // hidden, it faces its step like anyone else.
    face_character(armed, -1, -1);
    EXPECT_EQ(90, armed->angle);
    p->y = 3 * CELL_SIZE;
    armed->y = CELL_SIZE;
    face_character(armed, -1, -1);
    EXPECT_EQ(315, armed->angle);
    face_character(armed, 0, 0);
    EXPECT_EQ(315, armed->angle);
    // The sample 32 units along the ray lies in the solid cell although the
    // box around it would touch the player: the wall wins. Close enough for
    // the first sample, at the armed one's own centre, to touch, it sees.
    armed->y = p->y = 2 * CELL_SIZE;
    armed->x = CELL_SIZE;
    p->x = 3 * CELL_SIZE - 14;
    EXPECT_FALSE(line_of_sight(armed, p));
    p->x = 2 * CELL_SIZE - 1;
    EXPECT_TRUE(line_of_sight(armed, p));
}

} // namespace
