// The mouse cursor shown over the application's windows.
#pragma once

#include "platform/window/handles.h"

// Null hides the cursor. Returns the previous cursor.
HCURSOR SetCursor(HCURSOR cursor);
