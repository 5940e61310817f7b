// Vertices that carry their own colours: copied to the clip input instead of being lit.
#include <cstdint>

#include "engine/core/render_context.h"
#include "engine/core/render_work_arrays.h"
#include "engine/core/vertex_lighting.h"

namespace {

float Cap(float channel) {
  return channel >= R3X_LIGHT_CHANNEL_LIMIT ? R3X_LIGHT_CHANNEL_LIMIT : channel;
}

}  // namespace

std::int32_t _r3xClampVertexColors(R3xRenderContext* context, std::int32_t count,
                                   const float* /*normal*/, float /*red*/, float /*green*/,
                                   float /*blue*/) {
  if (count < 0 || static_cast<std::uint32_t>(count) > context->work.vertexCapacity) {
    return R3X_ERR_FAILED;
  }
  const R3xClipVertex* source = context->work.clip[0];
  R3xClipVertex* input = context->work.clip[1];
  for (std::int32_t i = 0; i < count; ++i) {
    input[i].red = Cap(source[i].red);
    input[i].green = Cap(source[i].green);
    input[i].blue = Cap(source[i].blue);
    input[i].u = source[i].u;
    input[i].v = source[i].v;
  }
  return R3X_DONE;
}
