// The HUD colour codes: the letter after a BEL byte picks a colour (0x00BBGGRR).
#pragma once

#include <array>

#include "platform/gdi.h"

inline constexpr char kHudCodeFirst = 'a';
inline constexpr std::array<COLORREF, 11> kHudColours = {
    0x0000FF,  // a: red (team 0)
    0x009C21,  // b: green (team 1), the default
    0xFF0000,  // c: blue (team 2)
    0x787878,  // d: gray (team 3)
    0xFFFFFF,  // e: white
    0x00FFFF,  // f: yellow
    0x009C21,  // g: green, an available weapon
    0x18FF31,  // h: bright green, the selected or active weapon
    0x0000FF,  // i: red, an unavailable weapon
    0xFFFF52,  // j: light cyan, a counted or passive weapon
    0x010000,  // k: near black
};
inline constexpr COLORREF kHudDefaultColour = kHudColours[1];
inline constexpr COLORREF kHudBackground = 0x010000;
// A team's code: the two characters at team x 2.
inline constexpr char kHudTeamCodes[] = "\aa\ab\ac\ad";
