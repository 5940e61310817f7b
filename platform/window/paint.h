// The window painting pair. Windows here have no device context of their own (the game draws
// through DirectDraw), so painting only answers the request.
#pragma once

#include "platform/gdi/gdi_types.h"
#include "platform/kernel/types.h"
#include "platform/window/handles.h"
#include "platform/window/rect.h"

struct PAINTSTRUCT {
  HDC hdc;
  BOOL fErase;
  RECT rcPaint;
  BOOL fRestore;
  BOOL fIncUpdate;
  BYTE rgbReserved[32];
};

// Fills the record with the window's whole client area and no DC; null also for a window that
// does not exist or a null record.
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
// FALSE for a window that does not exist or a null record.
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
