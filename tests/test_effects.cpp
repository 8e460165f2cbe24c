// Creating effects, the fixed tables' full behaviour and the tile loops;
// then effects drawn and aged frame by frame in a real window.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>

#include "combat/effects.h"
#include "world/tile_anims.h"
#include "core/loop.h"
#include "test_render_support.h"
#include "world/camera.h"

namespace {

int active_particles()
{
    int n = 0;
    for (const Particle& p : particles) n += p.active;
    return n;
}

void clear_all()
{
    clear_particles();
    clear_sprite_anims();
    clear_floating_texts();
}

} // namespace

TEST(Effects, StainLiesTwentyFourUnitsAlongTheStrike)
{
    clear_all();
    srand(7);
    add_blood_stain(100, 200, 0);
    add_blood_stain(100, 200, 90);
    add_blood_stain(100, 200, 225);
    ASSERT_EQ(active_particles(), 3);
    EXPECT_NEAR(particles[0].x, 100.0f, 1e-4);
    EXPECT_NEAR(particles[0].y, 176.0f, 1e-4); // north is up: y shrinks
    EXPECT_NEAR(particles[1].x, 124.0f, 1e-4);
    EXPECT_NEAR(particles[1].y, 200.0f, 1e-4);
    EXPECT_NEAR(particles[2].x, 100.0f - 24.0f * sqrtf(0.5f), 1e-3);
    EXPECT_NEAR(particles[2].y, 200.0f + 24.0f * sqrtf(0.5f), 1e-3);
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(particles[i].type, PARTICLE_BLOOD_STAIN);
        EXPECT_TRUE(particles[i].variant >= 0 && particles[i].variant <= 3) << particles[i].variant;
        EXPECT_TRUE(particles[i].rotation >= 0 && particles[i].rotation <= 359) << particles[i].rotation;
    }
}

TEST(Effects, KillLeavesSixteenParticlesAndACorpse)
{
    clear_all();
    srand(11);
    // What one kill adds: a stain along the strike, the burst of the hit,
    // five more stains 72 degrees apart, the corpse.
    add_blood_stain(320, 320, 45);
    add_blood_burst(320, 320);
    for (int a = 0; a < 360; a += 72) add_blood_stain(320, 320, a);
    add_corpse(320, 320, 2);
    ASSERT_EQ(active_particles(), 17);
    for (int i = 1; i <= 10; i++) {
        const Particle& d = particles[i];
        ASSERT_EQ(d.type, PARTICLE_BLOOD_DROP);
        ASSERT_GE(d.size, 12);
        ASSERT_LE(d.size, 24);
        // Centred on the 32-unit box, the odd unit going to the right.
        EXPECT_EQ(d.x, (float)(320 + (32 - d.size) / 2));
        EXPECT_EQ(d.y, d.x);
        // Fanned out 36 degrees apart, each scattered by at most 16.
        float centre = (float)((i - 1) * 36) * 0.017453292f;
        EXPECT_LE(fabsf(d.direction - centre), 16.0f * 0.017453292f + 1e-5f) << "drop " << i;
    }
    const Particle& corpse = particles[16];
    EXPECT_EQ(corpse.type, PARTICLE_CORPSE);
    EXPECT_EQ(corpse.x, 304.0f);
    EXPECT_EQ(corpse.y, 304.0f);
    EXPECT_EQ(corpse.variant, 2);
}

TEST(Effects, FullTablesDropNewRequestsSilentlyAndTextsAreCut)
{
    clear_all();
    for (int i = 0; i < MAX_PARTICLES; i++) add_blood_stain(i, 0, 0);
    ASSERT_EQ(active_particles(), MAX_PARTICLES);
    EXPECT_EQ(find_free_particle(), -1);
    Particle before[MAX_PARTICLES];
    memcpy(before, particles, sizeof particles);
    add_blood_burst(0, 0);
    add_blood_stain(5, 5, 90);
    add_corpse(5, 5, 1);
    EXPECT_EQ(memcmp(before, particles, sizeof particles), 0);

    // Two free slots: a burst takes both, lowest first, and drops the rest.
    particles[700].active = 0;
    particles[3].active = 0;
    EXPECT_EQ(find_free_particle(), 3);
    add_blood_burst(64, 64);
    EXPECT_EQ(particles[3].type, PARTICLE_BLOOD_DROP);
    EXPECT_EQ(particles[700].type, PARTICLE_BLOOD_DROP);
    EXPECT_EQ(active_particles(), MAX_PARTICLES);

    for (int i = 0; i < MAX_SPRITE_ANIMS + 1; i++)
        add_sprite_anim(i, 0, 0, TEX_SPAWN, 0, SPAWN_FLASH_SIZE, SPAWN_FLASH_FRAMES, SPAWN_FLASH_TICKS);
    for (int i = 0; i < MAX_SPRITE_ANIMS; i++) ASSERT_EQ(sprite_anims[i].x, i);
    for (int i = 0; i < MAX_FLOATING_TEXTS + 1; i++) add_floating_text(i, 0, "+10");
    for (int i = 0; i < MAX_FLOATING_TEXTS; i++) ASSERT_EQ(floating_texts[i].x, i);
    // A text keeps at most 63 characters.
    floating_texts[0].active = floating_texts[1].active = 0;
    std::string fits(63, 'a'), longer(100, 'b');
    add_floating_text(10, 20, fits.c_str());
    add_floating_text(10, 20, longer.c_str());
    EXPECT_EQ(std::string(floating_texts[0].text), fits);
    EXPECT_EQ(std::string(floating_texts[1].text), std::string(63, 'b'));

    // A freed slot is reused before any later one.
    sprite_anims[9].active = 0;
    add_sprite_anim(99, 5, 45, TEX_GUNFIRE, 0, MUZZLE_FLASH_SIZE, MUZZLE_FLASH_FRAMES, MUZZLE_FLASH_TICKS);
    EXPECT_EQ(sprite_anims[9].x, 99);
    EXPECT_EQ(sprite_anims[9].frames_left, 2);
    EXPECT_EQ(sprite_anims[9].frame_timer, 3.0f);
    clear_all();
    EXPECT_EQ(active_particles(), 0);
    EXPECT_EQ(sprite_anims[9].active, 0);
    EXPECT_EQ(floating_texts[0].active, 0);
}

