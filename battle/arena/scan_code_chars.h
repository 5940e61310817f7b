// The characters of the keys for the chat line and the screens: two tables from DirectInput scan
// code to character for the US layout, unshifted and shifted; 0 for a key without one.
#pragma once

#include <array>
#include <cstdint>

#include "battle/arena/keyboard_buffer.h"

using ScanCodeChars = std::array<char, 256>;

extern const ScanCodeChars kUnshiftedChars;
extern const ScanCodeChars kShiftedChars;

// 0 while Ctrl or Alt was held; the shifted character while Shift was; else the unshifted.
char ScanCodeToChar(const KeyboardRecord& record);
