#include "engine/core/render_method.h"

#include "engine/core/render_method_internal.h"

bool _r3xIsRenderMethodResolvable(const R3xIndirectRenderMethods* indirect,
                                  R3xRenderMethod method) {
  if ((method & R3X_RENDER_INDIRECT) == 0) {
    return true;
  }
  return indirect != nullptr && (method & R3X_RENDER_INDIRECT_INDEX) < indirect->count;
}
