// Small worlds for the rule tests: maps drawn straight into the walk grid,
// characters put where a test wants them, a fresh live run, counters, and
// test sounds on SDL's dummy driver so "which sample is playing" can be asked
// without hearing anything.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "characters/behaviour.h"
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

// A w x h map of floor, no layers, and no characters.
inline void open_map(int width, int height)
{
    free_characters();
    memset(walk_grid, 0, sizeof(walk_grid));
    map_width = width;
    map_height = height;
    map_layers = 0;
    for (int row = 0; row < height; row++)
        memset(walk_grid[row], 1, width);
}

// A map drawn row by row: '#' solid, anything else floor.
inline void drawn_map(std::initializer_list<const char*> rows)
{
    open_map((int)strlen(*rows.begin()), (int)rows.size());
    int i = 0;
    for (const char* text : rows)
        for (int column = 0; column < map_width; column++, i++)
            walk_grid[i / map_width][column] = text[column] != '#';
}

inline void set_solid(int column, int row) { walk_grid[row][column] = 0; }

// Open floor inside a solid border.
inline void load_walled_map(int width, int height)
{
    open_map(width, height);
    for (int row = 0; row < height; row++)
        for (int column = 0; column < width; column++)
            walk_grid[row][column] = row && column && row < height - 1 && column < width - 1;
}

// A character of `kind` with its box at (x, y), waypoint and destination on
// its own cell, appended to the list like a spawn but without randomness.
inline character* put_character(int kind, int x, int y)
{
    character* c = new_character();
    c->kind = kind;
    c->x = x;
    c->y = y;
    c->waypoint_x = c->dest_x = x / CELL_SIZE;
    c->waypoint_y = c->dest_y = y / CELL_SIZE;
    if (kind == KIND_PLAYER)
        player = c;
    return c;
}

inline int count_characters(int kind)
{
    int n = 0;
    for (const character* c = character_list; c; c = c->next) n += c->kind == kind;
    return n;
}

inline int count_bullets()
{
    int n = 0;
    for (const Bullet* b = bullet_list; b; b = b->next) n++;
    return n;
}

// Empties the world and puts the player at (x, y) with fresh meters, as a
// live run in the playing state. The map stays.
inline void start_run(int x, int y)
{
    free_characters();
    free_bullets();
    clear_items();
    clear_sprite_anims();
    clear_particles();
    clear_floating_texts();
    put_character(KIND_PLAYER, x, y);
    laugh_delay = sigh_delay = DELAY_IDLE;
    reset_meters();
    game_state = STATE_PLAYING;
    run_active = 1;
    paused = 0;
    fade_direction = 0;
    fade_alpha = 0.0f;
}

// The character part of one world tick, in the frame loop's order.
inline void world_tick()
{
    update_timers();
    regenerate_characters();
    update_characters();
    if (run_active && !player_out())
        update_shooting();
}

// Opens audio on the dummy driver and gives every sample id a one-second
// silence, long enough to still be playing when a test asks. Tests that
// need no sound skip this: before init_sound every sound call is a no-op.
inline void open_test_sound()
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    settings[MUSIC_ON] = settings[SOUND_FX_ON] = 1;
    init_sound();
    std::vector<unsigned char> wave = sound_data::wave(2, 44100, [](unsigned) { return (short)0; });
    for (int i = 0; i < SAMPLE_COUNT; i++)
        load_sound_bytes(&samples[i], "test.wav", wave.data(), wave.size());
}

inline void stop_all_samples()
{
    for (int i = 0; i < SAMPLE_COUNT; i++) stop_sample(i);
}

// A fresh live run on a walled 20 x 20 map, the player at (320, 320) facing
// north; sound and every list are let go afterwards.
class WorldTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        srand(3);
        load_walled_map(20, 20);
        start_run(320, 320);
    }
    void TearDown() override
    {
        close_sound();
        free_characters();
        free_bullets();
        run_active = 0;
    }
};