TEST(TileAnims, FourLoopsOfEightCellsThirteenFramesEach)
{
    init_tile_anims();
    frame_factor = 1.0f;
    const int starts[4] = {128, 136, 144, 152};
    // Frame by frame at 60 per second: 13 frames a cell, 104 a loop.
    for (int f = 0; f < 2 * 104; f++) {
        int expect = (f / 13) % 8;
        for (int s : starts) ASSERT_EQ(tile_anim_frame(TEX_TILES, s), s + expect) << "frame " << f;
        update_tile_anims();
    }
    // Cells that do not start a loop, other sheets and ids off the table
    // map to themselves.
    EXPECT_EQ(tile_anim_frame(TEX_TILES, 129), 129);
    EXPECT_EQ(tile_anim_frame(TEX_TILES, 0), 0);
    EXPECT_EQ(tile_anim_frame(TEX_CHARACTERS, 128), 128);
    EXPECT_EQ(tile_anim_frame(40, 128), 128);
    EXPECT_EQ(tile_anim_frame(TEX_TILES, 300), 300);
    EXPECT_EQ(tile_anim_frame(-1, -5), -5);

    // A long frame first runs the timer down, and the next call takes
    // every step it owes at once, wrapping round the loop.
    init_tile_anims();
    frame_factor = 12.0f * 10 + 6; // ten periods and a half
    update_tile_anims();
    EXPECT_EQ(tile_anim_frame(TEX_TILES, 136), 136);
    update_tile_anims();
    EXPECT_EQ(tile_anim_frame(TEX_TILES, 136), 136 + 2); // ten steps, once round
    frame_factor = 0.0f;
}

using namespace render_test;

namespace {

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

// Calls `draw` once per frame until `alive` turns false; returns the number
// of frames in which the effect was there to be drawn.
int frames_shown(const std::function<void()>& draw, const std::function<bool()>& alive)
{
    int n = 0;
    while (alive() && n < 100000) {
        draw();
        n++;
    }
    return n;
}

} // namespace

TEST(EffectsAgeing, OneShotAnimationsLastTheirCellsPlusOneFrameEach)
{
    start(1.0f);
    auto shown = [](int frames, int ticks) {
        clear_sprite_anims();
        add_sprite_anim(100, 100, 0, TEX_SPAWN, 0, 32, frames, ticks);
        return frames_shown(advance_effects, [] { return sprite_anims[0].active != 0; });
    };
    EXPECT_EQ(shown(RICOCHET_FRAMES, RICOCHET_TICKS), 30);
    EXPECT_EQ(shown(SPAWN_FLASH_FRAMES, SPAWN_FLASH_TICKS), 42);
    EXPECT_EQ(shown(MUZZLE_FLASH_FRAMES, MUZZLE_FLASH_TICKS), 12);
    // Requests for no cells or no time still end.
    EXPECT_EQ(shown(0, 0), 2);

    // The cells go by in order.
    clear_sprite_anims();
    add_sprite_anim(0, 0, 0, TEX_RICOCHET, 2, RICOCHET_SIZE, 3, 1);
    int seen[3] = {0, 0, 0};
    while (sprite_anims[0].active) {
        seen[sprite_anims[0].frame - 2]++;
        advance_effects();
    }
    EXPECT_EQ(seen[0], 2);
    EXPECT_EQ(seen[1], 2);
    EXPECT_EQ(seen[2], 2);
}

