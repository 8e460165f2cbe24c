// Input of the running game through real SDL events in a window under
// Xvfb: held keys come from SDL's key state array, the pointer from a warp,
// clicks and keys from the event queue; then handle_input runs as a tick
// would run it.
#include <algorithm>
#include <tuple>

#include "test_render_support.h"
#include "test_states_helpers.h"
#include "world/camera.h"

using namespace state_test;

namespace {

// A character of `kind` at (x, y), appended to the list.
character* put_character(int kind, int x, int y)
{
    character* c = new_character();
    c->kind = kind;
    c->x = x;
    c->y = y;
    return c;
}

// A live run whose only character is the player, at (320, 320) on open
// floor, the camera at the map's corner and no direction key held.
class PlayInput : public StateTest {
protected:
    uint8_t* keys = SDL_GetKeyState(nullptr);

    void SetUp() override
    {
        render_test::open_window();
        StateTest::SetUp();
        set_game_state(STATE_PLAYING);
        frames(130);
        free_characters();
        player = put_character(KIND_PLAYER, 320, 320);
        camera_x = camera_y = 0;
        hold({});
    }

    void TearDown() override
    {
        hold({});
        start_events();
        StateTest::TearDown();
        game_state = STATE_INTRO;
    }

    // Holds exactly these of the eight direction keys.
    void hold(std::initializer_list<int> held)
    {
        for (int k : {KEY_A, KEY_D, KEY_W, KEY_S, KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN})
            keys[k] = std::find(held.begin(), held.end(), k) != held.end();
    }
};

TEST_F(PlayInput, LeftWinsOverRightAndUpOverDown)
{
    // From (320, 320): the keys held, then where a tick leaves the player.
    const struct { std::initializer_list<int> held; int x, y, moving; } cases[] = {
        {{KEY_A, KEY_D, KEY_W, KEY_S}, 318, 318, 1},
        {{KEY_RIGHT, KEY_DOWN}, 320, 320, 1},
        {{KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN}, 318, 318, 1},
        {{}, 318, 318, 0},
    };
    for (const auto& c : cases) {
        hold(c.held);
        handle_input();
        EXPECT_EQ(std::make_tuple(player->x, player->y, player->moving), std::make_tuple(c.x, c.y, c.moving));
    }
}

TEST_F(PlayInput, PausingGatesEveryActionAndWorksOnlyDuringALiveRun)
{
    run_active = 0; // the opening fade
    tap(KEY_P);
    EXPECT_EQ(paused, 0);

    run_active = 1;
    prompt_hidden = 1;
    prompt_timer = 3.0f;
    tap(KEY_P);
    EXPECT_EQ(paused, 1);
    EXPECT_EQ(prompt_hidden, 0) << "the pause line shows at once";
    EXPECT_FLOAT_EQ(prompt_timer, PROMPT_VISIBLE_TIME);

    // Paused: the keys move nobody and clicks strike nobody.
    character* victim = put_character(KIND_CIVILIAN, 320, 288);
    player->angle = 0;
    hold({KEY_A});
    push(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
    handle_input();
    EXPECT_EQ(player->x, 320);
    EXPECT_EQ(victim->health, CHARACTER_MAX_HEALTH);
    hold({});
    tap(KEY_P);
    EXPECT_EQ(paused, 0);

    // After the run's end P does nothing.
    psychosis = 0;
    tap(KEY_P);
    EXPECT_EQ(paused, 0);
}

// Moves the real pointer and waits until SDL has seen it arrive. Other
// window tests share the X display, and while one of their windows lies
// over ours the motion goes to that window instead: the warp is repeated
// until ours is uncovered.
void point_at(int x, int y)
{
    int seen_x = -1, seen_y = -1;
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

TEST_F(PlayInput, ClicksDuringTheCooldownAreDroppedNotQueued)
{
    character* victim = put_character(KIND_CIVILIAN, 320, 288);
    point_at(336, STATUS_HEIGHT + 100); // north of the player, at the victim
    handle_input();
    ASSERT_EQ(target_in_reach(), victim);

    // Each pass: the clicks, the cooldown set before it, what the victim
    // has lost after it. Only the left button strikes; clicks during the
    // cooldown are lost, also once it has run out; none strike before the
    // run is live.
    const struct { int left, right, cooldown, live, lost; } cases[] = {
        {0, 1, 0, 1, 0}, {1, 0, 0, 1, 1}, {2, 0, -1, 1, 1}, {0, 0, 0, 1, 1}, {1, 0, 0, 1, 2}, {1, 0, 0, 0, 2},
    };
    for (auto c : cases) {
        for (int i = 0; i < c.left + c.right; i++)
            push(SDL_MOUSEBUTTONDOWN, i < c.left ? SDL_BUTTON_LEFT : SDL_BUTTON_RIGHT);
        if (c.cooldown >= 0)
            player->cooldown = c.cooldown;
        run_active = c.live;
        int health = victim->health, cooldown = player->cooldown;
        handle_input();
        EXPECT_EQ(victim->health, CHARACTER_MAX_HEALTH - c.lost * DAMAGE_VS_CIVILIAN) << c.left << " " << c.live;
        EXPECT_EQ(player->cooldown, victim->health < health ? ATTACK_COOLDOWN : cooldown) << "a strike starts it";
    }
}

} // namespace
