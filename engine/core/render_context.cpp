#include "engine/core/render_context.h"

#include <cstddef>
#include <memory>

#include "engine/core/error.h"
#include "engine/core/memory.h"
#include "engine/core/object.h"
#include "engine/core/palette.h"
#include "engine/core/raster_routines_internal.h"
#include "engine/core/render_device_record.h"
#include "engine/core/render_work_arrays_internal.h"
#include "engine/core/shade_table.h"

namespace {

constexpr R3xRenderMethod kInitialIndirectMethod = 7;
constexpr std::int32_t kModulationRowForOne = 32;

R3xRenderContext* placeContext() {
  constexpr std::size_t alignment = alignof(R3xRenderContext);
  std::size_t space = sizeof(R3xRenderContext) + alignment - 1;
  void* allocation = r3xMalloc(space);
  void* place = allocation;
  if (allocation == nullptr ||
      std::align(alignment, sizeof(R3xRenderContext), place, space) == nullptr) {
    r3xFree(allocation);
    return nullptr;
  }
  auto* context = static_cast<R3xRenderContext*>(place);
  context->allocation = allocation;
  return context;
}

void setConstants(R3xRenderContext* context) {
  context->surface.type = R3X_TYPE_SURFACE;
  context->transparentIndex = R3X_DEFAULT_TRANSPARENT_INDEX;
  context->mipSwitch = 1;
  float power = 1.0f;
  for (float& threshold : context->mipThresholds) {
    threshold = power;
    power *= 4.0f;
  }
  context->spotThreshold = 0.1f;
  context->subdivisionCosine = -1.0f;
  context->mipDistanceFactor = 1.0f;
  context->fogDistance = 1.0f;
  context->fogScale = 0.99999f;
}

bool makeWorkArrays(R3xRenderContext* context, std::uint32_t indirectCount) {
  R3xRenderWorkArrays* work = &context->work;
  context->vertexPool =
      static_cast<R3xVertex3*>(r3xMalloc(R3X_VERTEX_POOL_SIZE * sizeof(R3xVertex3)));
  if (context->vertexPool == nullptr) {
    return false;
  }
  context->vertexPoolCapacity = R3X_VERTEX_POOL_SIZE;
  if (_r3xAllocVertexArrays(work, R3X_WORK_VERTICES) != R3X_DONE ||
      _r3xAllocRenderVertexList(work, R3X_WORK_RENDER_VERTICES) != R3X_DONE ||
      _r3xAllocSpanLists(work, R3X_WORK_SPAN_LISTS, R3X_WORK_SPAN_ENTRIES) != 0 ||
      _r3xAllocEdgeRecords(work, R3X_WORK_EDGES) != R3X_DONE ||
      _r3xAllocScanlineLists(work, R3X_WORK_SCANLINES, R3X_WORK_SCAN_PAIRS) != R3X_DONE) {
    return false;
  }
  if (indirectCount > 0) {
    context->indirect.methods = static_cast<R3xRenderMethod*>(
        r3xMalloc(std::size_t{indirectCount} * sizeof(R3xRenderMethod)));
    if (context->indirect.methods == nullptr) {
      return false;
    }
    context->indirect.count = indirectCount;
    for (std::uint32_t i = 0; i < indirectCount; ++i) {
      context->indirect.methods[i] = kInitialIndirectMethod;
    }
  }
  return _r3xAllocSmallBlocks(work) == R3X_DONE;
}

void freeContext(R3xRenderContext* context) {
  _r3xFreeWorkArrays(&context->work);
  r3xFree(context->vertexPool);
  r3xFree(context->regionStamps);
  r3xFree(context->actorWork);
  r3xFree(context->indirect.methods);
  r3xFree(context->modulation);
  r3xFree(context->span.edges);
  r3xFree(context->span.scratchRow);
  r3xFree(context->span.colourRow);
  r3xFree(context->span.colourBuffer);
  r3xFree(context->allocation);
}

// Entry (i, j): value j at brightness i / 32, rounded, at most 255.
std::uint8_t* buildModulationTable() {
  auto* table =
      static_cast<std::uint8_t*>(r3xMalloc(R3X_MODULATION_LEVELS * R3X_MODULATION_VALUES));
  if (table == nullptr) {
    return nullptr;
  }
  constexpr double kInverse255 = static_cast<double>(0.0039215689f);
  constexpr double kHalf = static_cast<double>(0.49999f);
  for (std::int32_t i = 0; i < R3X_MODULATION_LEVELS; ++i) {
    const double level = static_cast<double>(i) / kModulationRowForOne;
    for (std::int32_t j = 0; j < R3X_MODULATION_VALUES; ++j) {
      const double value = static_cast<double>(j) * kInverse255 * level * 255.0 + kHalf;
      const auto truncated = static_cast<std::int32_t>(value);
      table[i * R3X_MODULATION_VALUES + j] =
          static_cast<std::uint8_t>(truncated > 255 ? 255 : truncated);
    }
  }
  return table;
}

// The colour drawer's rows and 256-colour buffer, made once; false, with the span state's
// capacity 0, when any cannot be.
bool makeColourRows(R3xRenderContext* context) {
  R3xSpanState& span = context->span;
  if (span.rowCapacity != 0) {
    return true;
  }
  if (span.scratchRow == nullptr) {
    span.scratchRow = static_cast<std::uint8_t*>(r3xMalloc(R3X_COLOUR_ROW_CAPACITY));
  }
  if (span.colourRow == nullptr) {
    span.colourRow =
        static_cast<std::uint32_t*>(r3xMalloc(R3X_COLOUR_ROW_CAPACITY * sizeof(std::uint32_t)));
  }
  if (span.colourBuffer == nullptr) {
    span.colourBuffer = static_cast<std::uint8_t*>(r3xMalloc(R3X_COLOUR_BUFFER_BYTES));
  }
  if (span.scratchRow == nullptr || span.colourRow == nullptr || span.colourBuffer == nullptr) {
    return false;
  }
  span.rowCapacity = R3X_COLOUR_ROW_CAPACITY;
  return true;
}

// The drawer of the mode from the registered routines; the slot is left as it is while none are.
void installDrawer(R3xRenderContext* context, std::int32_t mode) {
  const R3xRasterRoutines* routines = _r3xGetRasterRoutines();
  if (routines != nullptr) {
    context->drawPolygon =
        mode == R3X_MODE_PALETTISED ? routines->drawPolygon8 : routines->drawPolygonColour;
  }
}

// The registered 16-bit routines of the pixel format code (1 to 4).
void installSpanRoutines16(R3xRenderContext* context, std::int32_t pixelFormat) {
  const R3xRasterRoutines* routines = _r3xGetRasterRoutines();
  if (routines == nullptr || pixelFormat < 1 || pixelFormat > R3X_RASTER_PIXEL_FORMATS) {
    return;
  }
  context->spanOutput16 = routines->spanOutput16[pixelFormat - 1];
  context->spanFill16 = routines->spanFill16[pixelFormat - 1];
  context->spanOutput16b = routines->spanOutput16b[pixelFormat - 1];
}

bool isFogReady(const R3xShadeTable* table) {
  // A shade table keeps its fog-ready word where counted objects keep their count.
  return table != nullptr && table->header.refCount != 0;
}

}  // namespace

