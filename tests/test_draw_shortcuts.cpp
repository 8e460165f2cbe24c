// The drawing shortcuts must not change a pixel: a busy playing frame and
// the title screen, drawn once the straightforward way and once with the
// shortcuts, byte for byte the same.
#include "test_render_support.h"

#include "characters/characters.h"
#include "characters/player.h"
#include "combat/effects.h"
#include "world/tile_anims.h"
#include "core/loop.h"
#include "core/states.h"
#include "util/archive.h"
#include "world/camera.h"
#include "world/map.h"

using namespace render_test;

namespace {

// Everything the playing frame can show, much of it overlapping: the full
// crowd around the player, some hurt, stains, corpses and drops both at
// full and at partial alpha, flashes, rising texts, the frame rate.
void build_crowded_run()
{
    srand(11);
    new_game();
    for (int i = 0; i < 75; i++) spawn_character(KIND_ARMED, 0);
    game_state = STATE_PLAYING;
    run_active = 1;
    psychosis = 60;
    player->x = 30 * CELL_SIZE;
    player->y = 31 * CELL_SIZE;
    place_camera(player->x, player->y);
    int i = 0;
    for (character* c = character_list; c; c = c->next, i++) {
        if (c == player) continue;
        // Packed into the view, many boxes overlapping their neighbours'.
        c->x = camera_x + (i * 53) % 760;
        c->y = camera_y + (i * 29) % 500;
        c->angle = (i * 37) % 360;
        c->moving = i % 2;
        c->frame = i % 4;
        if (i % 2 == 0) c->health = 5 + i % 90;
        if (i % 3 == 0) add_blood_stain(c->x, c->y, c->angle);
        if (i % 5 == 0) add_corpse(c->x + 20, c->y + 10, i % 2);
        if (i % 7 == 0) add_blood_burst(c->x, c->y);
        if (i % 9 == 0) add_floating_text(c->x, c->y, "+25");
        if (i % 11 == 0)
            add_sprite_anim(c->x, c->y, c->angle, TEX_SPAWN, 0, SPAWN_FLASH_SIZE,
                            SPAWN_FLASH_FRAMES, SPAWN_FLASH_TICKS);
    }
    for (int p = 0; p < MAX_PARTICLES; p++)
        if (particles[p].active && p % 2) particles[p].alpha = 0.25f + 0.5f * (float)(p % 3) / 2.0f;
    settings[SHOW_FPS] = 1;
}

Frame draw_with(int plain, int state)
{
    plain_drawing = plain;
    load_graphics();
    game_state = state;
    next_state = state;
    frame_factor = 0.0f; // nothing ages between the two drawings
    draw_frame();
    return read_frame();
}

TEST(DrawShortcuts, ChangeNoPixelOfAPlayingFrameOrTheTitle)
{
    open_window();
    ASSERT_TRUE(file_exists(GRAPHICS_ARCHIVE)) << "tests run beside assets.bin";
    load_map("default.map");
    init_tile_anims();
    build_crowded_run();

    for (int state : {STATE_PLAYING, STATE_TITLE}) {
        Frame plain = draw_with(1, state);
        Frame fast = draw_with(0, state);
        // A frame that shows little would prove little.
        ASSERT_GT(count_not_black(plain), SCREEN_WIDTH * SCREEN_HEIGHT / 2) << state;
        int differing = 0, first = -1;
        for (size_t i = 0; i < plain.rgb.size(); i += 3)
            if (memcmp(&plain.rgb[i], &fast.rgb[i], 3) != 0) {
                if (first < 0) first = (int)(i / 3);
                differing++;
            }
        EXPECT_EQ(differing, 0) << "state " << state << ", first at x " << first % SCREEN_WIDTH
                                << " y " << SCREEN_HEIGHT - 1 - first / SCREEN_WIDTH;
    }
    plain_drawing = 0;
    settings[SHOW_FPS] = 0;
    free_characters();
    clear_particles();
    clear_sprite_anims();
    clear_floating_texts();
    game_state = STATE_INTRO;
    free_graphics();
}

} // namespace
