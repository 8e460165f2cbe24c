// Items: always 8 painkillers and 4 steroids on the map, one per cell at
// most, collected by stepping onto them.
#include "test_player_support.h"

#include <set>
#include <utility>

#include "test_temp_dir.h"

using namespace fight_test;

namespace {

class Items : public ::testing::Test {
protected:
    void SetUp() override
    {
        srand(11);
        load_walled_map(8, 8); // 36 floor cells
        start_run(32, 32);
    }
    void TearDown() override
    {
        close_sound();
        free_characters();
    }

    void place_run_items()
    {
        clear_items();
        for (int i = 0; i < PAINKILLER_COUNT; i++)
            spawn_item(ITEM_PAINKILLERS, 0);
        for (int i = 0; i < STEROIDS_COUNT; i++)
            spawn_item(ITEM_STEROIDS, 0);
    }

    // Counts per kind, and checks that every item is centred in a floor cell
    // of its own.
    void expect_items_valid(int* count)
    {
        count[0] = count[1] = 0;
        std::set<std::pair<int, int>> cells;
        for (const Item& item : items) {
            if (!item.active)
                continue;
            count[item.kind]++;
            int column = item.x / CELL_SIZE, row = item.y / CELL_SIZE;
            EXPECT_EQ(item.x, column * CELL_SIZE + 4);
            EXPECT_EQ(item.y, row * CELL_SIZE + 4);
            EXPECT_TRUE(cell_is_floor(column, row));
            EXPECT_TRUE(cells.insert({column, row}).second) << "two items in one cell";
        }
    }

    // Sets the player onto the cell of slot `i`'s item and collects.
    void step_onto(int i)
    {
        player->x = items[i].x - 4;
        player->y = items[i].y - 4;
        pick_up_items();
    }
};

TEST_F(Items, EightPainkillersAndFourSteroidsStayOnTheMapOnePerCell)
{
    place_run_items();
    for (int i = 0; i < MAX_ITEMS; i++)
        EXPECT_EQ(items[i].active, i < PAINKILLER_COUNT + STEROIDS_COUNT ? 1 : 0);
    EXPECT_EQ(find_free_item(), PAINKILLER_COUNT + STEROIDS_COUNT);
    EXPECT_EQ(active_anims(), 0) << "the run's first items come without a flash";

    int count[2];
    expect_items_valid(count);
    EXPECT_EQ(count[ITEM_PAINKILLERS], PAINKILLER_COUNT);
    EXPECT_EQ(count[ITEM_STEROIDS], STEROIDS_COUNT);

    for (int round = 0; round < 300; round++) {
        int slot = round % (PAINKILLER_COUNT + STEROIDS_COUNT);
        int kind = items[slot].kind;
        player->health = 50;
        clear_sprite_anims();
        step_onto(slot);
        // The replacement takes the slot just freed, with the spawn flash.
        EXPECT_EQ(items[slot].active, 1);
        EXPECT_EQ(items[slot].kind, kind);
        ASSERT_GE(active_anims(), 1);
        EXPECT_EQ(sprite_anims[0].size, SPAWN_FLASH_SIZE);
        expect_items_valid(count);
        ASSERT_EQ(count[ITEM_PAINKILLERS], PAINKILLER_COUNT);
        ASSERT_EQ(count[ITEM_STEROIDS], STEROIDS_COUNT);
    }
}

TEST_F(Items, PainkillersHealUpToFullAndOnlyAHurtPlayerSighs)
{
    open_test_sound();
    clear_items();
    spawn_item(ITEM_PAINKILLERS, 0);
    Item first = items[0];

    player->health = 60;
    step_onto(0);
    EXPECT_EQ(player->health, CHARACTER_MAX_HEALTH);
    EXPECT_EQ(sigh_delay, SIGH_DELAY_TICKS);
    EXPECT_EQ(sample_playing(SAMPLE_PILLS), 1);
    std::vector<FloatingText> texts = active_texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_STREQ(texts[0].text, "PAINKILLERS");
    EXPECT_EQ(texts[0].x, first.x + (24 - 8 * 11) / 2);
    EXPECT_EQ((int)texts[0].y, first.y + 4);

    player->health = 30;
    sigh_delay = DELAY_IDLE;
    step_onto(0);
    EXPECT_EQ(player->health, 80);

    stop_all_samples();
    player->health = CHARACTER_MAX_HEALTH;
    sigh_delay = DELAY_IDLE;
    step_onto(0);
    EXPECT_EQ(player->health, CHARACTER_MAX_HEALTH);
    EXPECT_EQ(sigh_delay, DELAY_IDLE) << "no sigh at full health";
    EXPECT_EQ(sample_playing(SAMPLE_PILLS), 1);
    EXPECT_EQ(active_texts().size(), 3u);

    // A sigh already on its way is not pushed back.
    player->health = 10;
    sigh_delay = 5;
    step_onto(0);
    EXPECT_EQ(sigh_delay, 5);
}

TEST_F(Items, SteroidsRestartAtSixHundredAndMakeThePlayerFast)
{
    open_test_sound();
    clear_items();
    spawn_item(ITEM_STEROIDS, 0);
    steroids_timer = 300;
    step_onto(0);
    EXPECT_EQ(steroids_timer, STEROIDS_TICKS) << "a second dose restarts, it does not add";
    EXPECT_EQ(sample_playing(SAMPLE_PILLS), 1);
    EXPECT_EQ(sample_playing(SAMPLE_GROWL), 1);
    std::vector<FloatingText> texts = active_texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_STREQ(texts[0].text, "STEROIDS");

    // Three steps a tick under steroids, two without.
    clear_items();
    player->x = 64;
    player->y = 64;
    steer_player(1, 0, 500.0f, 80.0f);
    EXPECT_EQ(player->x, 67);
    steroids_timer = 0;
    steer_player(1, 0, 500.0f, 80.0f);
    EXPECT_EQ(player->x, 69);
}

TEST_F(Items, OnlyAStepCollectsNotStandingStill)
{
    clear_items();
    spawn_item(ITEM_STEROIDS, 0);
    // Put the player right on the item without a step: nothing happens
    // until it moves; its next step that still overlaps collects.
    player->x = items[0].x - 4;
    player->y = items[0].y - 4;
    steer_player(0, 0, 0.0f, 0.0f);
    EXPECT_EQ(steroids_timer, 0);
    int target_x = player->x + 1, target_y = player->y;
    if (!area_walkable(target_x, target_y, CHARACTER_SIZE, CHARACTER_SIZE))
        target_x = player->x - 1;
    steer_player(target_x > player->x ? 1 : -1, 0, 0.0f, 0.0f);
    EXPECT_EQ(steroids_timer, STEROIDS_TICKS);
}

TEST_F(Items, AFullTableDropsTheRequest)
{
    for (Item& item : items)
        item.active = 1;
    EXPECT_EQ(find_free_item(), -1);
    spawn_item(ITEM_PAINKILLERS, 1);
    EXPECT_EQ(active_anims(), 0);
}

TEST(ItemPlacementDeathTest, AMapWithoutFreeFloorCellsIsFatalNotAnEndlessSearch)
{
    TempDir dir;
    // Five floor cells for twelve items.
    load_test_map(4, 4, [](int c, int r) { return r == 1 || (r == 2 && c == 0); });
    clear_items();
    EXPECT_EXIT(
        for (int i = 0; i < PAINKILLER_COUNT; i++) spawn_item(ITEM_PAINKILLERS, 0),
        ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(read_whole_file("errorlog.txt").rfind("spawn_item(): ", 0), 0u);
}

} // namespace
