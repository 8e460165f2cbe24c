// Input of the running game through real SDL events in a window under
// Xvfb: held keys come from SDL's key state array, the pointer from a warp,
// clicks and keys from the event queue; then handle_input runs as a tick
// would run it.
#include "test_player_support.h"
#include "test_render_support.h"

#include "core/input.h"
#include "util/mathutil.h"
#include "world/camera.h"

using namespace fight_test;

namespace {

class PlayInput : public ::testing::Test {
protected:
    uint8_t* keys = nullptr;

    void SetUp() override
    {
        render_test::open_window();
        srand(5);
        load_walled_map(30, 30);
        start_run(320, 320);
        camera_x = 0;
        camera_y = 0;
        drain_events();
        keys = SDL_GetKeyState(nullptr);
        release_keys();
    }

    void TearDown() override
    {
        release_keys();
        drain_events();
        free_characters();
        free_bullets();
        game_state = STATE_INTRO;
        paused = 0;
    }

    void release_keys()
    {
        for (int k : {KEY_A, KEY_D, KEY_W, KEY_S, KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN})
            keys[k] = 0;
    }

    static void drain_events()
    {
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
        }
    }

    // Moves the real pointer and waits until SDL has seen it arrive.
    static void point_at(int x, int y)
    {
        int seen_x = -1;
        int seen_y = -1;
        for (int attempt = 0; attempt < 2000; attempt++) {
            SDL_WarpMouse((Uint16)x, (Uint16)y);
            SDL_PumpEvents();
            SDL_GetMouseState(&seen_x, &seen_y);
            if (seen_x == x && seen_y == y)
                return;
            SDL_Delay(10);
        }
        FAIL() << "the pointer stayed at " << seen_x << "," << seen_y;
    }

    static void click(int button)
    {
        SDL_Event e;
        memset(&e, 0, sizeof e);
        e.type = SDL_MOUSEBUTTONDOWN;
        e.button.button = (Uint8)button;
        e.button.state = SDL_PRESSED;
        ASSERT_EQ(SDL_PushEvent(&e), 0);
    }

    static void press(int sym)
    {
        SDL_Event e;
        memset(&e, 0, sizeof e);
        e.type = SDL_KEYDOWN;
        e.key.state = SDL_PRESSED;
        e.key.keysym.sym = (SDLKey)sym;
        ASSERT_EQ(SDL_PushEvent(&e), 0);
    }
};

TEST_F(PlayInput, LeftWinsOverRightAndUpOverDown)
{
    keys[KEY_A] = keys[KEY_D] = keys[KEY_W] = keys[KEY_S] = 1;
    handle_input();
    EXPECT_EQ(player->x, 318);
    EXPECT_EQ(player->y, 318);
    EXPECT_EQ(player->moving, 1);

    release_keys();
    keys[KEY_RIGHT] = keys[KEY_DOWN] = 1;
    handle_input();
    EXPECT_EQ(player->x, 320);
    EXPECT_EQ(player->y, 320);

    release_keys();
    keys[KEY_LEFT] = keys[KEY_RIGHT] = keys[KEY_UP] = keys[KEY_DOWN] = 1;
    handle_input();
    EXPECT_EQ(player->x, 318);
    EXPECT_EQ(player->y, 318);

    // No direction: the walk stops where it is.
    release_keys();
    handle_input();
    EXPECT_EQ(player->x, 318);
    EXPECT_EQ(player->moving, 0);
}

TEST_F(PlayInput, ThePlayerFacesThePointerEveryTickMovingOrNot)
{
    // Player centre (336, 336); the pointer's world point is the pointer
    // plus the camera, less the 64-pixel status strip.
    point_at(336, 64 + 336 - 100);
    handle_input();
    EXPECT_EQ(player->angle, 0);
    point_at(600, 64 + 336);
    handle_input();
    EXPECT_EQ(player->angle, 90);
    EXPECT_EQ(player->moving, 0);

    camera_x = 100;
    camera_y = 50;
    point_at(236, 356 - 50 + 64); // world (336, 356): just below the player
    keys[KEY_D] = 1;
    handle_input();
    EXPECT_EQ(player->x, 322);
    // Aimed from where the step left it: slightly west of straight down.
    EXPECT_EQ(player->angle, angle_to(338.0f, 336.0f, 336.0f, 356.0f));
    EXPECT_GT(player->angle, 180);
    release_keys();
}

TEST_F(PlayInput, PausingWorksOnlyDuringALiveRun)
{
    run_active = 0; // the opening fade
    press(KEY_P);
    handle_input();
    EXPECT_EQ(paused, 0);

    run_active = 1;
    prompt_hidden = 1;
    prompt_timer = 3.0f;
    press(KEY_P);
    handle_input();
    EXPECT_EQ(paused, 1);
    EXPECT_EQ(prompt_hidden, 0);
    EXPECT_FLOAT_EQ(prompt_timer, PROMPT_VISIBLE_TIME);

    // Paused: the keys move nobody and clicks strike nobody.
    character* victim = put_character(KIND_CIVILIAN, 320, 288);
    player->angle = 0;
    keys[KEY_A] = 1;
    click(SDL_BUTTON_LEFT);
    handle_input();
    EXPECT_EQ(player->x, 320);
    EXPECT_EQ(victim->health, CHARACTER_MAX_HEALTH);
    release_keys();

    press(KEY_P);
    handle_input();
    EXPECT_EQ(paused, 0);

    // After the run's end P does nothing.
    psychosis = 0;
    press(KEY_P);
    handle_input();
    EXPECT_EQ(paused, 0);
}

TEST_F(PlayInput, ClicksDuringTheCooldownAreDroppedNotQueued)
{
    character* victim = put_character(KIND_CIVILIAN, 320, 288);
    point_at(336, 64 + 100); // aim north, at the victim
    handle_input();
    ASSERT_EQ(target_in_reach(), victim);

    click(SDL_BUTTON_RIGHT);
    handle_input();
    EXPECT_EQ(player->cooldown, 0) << "only the left button strikes";

    click(SDL_BUTTON_LEFT);
    handle_input();
    EXPECT_EQ(player->cooldown, ATTACK_COOLDOWN);
    EXPECT_EQ(victim->health, CHARACTER_MAX_HEALTH - DAMAGE_VS_CIVILIAN);

    click(SDL_BUTTON_LEFT);
    click(SDL_BUTTON_LEFT);
    handle_input();
    EXPECT_EQ(victim->health, CHARACTER_MAX_HEALTH - DAMAGE_VS_CIVILIAN);

    // The cooldown runs out: the dropped clicks do not strike afterwards.
    player->cooldown = 0;
    handle_input();
    EXPECT_EQ(victim->health, CHARACTER_MAX_HEALTH - DAMAGE_VS_CIVILIAN);
    click(SDL_BUTTON_LEFT);
    handle_input();
    EXPECT_EQ(victim->health, CHARACTER_MAX_HEALTH - 2 * DAMAGE_VS_CIVILIAN);

    // Before the run is live nothing strikes.
    player->cooldown = 0;
    run_active = 0;
    click(SDL_BUTTON_LEFT);
    handle_input();
    EXPECT_EQ(victim->health, CHARACTER_MAX_HEALTH - 2 * DAMAGE_VS_CIVILIAN);
}

} // namespace
