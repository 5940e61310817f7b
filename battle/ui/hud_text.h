// The HUD font and the coloured multi-line text of the cockpit, the log and the editor: a line
// may start with colour codes, a BEL byte and a letter from "a" to "k".
#pragma once

#include "platform/gdi.h"

// Size 14: the 14-pixel "Arial" font; any other: the 10-pixel "Smallf" font. Replaces the
// previous HUD font and resets the text colour to that of code "b".
void CreateHudFont(int size);
void DeleteHudFont();
// The pixel step from one HUD line to the next (the font's height minus 2).
int HudLineStep();
// Pixels of the whole text in the HUD font.
int MeasureHudText(HDC dc, const char* text);
// How many leading characters fit strictly before the width is reached; the whole length when
// the text is narrower, -1 for a width below 1.
int MeasureHudTextFit(HDC dc, int width, const char* text);
// Draws the lines with their top left at (x, y), each in the colour its codes choose (a colour
// stays for the lines after); an empty line ends the text. 0 for a null DC, else 1.
int DrawHudText(HDC dc, const char* text, int x, int y);
