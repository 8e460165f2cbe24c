// The game's eighteen sound effects, each a function that returns its samples
// as floats at SFX_RATE; sfxgen.cpp scales and writes them as 16-bit WAV.
#pragma once
#include <vector>

#define SFX_RATE 22050

std::vector<float> make_swing();
std::vector<float> make_gun();
std::vector<float> make_splat();
std::vector<float> make_ricochet();
std::vector<float> make_pills();
std::vector<float> make_alert();
std::vector<float> make_alert2();

std::vector<float> make_pant();
std::vector<float> make_sigh();
std::vector<float> make_growl();
// 0..3: the player's laughs; 4..7: the wilder ones under steroids.
std::vector<float> make_laugh(int which);
