// Drawing the characters and the health bars of the wounded.
//
// Characters are 64 x 64 pictures from the character sheet (row = kind,
// column = pose) centred on their 32 x 32 boxes and turned by their facing,
// drawn on the ground plane of the 3D pass. All shadows (the same picture in
// black, 6 units down and right) go down before any body, so no shadow
// falls on a character; later characters in the list cover earlier ones.
#pragma once

struct character;

// Character sheet cell size and the pose columns.
#define CHARACTER_CELL 64
#define POSE_STANDING 0
#define POSE_WALKING 1    // 1..4: walk frames 0..3
#define POSE_STRIKING 5   // the player striking; armed walking in sight, frame 0
#define POSE_AIMING 6     // armed standing in sight; 6..8 its walk frames 1..3
#define POSE_CORPSE 9
#define STRIKE_TURN -25   // degrees the player turns while striking
#define SHADOW_OFFSET 6

// Health bar layout on the bar sheet and beside the character's box.
#define BAR_FRAME_WIDTH 57
#define BAR_FRAME_HEIGHT 23
#define BAR_FILL_X 57
#define BAR_FILL_Y 2
#define BAR_FILL_HEIGHT 16
#define BAR_FILL_MAX 50
#define BAR_OFFSET_X 40   // the bar stands this far right of the box
#define BAR_TEXT_WIDTH 54 // the text is centred over this span
#define BAR_CENTRED_HEIGHT 20 // the bar is placed as if this high, centred on the box

// Column of the sheet `c` shows now, and the extra turn added to its angle.
void character_pose(const character* c, int* column, int* extra_turn);

// 3D pass: shadows, then bodies, in list order; the player is left out once
// the run is over.
void draw_characters();

// 2D pass: a bar and "NN%" beside every non-player character with 99 health
// or less.
void draw_health_bars();
