// Character records: placement, population, hurt and regeneration, speeds
// and the shot cooldown that runs only in sight.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "characters/sight.h"
#include "characters/player.h"
#include "render/fade.h"
#include "test_characters_world.h"

namespace {

class Characters : public ::testing::Test {
protected:
    void SetUp() override { steroids_timer = 0; }
    void TearDown() override
    {
        free_characters();
        steroids_timer = 0;
    }
};

bool in_list(const character* c)
{
    for (const character* p = character_list; p; p = p->next)
        if (p == c)
            return true;
    return false;
}

TEST_F(Characters, SpawnsOnlyOnFreeFloorCells)
{
    // A walled map with exactly 12 floor cells: 12 spawns fill it, each one
    // on its own floor cell, cell-aligned, with its cell as waypoint and
    // destination.
    const char* rows[] = {
        "##########",
        "#..#..#..#",
        "##########",
        "#..#..#..#",
    };
    drawn_map(rows, 4);
    srand(7);
    for (int i = 0; i < 12; i++) {
        int kind = i % 2 ? KIND_ARMED : KIND_CIVILIAN;
        character* c = spawn_character(kind, 0);
        EXPECT_EQ(kind, c->kind);
        EXPECT_EQ(0, c->x % CELL_SIZE);
        EXPECT_EQ(0, c->y % CELL_SIZE);
        int column = c->x / CELL_SIZE;
        int row = c->y / CELL_SIZE;
        EXPECT_NE(0, walk_grid[row][column]);
        EXPECT_FALSE(character_collides(c, c->x, c->y));
        EXPECT_EQ(column, c->waypoint_x);
        EXPECT_EQ(column, c->dest_x);
        EXPECT_EQ(row, c->waypoint_y);
        EXPECT_EQ(row, c->dest_y);
        EXPECT_EQ(100, c->health);
        EXPECT_EQ(12, c->frame_timer);
        if (kind == KIND_ARMED) {
            EXPECT_EQ(300, c->cooldown);
        } else {
            EXPECT_EQ(0, c->cooldown);
            EXPECT_GE(c->repath_timer, 0);
            EXPECT_LE(c->repath_timer, 120);
        }
    }
    EXPECT_EQ(12, count_characters(KIND_ARMED) + count_characters(KIND_CIVILIAN));
    // The player ignores the others and still finds a floor cell.
    character* p = new_player();
    EXPECT_EQ(player, p);
    EXPECT_EQ(KIND_PLAYER, p->kind);
    EXPECT_NE(0, walk_grid[p->y / CELL_SIZE][p->x / CELL_SIZE]);
    EXPECT_TRUE(character_collides(p, p->x, p->y));
    EXPECT_EQ(-1, laugh_delay);
    EXPECT_EQ(-1, sigh_delay);
}

TEST_F(Characters, NewRecordNeverCollidesWithItself)
{
    // One floor cell, taken by nobody: the record being placed is already in
    // the list, yet its own box must not block the only cell there is.
    const char* rows[] = {"###", "#.#", "###"};
    drawn_map(rows, 3);
    character* c = spawn_character(KIND_CIVILIAN, 1);
    EXPECT_EQ(CELL_SIZE, c->x);
    EXPECT_EQ(CELL_SIZE, c->y);
    EXPECT_EQ(character_list, c);
}

std::string read_log()
{
    std::ifstream in("errorlog.txt", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST_F(Characters, PlacementWithoutFreeFloorIsFatal)
{
    char old_dir[4096];
    ASSERT_NE(nullptr, getcwd(old_dir, sizeof old_dir));
    char dir[] = "/tmp/crimson_chars_XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(dir));
    ASSERT_EQ(0, chdir(dir));

    const char* rows[] = {"###", "#.#", "###"};
    drawn_map(rows, 3);
    spawn_character(KIND_CIVILIAN, 0);
    EXPECT_EXIT(spawn_character(KIND_ARMED, 0), ::testing::ExitedWithCode(1), "");
    open_map(4, 4);
    memset(walk_grid, 0, sizeof(walk_grid));
    EXPECT_EXIT(new_player(), ::testing::ExitedWithCode(1), "");
    EXPECT_EQ("spawn_character(): No free floor cell left for a character on the 3 x 3 map\n"
              "new_player(): No free floor cell left for a character on the 4 x 4 map\n",
              read_log());

    ASSERT_EQ(0, chdir(old_dir));
    std::string cmd = std::string("rm -rf ") + dir;
    ASSERT_EQ(0, system(cmd.c_str()));
}

TEST_F(Characters, KillSpawnsReplacementAndArmedUpToCap)
{
    open_map(40, 40);
    srand(11);
    for (int i = 0; i < CIVILIAN_COUNT; i++)
        spawn_character(KIND_CIVILIAN, 0);
    new_player();

    // Each civilian kill: a new civilian and one more armed character.
    for (int kill = 1; kill <= 75; kill++) {
        character* victim = character_list;
        while (victim->kind != KIND_CIVILIAN)
            victim = victim->next;
        kill_character(victim);
        ASSERT_EQ(CIVILIAN_COUNT + 1 + kill, count_characters(KIND_CIVILIAN)
                                                 + count_characters(KIND_ARMED)
                                                 + count_characters(KIND_PLAYER));
        ASSERT_EQ(CIVILIAN_COUNT, count_characters(KIND_CIVILIAN));
        ASSERT_EQ(kill, count_characters(KIND_ARMED));
    }
    // At 75 armed characters a kill of either kind only replaces.
    character* armed = character_list;
    while (armed->kind != KIND_ARMED)
        armed = armed->next;
    kill_character(armed);
    EXPECT_EQ(75, count_characters(KIND_ARMED));
    character* civilian = character_list;
    while (civilian->kind != KIND_CIVILIAN)
        civilian = civilian->next;
    kill_character(civilian);
    EXPECT_EQ(75, count_characters(KIND_ARMED));
    EXPECT_EQ(CIVILIAN_COUNT, count_characters(KIND_CIVILIAN));
    EXPECT_EQ(1, count_characters(KIND_PLAYER));
    // No two boxes overlap after all those placements (the player may).
    for (const character* a = character_list; a; a = a->next)
        if (a != player)
            EXPECT_FALSE(character_collides(a, a->x, a->y) && !character_near(a, player, 0));
}

TEST_F(Characters, ReplacementIsPlacedWhileTheVictimStillStands)
{
    // Two floor cells: the victim's and one other. The replacement must take
    // the other; the extra armed character then gets the victim's cell.
    const char* rows[] = {"....", "####"};
    drawn_map(rows, 2);
    walk_grid[0][2] = 0;
    walk_grid[0][3] = 0;
    character* victim = put_character(KIND_CIVILIAN, 0, 0);
    kill_character(victim);
    ASSERT_EQ(2, count_characters(KIND_CIVILIAN) + count_characters(KIND_ARMED));
    EXPECT_EQ(KIND_CIVILIAN, character_list->kind);
    EXPECT_EQ(CELL_SIZE, character_list->x);
    EXPECT_EQ(KIND_ARMED, character_list->next->kind);
    EXPECT_EQ(0, character_list->next->x);
}

TEST_F(Characters, PlayerDeathKeepsTheRecordAndFadesToRed)
{
    open_map(4, 4);
    character* p = put_character(KIND_PLAYER, 0, 0);
    fade_direction = 0;
    hurt_character(p, 150);
    EXPECT_EQ(0, p->health);
    EXPECT_EQ(0, p->regen_timer);
    kill_character(p);
    EXPECT_TRUE(in_list(p));
    EXPECT_EQ(p, player);
    EXPECT_EQ(1, fade_direction);
    EXPECT_EQ(1, count_characters(KIND_PLAYER) + count_characters(KIND_ARMED));
}

TEST_F(Characters, HurtCiviliansPanicAndRegainHealth)
{
    open_map(8, 8);
    put_character(KIND_PLAYER, 6 * CELL_SIZE, 6 * CELL_SIZE);
    character* c = put_character(KIND_CIVILIAN, 0, 0);
    character* armed = put_character(KIND_ARMED, 2 * CELL_SIZE, 0);
    // Let the idle regeneration cycle run a while before the hit.
    for (int t = 0; t < 25; t++) {
        update_timers();
        regenerate_characters();
    }
    hurt_character(c, 99);
    hurt_character(armed, 30);
    EXPECT_EQ(1, c->health);
    EXPECT_EQ(300, c->panic_timer);
    EXPECT_EQ(0, armed->panic_timer);
    EXPECT_EQ(2, character_speed(c));
    EXPECT_EQ(1, character_speed(armed));
    for (int tick = 1; tick <= 300; tick++) {
        update_timers();
        regenerate_characters();
        if (tick == 60) {
            EXPECT_EQ(1, c->health);
            EXPECT_EQ(70, armed->health);
        }
        if (tick == 61) {
            EXPECT_EQ(2, c->health);
            EXPECT_EQ(71, armed->health);
        }
        if (tick == 299)
            EXPECT_EQ(2, character_speed(c));
    }
    EXPECT_EQ(0, c->panic_timer);
    EXPECT_EQ(1, character_speed(c));
    EXPECT_EQ(1 + 300 / 61, c->health);
    // Damage never takes health below 0.
    hurt_character(c, 50);
    EXPECT_EQ(0, c->health);
}

TEST_F(Characters, SpeedsFollowSteroidsAndPanic)
{
    open_map(4, 4);
    character* p = put_character(KIND_PLAYER, 0, 0);
    EXPECT_EQ(2, character_speed(p));
    steroids_timer = 1;
    EXPECT_EQ(3, character_speed(p));
    steroids_timer = 0;
    EXPECT_EQ(2, character_speed(p));
}

TEST_F(Characters, ShotCooldownRunsOnlyInSight)
{
    // A wall between the armed character and the player hides it.
    const char* rows[] = {
        "......",
        "......",
        "...#..",
        "......",
    };
    drawn_map(rows, 4);
    character* p = put_character(KIND_PLAYER, 5 * CELL_SIZE, 2 * CELL_SIZE);
    p->cooldown = 10;
    character* armed = put_character(KIND_ARMED, 0, 2 * CELL_SIZE);
    armed->cooldown = 300;
    update_timers();
    EXPECT_EQ(300, armed->cooldown);
    EXPECT_EQ(9, p->cooldown);
    armed->y = 0;
    p->y = 0;
    update_timers();
    EXPECT_EQ(299, armed->cooldown);
    EXPECT_EQ(8, p->cooldown);
}

TEST_F(Characters, CharacterNearGrowsTheBoxByTheMargin)
{
    open_map(20, 4);
    character* a = put_character(KIND_ARMED, 0, 0);
    character* b = put_character(KIND_PLAYER, 32 + 96 - 1, 0);
    EXPECT_TRUE(character_near(a, b, 96));
    EXPECT_FALSE(character_near(a, b, 95));
    EXPECT_FALSE(character_collides(a, 0, 0));
    EXPECT_TRUE(character_collides(a, 96, 31));
    EXPECT_FALSE(character_collides(a, 95, 0));
    EXPECT_FALSE(character_collides(a, 127 + 32, 0));
}

} // namespace
