// Shared set-up for the fight's rule tests: small maps made in memory, a
// fresh population, and test sounds on SDL's dummy driver so that "which
// sample is playing" can be asked without hearing anything.
#pragma once

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "characters/characters.h"
#include "characters/player.h"
#include "combat/bullets.h"
#include "combat/effects.h"
#include "combat/items.h"
#include "core/loop.h"
#include "core/states.h"
#include "render/fade.h"
#include "sound/sound.h"
#include "test_sound_data.h"
#include "world/map.h"

namespace fight_test {

// Loads a width x height map of one layer whose cell (column, row) is floor
// when floor(column, row) says so.
inline void load_test_map(int width, int height, const std::function<bool(int, int)>& floor)
{
    std::vector<unsigned char> bytes(map_file_size(width, height, 1), 0);
    bytes[MAP_HEADER_SIZE] = (unsigned char)width;
    bytes[MAP_HEADER_SIZE + 1] = (unsigned char)height;
    bytes[MAP_HEADER_SIZE + 2] = 1;
    size_t at = MAP_DATA_OFFSET;
    for (int row = 0; row < height; row++) {
        for (int column = 0; column < width; column++) {
            at += FACE_COUNT;
            bytes[at++] = floor(column, row) ? 1 : 0;
        }
    }
    load_map_bytes("test.map", bytes.data(), bytes.size());
}

// Open floor with a solid border.
inline void load_walled_map(int width, int height)
{
    load_test_map(width, height, [&](int c, int r) {
        return c > 0 && r > 0 && c < width - 1 && r < height - 1;
    });
}

// A character of `kind` at (x, y), appended to the list.
inline character* put_character(int kind, int x, int y)
{
    character* c = new_character();
    c->kind = kind;
    c->x = x;
    c->y = y;
    return c;
}

// Empties the world and puts the player at (x, y) with fresh meters, as a
// live run in the playing state.
inline void start_run(int x, int y)
{
    free_characters();
    free_bullets();
    clear_items();
    clear_sprite_anims();
    clear_particles();
    clear_floating_texts();
    player = put_character(KIND_PLAYER, x, y);
    laugh_delay = DELAY_IDLE;
    sigh_delay = DELAY_IDLE;
    reset_meters();
    game_state = STATE_PLAYING;
    run_active = 1;
    paused = 0;
    fade_direction = 0;
    fade_alpha = 0.0f;
}

inline int count_characters(int kind)
{
    int n = 0;
    for (character* c = character_list; c != nullptr; c = c->next)
        n += c->kind == kind;
    return n;
}

inline int count_bullets()
{
    int n = 0;
    for (Bullet* b = bullet_list; b != nullptr; b = b->next)
        n++;
    return n;
}

// The active rising texts, in slot order.
inline std::vector<FloatingText> active_texts()
{
    std::vector<FloatingText> out;
    for (const FloatingText& t : floating_texts)
        if (t.active)
            out.push_back(t);
    return out;
}

inline int active_anims()
{
    int n = 0;
    for (const SpriteAnim& a : sprite_anims)
        n += a.active != 0;
    return n;
}

inline int active_stains()
{
    int n = 0;
    for (const Particle& p : particles)
        n += p.active && p.type == PARTICLE_BLOOD_STAIN;
    return n;
}

// Opens audio on the dummy driver and gives every sample id a one-second
// sound. Tests that only need silence skip this: before init_sound every
// sound call is a no-op.
inline void open_test_sound()
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    settings[MUSIC_ON] = 1;
    settings[SOUND_FX_ON] = 1;
    init_sound();
    // one second of silence: long enough to still be playing when a test asks
    std::vector<unsigned char> wave = sound_data::wave(2, 44100, [](unsigned) { return (short)0; });
    for (int i = 0; i < SAMPLE_COUNT; i++)
        load_sound_bytes(&samples[i], "test.wav", wave.data(), wave.size());
}

inline void stop_all_samples()
{
    for (int i = 0; i < SAMPLE_COUNT; i++)
        stop_sample(i);
}

} // namespace fight_test
