// Effects: the fixed tables when full, how long each kind lasts aged frame
// by frame as it is drawn in a real window, the pause, and the tile loops.
#include <cstring>
#include <functional>
#include <string>

#include "combat/effects.h"
#include "core/loop.h"
#include "test_render_support.h"
#include "world/camera.h"

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

TEST(Effects, EachKindLastsItsFramesAtAnyFrameRate)
{
    auto anim = [](int frames, int ticks) {
        return [=] { add_sprite_anim(0, 0, 0, TEX_SPAWN, 0, 32, frames, ticks); };
    };
    const struct {
        const char* what;
        float factor;
        std::function<void()> add;
        void (*draw)();
        int least, most;
    } kinds[] = {
        {"ricochet", 1, anim(RICOCHET_FRAMES, RICOCHET_TICKS), draw_sprite_anims, 30, 30},
        {"spawn flash", 1, anim(SPAWN_FLASH_FRAMES, SPAWN_FLASH_TICKS), draw_sprite_anims, 42, 42},
        {"muzzle flash", 1, anim(MUZZLE_FLASH_FRAMES, MUZZLE_FLASH_TICKS), draw_sprite_anims, 12, 12},
        {"no cells, no time", 1, anim(0, 0), draw_sprite_anims, 2, 2},
        // A long frame runs the timer down; the next takes every step owed.
        {"spawn flash, long frames", 17, anim(SPAWN_FLASH_FRAMES, SPAWN_FLASH_TICKS),
         draw_sprite_anims, 6, 6},
        {"stain", 1, [] { add_blood_stain(0, 0, 0); }, draw_blood_stains, 1800 + 160, 1800 + 160},
        {"stain, 30 frames a second", 2, [] { add_blood_stain(0, 0, 0); }, draw_blood_stains, 980, 981},
        {"corpse", 1, [] { add_corpse(0, 0, 1); }, draw_corpses, 1800 + 128, 1800 + 128},
        {"drop", 1, [] { add_blood_burst(0, 0); }, draw_blood_drops, 32, 32},
        {"rising text", 1, [] { add_floating_text(0, 300, "+1"); }, draw_floating_texts, 192, 193},
    };
    for (const auto& k : kinds) {
        start(k.factor);
        k.add();
        int frames = 0;
        for (; sprite_anims[0].active || particles[0].active || floating_texts[0].active; frames++)
            k.draw();
        EXPECT_GE(frames, k.least) << k.what;
        EXPECT_LE(frames, k.most) << k.what;
    }
}

TEST(Effects, WhilePausedOnlyDropsAndTileLoopsMove)
{
    start(1.0f);
    init_tile_anims();
    add_blood_stain(10, 10, 0);
    add_corpse(10, 10, 0);
    add_blood_burst(10, 10);
    add_sprite_anim(0, 0, 0, TEX_SPAWN, 0, SPAWN_FLASH_SIZE, SPAWN_FLASH_FRAMES, SPAWN_FLASH_TICKS);
    add_floating_text(5, 50, "+25");
    auto frame = [] {
        draw_blood_stains();
        draw_corpses();
        draw_sprite_anims();
        draw_blood_drops();
        draw_floating_texts();
        update_tile_anims();
    };
    for (int i = 0; i < 7; i++) frame();
    Particle stain = particles[0], corpse = particles[1], drop = particles[2];
    SpriteAnim anim = sprite_anims[0];
    FloatingText text = floating_texts[0];
    paused = 1;
    for (int i = 0; i < 20; i++) frame();
    EXPECT_EQ(stain.delay, particles[0].delay);
    EXPECT_EQ(corpse.delay, particles[1].delay);
    EXPECT_EQ(anim.frame, sprite_anims[0].frame);
    EXPECT_EQ(anim.frame_timer, sprite_anims[0].frame_timer);
    EXPECT_EQ(text.y, floating_texts[0].y);
    EXPECT_EQ(text.alpha, floating_texts[0].alpha);
    EXPECT_LT(particles[2].alpha, drop.alpha);
    EXPECT_NE(drop.y, particles[2].y);
    // The four water and fire loops of eight cells step every 13 frames.
    EXPECT_EQ(128 + 2, tile_anim_frame(TEX_TILES, 128));
    for (int f = 27; f < 2 * 104; f++) {
        for (int first : {128, 136, 144, 152})
            ASSERT_EQ(first + (f / 13) % 8, tile_anim_frame(TEX_TILES, first)) << f;
        update_tile_anims();
    }
    EXPECT_EQ(129, tile_anim_frame(TEX_TILES, 129));
    EXPECT_EQ(128, tile_anim_frame(TEX_CHARACTERS, 128));
    paused = 0;
}

} // namespace
