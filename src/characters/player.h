// The player: its strike, the run's meters, the voice that follows kills
// and painkillers, and the end of a run.
//
// A run is limited by two meters. Health falls only to bullets and rises
// only with painkillers; psychosis drains by itself and is refilled by
// kills. When either reaches 0 the run is over (player_out), the screen
// fades to dark red and from then on the player can neither act nor be hurt.
//
// Everything here counts world ticks (60 per second). While the game is
// paused no world tick runs, so every counter stands still.
#pragma once

#include "characters/characters.h"

#define PSYCHOSIS_MAX 100
#define PSYCHOSIS_PER_KILL 25
// Ticks between two points of psychosis, minus one: the point drops in the
// tick after the countdown reached 0, so psychosis falls 1 per 11 ticks.
#define PSYCHOSIS_DRAIN_TICKS 10
// Likewise run_seconds grows once per 61 ticks.
#define SECOND_TICKS TICKS_PER_SECOND

// The strike: the player's box moved this far along the aim is what it hits.
#define ATTACK_REACH 32
#define ATTACK_COOLDOWN 10
#define DAMAGE_STEROIDS 100
#define DAMAGE_VS_ARMED 20
#define DAMAGE_VS_CIVILIAN 40
#define POINTS_HIT 1
#define POINTS_CIVILIAN 10
#define POINTS_ARMED 25
// Extra stains thrown around a kill, evenly spread over the circle.
#define KILL_STAINS 5

// Steroids: ticks of effect from one pickup.
#define STEROIDS_TICKS (10 * TICKS_PER_SECOND)

// Voice delays in ticks; -1 marks an idle delay.
#define LAUGH_DELAY_TICKS 20
#define SIGH_DELAY_TICKS 40
#define DELAY_IDLE -1

// The end of a run and a bullet's hit both colour the screen dark red; the
// end fades out slowly (128 frame units), a hit flashes and clears in 32.
#define HURT_RED 170
#define HURT_GREEN 0
#define HURT_BLUE 0
#define RUN_END_FADE_SPEED 0.0078125f
#define HIT_FLASH_SPEED 0.03125f

// Degrees to radians, the one factor every facing goes through.
#define DEGREES_TO_RADIANS 0.017453292f

// The run's meters, all reset by reset_meters (part of new_game).
extern int psychosis;           // 0..100; 0 ends the run
extern int psychosis_countdown; // ticks until psychosis drops by 1
extern int score;
extern int kills[CHARACTER_KINDS]; // by kind: [KIND_CIVILIAN], [KIND_ARMED]
extern int run_seconds;
extern int second_countdown;    // ticks until run_seconds grows by 1
extern int steroids_timer;      // ticks of steroids left; 0 none

// Voice delays, idled (-1) by new_player.
extern int laugh_delay;
extern int sigh_delay;
// Sample id of the last laugh played; never reset, so two laughs in a row
// differ even across runs.
extern int last_laugh;
// Ticks the last laugh still sounds (sample_ticks), counted down by
// update_laugh; reset by new_player.
extern int laugh_sounding;

// Start values of a run: psychosis 100, countdowns 10 and 60, everything
// else 0. Called by new_game after new_player.
void reset_meters();

// 1 when the run is over: no player, or its health or psychosis is 0.
int player_out();

// 1 while the player may act: playing, the run live, not paused, not out.
int player_can_act();

// The player's part of a live tick: a step of (dx, dy) (each -1, 0, +1)
// taken character_speed times, or, with no direction, only the walk
// cleared; then, moving or not, the facing toward the world point
// (aim_x, aim_y).
void steer_player(int dx, int dy, float aim_x, float aim_y);

// The first character in list order, other than the player, whose box
// overlaps the player's box moved ATTACK_REACH units along its facing; or
// none. Also decides the crosshair's look.
character* target_in_reach();

// The strike: swing sound and cooldown always; against a target in reach
// damage, blood, splat, points shown rising over it, and on a kill the
// psychosis refill, the kill count, more blood and the replacement. May
// schedule a laugh. The caller checks that the cooldown is 0.
void player_attack();

// First of the world tick during a live run: psychosis drain (its end
// starts the dark red fade), elapsed seconds, steroids countdown.
void update_meters();

// Last of the world tick, always: the laugh some ticks after a kill, which
// waits while another laugh still sounds (for the ticks of its length, not
// by asking the mixer) and never repeats the last one.
void update_laugh();

// Last of the world tick, always: the sigh after painkillers.
void update_sigh();