R3xRenderContext* CreateRenderContext(std::uint32_t indirectCount, R3xRenderDevice* device) {
  R3xRenderContext* context = placeContext();
  if (context == nullptr) {
    return nullptr;
  }
  setConstants(context);
  installDrawer(context, R3X_MODE_PALETTISED);
  if (device != nullptr) {
    context->direct3D = device->direct3D;
    context->deviceAttached = 1;
  }
  if (!makeWorkArrays(context, indirectCount)) {
    freeContext(context);
    return nullptr;
  }
  return context;
}

std::int32_t r3xDestroyRenderContext(R3xWorld* world, R3xRenderContext* context,
                                     std::int32_t destroyShadeTable) {
  if (context == nullptr) {
    return R3X_DONE;
  }
  std::int32_t result = R3X_DONE;
  if (destroyShadeTable != 0 && context->shadeTable != nullptr) {
    const std::int32_t destroyed = r3xDestroyShadeTable(world, context->shadeTable);
    if (destroyed < 0) {
      result = destroyed;
    }
  }
  freeContext(context);
  return result;
}

std::int32_t r3xSetIndirectRenderMethod(R3xRenderContext* context, std::uint32_t index,
                                        R3xRenderMethod method) {
  const std::uint32_t entry = index & R3X_RENDER_INDIRECT_INDEX;
  if (entry >= context->indirect.count || (method & R3X_RENDER_INDIRECT) != 0) {
    return R3X_ERR_BAD_RENDER_METHOD;
  }
  context->indirect.methods[entry] = method;
  return R3X_DONE;
}