TEST(EffectsAgeing, LongFrameAdvancesOrEndsAnAnimationInOneCall)
{
    start(1.0f);
    add_sprite_anim(0, 0, 0, TEX_SPAWN, 0, SPAWN_FLASH_SIZE, SPAWN_FLASH_FRAMES, SPAWN_FLASH_TICKS);
    frame_factor = 17.0f;
    advance_effects(); // runs the first cell's timer out: 5 - 17 = -12
    EXPECT_EQ(sprite_anims[0].frame, 0);
    advance_effects(); // owes three steps: -12 + 5 + 5 + 5 = 3
    EXPECT_EQ(sprite_anims[0].frame, 3);
    EXPECT_EQ(sprite_anims[0].frames_left, 3);
    EXPECT_FLOAT_EQ(sprite_anims[0].frame_timer, 3.0f);
    frame_factor = 100.0f;
    advance_effects();
    EXPECT_EQ(sprite_anims[0].active, 1);
    advance_effects(); // more owed than cells left: the animation ends
    EXPECT_EQ(sprite_anims[0].active, 0);
}

TEST(EffectsAgeing, StainsAndCorpsesStayThenFade)
{
    start(1.0f);
    add_blood_stain(100, 100, 0);
    int stain = frames_shown(advance_effects, [] { return particles[0].active != 0; });
    EXPECT_EQ(stain, 1800 + 160);

    clear_particles();
    add_corpse(100, 100, 1);
    int full = 0;
    int corpse = frames_shown(
        [&] {
            if (particles[0].alpha == 1.0f) full++;
            advance_effects();
        },
        [] { return particles[0].active != 0; });
    EXPECT_EQ(full, 1800 + 1); // the first fading step comes after its frame
    EXPECT_EQ(corpse, 1800 + 128);

    // Frames twice as long: the delay runs out in half as many frames, and
    // the fade in about half as many (float steps may leave a crumb over).
    start(2.0f);
    add_blood_stain(0, 0, 0);
    for (int i = 0; i < 900; i++) advance_effects();
    EXPECT_EQ(particles[0].alpha, 1.0f);
    EXPECT_LE(particles[0].delay, 0.0f);
    int fade = frames_shown(advance_effects, [] { return particles[0].active != 0; });
    EXPECT_GE(fade, 80);
    EXPECT_LE(fade, 81);

    // Drops fly 1.5 units per frame unit along their direction while fading.
    start(1.0f);
    add_blood_burst(0, 0);
    float x0 = particles[2].x, y0 = particles[2].y, dir = particles[2].direction;
    EXPECT_EQ(frames_shown(advance_effects, [] { return particles[2].active != 0; }), 32);
    EXPECT_NEAR(particles[2].x - x0, 48.0f * sinf(dir), 1e-3);
    EXPECT_NEAR(particles[2].y - y0, -48.0f * cosf(dir), 1e-3);
}

TEST(EffectsAgeing, WhilePausedOnlyDropsAndTilesMove)
{
    start(1.0f);
    init_tile_anims();
    add_blood_stain(10, 10, 0);
    add_corpse(10, 10, 0);
    add_blood_burst(10, 10);
    add_sprite_anim(0, 0, 0, TEX_SPAWN, 0, SPAWN_FLASH_SIZE, SPAWN_FLASH_FRAMES, SPAWN_FLASH_TICKS);
    add_floating_text(5, 50, "+25");
    auto frame = [] {
        advance_effects();
        update_tile_anims();
    };
    // Let everything age a little, so fading shows too.
    for (int i = 0; i < 7; i++)
        frame();
    Particle stain = particles[0], corpse = particles[1], drop = particles[2];
    SpriteAnim anim = sprite_anims[0];
    FloatingText text = floating_texts[0];
    int tile = tile_anim_frame(TEX_TILES, 128);
    paused = 1;
    for (int i = 0; i < 20; i++)
        frame();
    EXPECT_EQ(particles[0].delay, stain.delay);
    EXPECT_EQ(particles[1].delay, corpse.delay);
    EXPECT_EQ(sprite_anims[0].frame, anim.frame);
    EXPECT_EQ(sprite_anims[0].frame_timer, anim.frame_timer);
    EXPECT_EQ(floating_texts[0].y, text.y);
    EXPECT_EQ(floating_texts[0].alpha, text.alpha);
    EXPECT_LT(particles[2].alpha, drop.alpha);
    EXPECT_TRUE(particles[2].x != drop.x || particles[2].y != drop.y);
    EXPECT_NE(tile_anim_frame(TEX_TILES, 128), tile);
    paused = 0;

    // Unpaused, the text rises one unit per frame unit.
    advance_effects();
    EXPECT_FLOAT_EQ(floating_texts[0].y, text.y - 1.0f);
}

TEST(EffectsDrawing, TextsAreDrawnBelowTheStatusStripAtTheirWorldPlace)
{
    start(0.0f);
    set_projection(PROJECTION_2D);
    set_viewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    make_texture(TEX_FONT, 160, 288, [](int, int) { return WHITE; });
    camera_x = 100;
    camera_y = 40;
    add_floating_text(150, 90, "+");
    draw_floating_texts();
    EXPECT_EQ(rect(find_colour(read_frame(), WHITE)), (Rect{50, 90 - 40 + STATUS_HEIGHT, 10, 18}));
}
