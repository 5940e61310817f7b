#include "battle/cockpit/text_block.h"

#include "battle/arena/arena_view.h"
#include "battle/ui/hud_text.h"
#include "battle/ui/panel.h"
#include "engine/r3x_display.h"

void DrawTextBlock(CPanel& panel, const RECT& rectangle, const char* text) {
  if (!panel.created()) {
    return;
  }
  r3xFill16(gGlideContext, panel.pixels(), panel.rowLength(), panel.height(), &rectangle);
  DrawHudText(panel.dc(), text, rectangle.left + 2, rectangle.top);
}
