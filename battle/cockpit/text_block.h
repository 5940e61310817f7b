// A text block: a rectangle of a blank panel cleared to the transparent colour and a HUD text
// drawn into it from its left + 2.
#pragma once

#include "platform/window/rect.h"

class CPanel;

// The rectangle is in the panel's pixel coordinates; nothing for a panel that was not created.
void DrawTextBlock(CPanel& panel, const RECT& rectangle, const char* text);
