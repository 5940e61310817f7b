#include "platform/window/cursor.h"

#include <atomic>

#include "platform/backend/display_backend.h"

namespace {

// The system's arrow, the cursor shown until the application sets another.
int gArrowCursor;
std::atomic<HCURSOR> gCursor{&gArrowCursor};

}  // namespace

HCURSOR SetCursor(HCURSOR cursor) {
  const HCURSOR previous = gCursor.exchange(cursor);
  platform::GetDisplayBackend().SetCursorVisible(cursor != nullptr);
  return previous;
}
