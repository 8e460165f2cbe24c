// The 64-pixel status strip across the top of the window: health and
// psychosis bars with their percentages, and one line of text (the run's
// score, kills and time, or on the title screen the music and sound
// switches). Drawn in every state but the intro, after the fade and the
// banner, so nothing covers it. It keeps no state of its own.
#pragma once

#include "render/screen.h" // STATUS_HEIGHT, the strip's height

// Fill length of a bar at 100%.
#define STATUS_BAR_LENGTH 150

// Health text blinks at or below this, psychosis text at or below the other,
// in the shared blink phase and only while the run goes on.
#define LOW_HEALTH 30
#define LOW_PSYCHOSIS 40

// Bar fill in pixels for a value of 0..100: value / 100 * 150, computed in
// floating point and truncated.
int status_bar_length(int value);

// "%d min %d sec", "%d min" for whole minutes, "%d sec" under a minute. One
// static buffer, shared by every caller and overwritten by each call.
const char* format_time(int seconds);

// What the strip shows in the current frame, without drawing it.
struct StatusLayout {
    int health;              // value shown: the player's health while playing, else 0
    int psychosis;           // the meter while playing, else 0
    int health_fill;         // bar lengths in pixels
    int psychosis_fill;
    int health_text_shown;   // 0 during the hidden phase of a low, live meter
    int psychosis_text_shown;
    int health_x, psychosis_x, info_x; // left edges of the three texts
    char health_text[32];
    char psychosis_text[32];
    char info_text[96];
};

// Fills `out` from the game state, the meters, the settings and the blink.
void status_layout(StatusLayout* out);

// Draws the strip (2D projection).
void draw_status_bar();
