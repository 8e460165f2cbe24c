// Effects: the fixed tables when full, and what the pause stops as they age
// frame by frame; the tile loops.
#include <cstring>
#include <string>

#include "combat/effects.h"
#include "core/loop.h"
#include "test_render_support.h"
#include "world/camera.h"
#include "world/tile_anims.h"

using namespace render_test;

namespace {

int active_particles()
{
    int n = 0;
    for (const Particle& p : particles) n += p.active;
    return n;
}

// A clean window and empty tables, frames of `factor` frame units.
void start(float factor)
{
    open_window();
    use_play_view();
    clear_particles();
    clear_sprite_anims();
    clear_floating_texts();
    camera_x = camera_y = 0;
    frame_factor = factor;
    paused = 0;
}

TEST(Effects, FullTablesDropNewRequestsSilentlyAndTextsAreCut)
{
    start(0.0f);
    for (int i = 0; i < MAX_PARTICLES; i++) add_blood_stain(i, 0, 0);
    static Particle before[MAX_PARTICLES];
    memcpy(before, particles, sizeof particles);
    add_blood_burst(0, 0);
    add_blood_stain(5, 5, 90);
    add_corpse(5, 5, 1);
    EXPECT_EQ(0, memcmp(before, particles, sizeof particles));
    // Two free slots: a burst takes both, lowest first, and drops the rest.
    particles[700].active = particles[3].active = 0;
    add_blood_burst(64, 64);
    EXPECT_EQ(PARTICLE_BLOOD_DROP, particles[3].type);
    EXPECT_EQ(PARTICLE_BLOOD_DROP, particles[700].type);
    EXPECT_EQ(MAX_PARTICLES, active_particles());
    for (int i = 0; i <= MAX_SPRITE_ANIMS; i++)
        add_sprite_anim(i, 0, 0, TEX_SPAWN, 0, SPAWN_FLASH_SIZE, SPAWN_FLASH_FRAMES, SPAWN_FLASH_TICKS);
    for (int i = 0; i <= MAX_FLOATING_TEXTS; i++) add_floating_text(i, 0, "+10");
    for (int i = 0; i < MAX_SPRITE_ANIMS; i++) ASSERT_EQ(i, sprite_anims[i].x);
    for (int i = 0; i < MAX_FLOATING_TEXTS; i++) ASSERT_EQ(i, floating_texts[i].x);
    // A freed slot is taken first; a text keeps at most 63 characters.
    floating_texts[5].active = 0;
    add_floating_text(99, 20, std::string(100, 'b').c_str());
    EXPECT_EQ(std::string(63, 'b'), floating_texts[5].text);
}

TEST(Effects, WhilePausedOnlyDropsAndTileLoopsMove)
{
    start(1.0f);
    init_tile_anims();
    add_blood_stain(10, 10, 0);
    add_blood_burst(10, 10);
    add_sprite_anim(0, 0, 0, TEX_SPAWN, 0, SPAWN_FLASH_SIZE, SPAWN_FLASH_FRAMES, SPAWN_FLASH_TICKS);
    add_floating_text(5, 50, "+25");
    paused = 1;
    for (int f = 0; f < 2 * 104; f++) {
        advance_effects();
        // The four water and fire loops of eight cells step every 13 frames.
        for (int first : {128, 136, 144, 152})
            ASSERT_EQ(first + (f / 13) % 8, tile_anim_frame(TEX_TILES, first)) << f;
        update_tile_anims();
    }
    EXPECT_EQ(1800.0f, particles[0].delay);
    EXPECT_FALSE(particles[1].active);
    EXPECT_EQ(SPAWN_FLASH_TICKS, sprite_anims[0].frame_timer);
    EXPECT_EQ(50.0f, floating_texts[0].y);
    EXPECT_EQ(1.0f, floating_texts[0].alpha);
    EXPECT_EQ(129, tile_anim_frame(TEX_TILES, 129));
    EXPECT_EQ(128, tile_anim_frame(TEX_CHARACTERS, 128));
    paused = 0;
}

} // namespace