std::int32_t r3xSetRenderShadeTable(R3xWorld* world, R3xRenderContext* context,
                                    R3xShadeTable* table, std::int32_t destroyOld) {
  if (destroyOld != 0 && context->shadeTable != nullptr && context->shadeTable != table) {
    r3xDestroyShadeTable(world, context->shadeTable);
  }
  context->shadeTable = table;
  context->shadeData = table != nullptr ? table->data : nullptr;
  if (table != nullptr && !isFogReady(table)) {
    context->fogMode = R3X_FOG_OFF;
  }
  return 0;
}

std::int32_t r3xSetFogMode(R3xRenderContext* context, std::int32_t mode, float distance) {
  if (mode == R3X_FOG_OFF) {
    context->fogMode = R3X_FOG_OFF;
    return 0;
  }
  if (mode != R3X_FOG_MODE_1 && mode != R3X_FOG_MODE_2) {
    return R3X_FOG_BAD_MODE;
  }
  if (context->mode != R3X_MODE_COLOUR && !isFogReady(context->shadeTable)) {
    return R3X_FOG_NOT_READY;
  }
  context->fogMode = mode;
  if (!(distance > 0.0f)) {
    return R3X_FOG_BAD_DISTANCE;
  }
  context->fogDistance = distance;
  context->fogScale = 0.99999f / distance;
  context->fogStep = distance * 0.062499374f;
  return 0;
}

std::int32_t r3xAttachRenderDevice(R3xRenderContext* context, std::int32_t mode,
                                   R3xRenderDevice* device, const R3xPalette* palette) {
  if (mode == R3X_MODE_PALETTISED) {
    installDrawer(context, mode);
    context->mode = mode;
    return 0;
  }
  if (palette == nullptr) {
    return R3X_ERR_FAILED;
  }
  context->paletteColours = palette->entries;
  installDrawer(context, mode);
  if (context->modulation == nullptr) {
    context->modulation = buildModulationTable();
    if (context->modulation == nullptr) {
      return R3X_ERR_FAILED;
    }
  }
  if (!makeColourRows(context)) {
    return R3X_ERR_FAILED;
  }
  context->bitsPerPixel = device != nullptr ? device->bitsPerPixel : 0;
  if (device != nullptr && device->bitsPerPixel == 16) {
    context->pixelFormat = device->pixelFormat;
    installSpanRoutines16(context, device->pixelFormat);
  }
  context->mode = mode;
  return 0;
}

std::int32_t r3xSetTransparentIndex(R3xRenderContext* context, std::uint8_t index) {
  context->transparentIndex = index;
  return 0;
}

std::int32_t r3xSetRenderOptionWord(R3xRenderContext* context, std::uint32_t word) {
  context->optionWord = word;
  return 0;
}

std::int32_t r3xSetDepthBuffering(R3xRenderContext* context, std::int32_t on) {
  context->depthBuffering = on;
  return 0;
}

std::int32_t r3xSetDynamicLighting(R3xRenderContext* context, std::int32_t flag) {
  context->dynamicLighting = flag;
  return 0;
}

std::int32_t r3xSetPointLightMode(R3xRenderContext* context, std::uint32_t word) {
  context->pointLightMode = word;
  return 0;
}

std::uint32_t r3xGetPolygonCount(const R3xRenderContext* context) { return context->polygonCount; }

std::uint32_t r3xGetRegionCount(const R3xRenderContext* context) { return context->regionCount; }
