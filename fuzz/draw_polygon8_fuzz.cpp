// The software polygon drawers, 8-bit and colour (in any of the four 16-bit pixel formats), with
// arbitrary polygons, render methods, textures and drawing state: nothing may be written outside
// the image, and every row's covered runs stay sorted and apart.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "base/byte_reader.h"
#include "engine/core/math_tables_internal.h"
#include "engine/core/render_device_record.h"
#include "engine/r3x.h"
#include "engine/raster/covered_runs_internal.h"
#include "engine/raster/draw_polygon8_internal.h"
#include "engine/raster/draw_polygon_rgb_internal.h"
#include "engine/raster/flat_spans_internal.h"
#include "engine/raster/software_drawers_internal.h"

namespace {

constexpr std::int32_t kWidth = 48;
constexpr std::int32_t kHeight = 40;
// Guard columns right of every row and guard rows above and below the image.
constexpr std::int32_t kPitch = kWidth + 16;
constexpr std::int32_t kGuardRows = 4;
constexpr std::uint8_t kGuard = 0xA5;
constexpr std::uint16_t kGuard16 = 0xA5A5;

struct Texture {
  std::vector<std::uint8_t> pixels;
  // A bitmap's own colours (every other texture), which the colour drawer draws with.
  std::vector<std::uint8_t> colours;
  R3xBitmap bitmap{};
};

// Point lights, a directional light and the face the light spot is searched on.
struct Lights {
  R3xLightDef definition{};
  R3xLight light{};
  R3xPointLight points[2]{};
  R3xDirectionalLight directional{};
  R3xObjectHeader* list[3]{};
  R3xRegionFace face{};
};

struct Scene {
  R3xRenderContext* render = nullptr;
  // Attached in colour mode, one per pixel format code.
  R3xRenderContext* colour[4] = {};
  R3xPalette palette{};
  Lights lights;
  std::vector<std::uint8_t> buffer;
  std::vector<std::uint16_t> buffer16;
  std::vector<std::uint8_t> shade;
  std::vector<Texture> textures;
};

// Square, tall, wide, tiny and beyond what the span routines address.
constexpr std::int32_t kSizes[][3] = {{16, 16, 4},   {32, 64, 5},   {64, 32, 6},   {8, 8, 3},
                                      {128, 128, 7}, {1024, 8, 10}, {512, 1024, 9}};

Scene& Drawing() {
  static Scene scene = [] {
    Scene s;
    _r3xInitMathTables();
    _r3xRegisterSoftwareDrawers();
    s.render = CreateRenderContext(0, nullptr);
    s.buffer.assign(static_cast<std::size_t>(kPitch) * (kHeight + 2 * kGuardRows), kGuard);
    s.buffer16.assign(s.buffer.size(), kGuard16);
    for (int i = 0; i < 256; ++i) {
      s.palette.entries[i] = {static_cast<std::uint8_t>(i * 7), static_cast<std::uint8_t>(i * 13),
                              static_cast<std::uint8_t>(i * 29), 0};
    }
    for (int f = 0; f < 4; ++f) {
      s.colour[f] = CreateRenderContext(0, nullptr);
      R3xRenderDevice device{};
      device.bitsPerPixel = 16;
      device.pixelFormat = f + 1;
      if (s.colour[f] == nullptr ||
          r3xAttachRenderDevice(s.colour[f], R3X_MODE_COLOUR, &device, &s.palette) != 0) {
        std::abort();
      }
    }
    s.shade.resize(16 * 4096);
    for (std::size_t i = 0; i < s.shade.size(); ++i) {
      s.shade[i] = static_cast<std::uint8_t>(i * 37 + i / 4096);
    }
    Lights& l = s.lights;
    l.definition.frameCount = 1;
    l.light.definition = &l.definition;
    for (R3xPointLight& point : l.points) {
      point.header.type = R3X_TYPE_POINT_LIGHT;
      point.light = &l.light;
    }
    l.directional.header.type = R3X_TYPE_DIRECTIONAL_LIGHT;
    l.directional.light = &l.light;
    l.list[0] = &l.directional.header;
    l.list[1] = &l.points[0].header;
    l.list[2] = &l.points[1].header;
    for (const auto& size : kSizes) {
      Texture& t = s.textures.emplace_back();
      t.pixels.resize(static_cast<std::size_t>(size[0]) * static_cast<std::size_t>(size[1]));
      for (std::size_t i = 0; i < t.pixels.size(); ++i) {
        t.pixels[i] = static_cast<std::uint8_t>(i * 11 + i / 7);
      }
    }
    for (std::size_t k = 0; k < s.textures.size(); ++k) {
      R3xBitmap& b = s.textures[k].bitmap;
      b.header.type = R3X_TYPE_BITMAP;
      b.pixels = s.textures[k].pixels.data();
      b.pixelBytes = s.textures[k].pixels.size();
      b.width = kSizes[k][0];
      b.height = kSizes[k][1];
      b.widthLog2 = static_cast<std::int16_t>(kSizes[k][2]);
      b.widthReciprocal = 1.0f / static_cast<float>(b.width);
      b.bitCount = 8;
      if (k % 2 == 1) {
        s.textures[k].colours.resize(256 * 4);
        for (std::size_t i = 0; i < s.textures[k].colours.size(); ++i) {
          s.textures[k].colours[i] = static_cast<std::uint8_t>(i * 5 + k);
        }
        b.colourTable = s.textures[k].colours.data();
      }
    }
    return s;
  }();
  return scene;
}

float Value(arena::ByteReader& in, float range) {
  return (static_cast<float>(in.I16()) / 32768.0f) * range;
}

bool Guards16Intact(const Scene& scene) {
  for (std::int32_t row = 0; row < kHeight + 2 * kGuardRows; ++row) {
    const bool inside = row >= kGuardRows && row < kGuardRows + kHeight;
    for (std::int32_t x = inside ? kWidth : 0; x < kPitch; ++x) {
      if (scene.buffer16[static_cast<std::size_t>(row) * kPitch + static_cast<std::size_t>(x)] !=
          kGuard16) {
        return false;
      }
    }
  }
  return true;
}

bool RunsInOrder(const R3xRenderContext* render) {
  const R3xRenderWorkArrays& work = render->work;
  for (std::int32_t r = 0; r < kHeight; ++r) {
    const std::uint32_t count = work.spanWords[r];
    const R3xList16& list = work.spanLists[r];
    if (count > list.capacity) {
      return false;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
      const R3xCoveredRun& run = list.records[i];
      if (run.start > run.end || run.start < 0 || run.end > kWidth ||
          (i > 0 && list.records[i - 1].end > run.start)) {
        return false;
      }
    }
  }
  return true;
}

bool GuardsIntact(const Scene& scene) {
  for (std::int32_t row = 0; row < kHeight + 2 * kGuardRows; ++row) {
    const bool inside = row >= kGuardRows && row < kGuardRows + kHeight;
    for (std::int32_t x = inside ? kWidth : 0; x < kPitch; ++x) {
      if (scene.buffer[static_cast<std::size_t>(row) * kPitch + static_cast<std::size_t>(x)] !=
          kGuard) {
        return false;
      }
    }
  }
  return true;
}

void DrawOne(Scene& scene, R3xRenderContext* render, arena::ByteReader& in, R3xSurface& surface) {
  const std::uint32_t count = 3 + in.U8() % 6;
  R3xClipVertex* source = render->work.clip[0];
  R3xClipVertex* input = render->work.clip[1];
  for (std::uint32_t k = 0; k < count; ++k) {
    R3xClipVertex v{};
    v.x = Value(in, 400.0f);
    v.y = Value(in, 400.0f);
    v.z = Value(in, 300.0f);
    v.u = Value(in, 300.0f);
    v.v = Value(in, 300.0f);
    v.red = Value(in, 1.2f);
    v.green = Value(in, 2.2f);
    v.blue = Value(in, 2.2f);
    for (float& n : v.normal) {
      n = Value(in, 1.0f);
    }
    source[k] = v;
    input[k] = v;
  }
  const std::uint8_t kinds[] = {0, 1, 2, 3, 4, 5, 0xFF, 7};
  const std::uint8_t choice = in.U8();
  const std::uint32_t flags = in.U32();
  const R3xRenderMethod method = (flags & 0xE000FF) | (std::uint32_t{kinds[choice & 7]} << 8);
  Texture& texture = scene.textures[(choice >> 3) % scene.textures.size()];
  surface.texture = (choice & 0x80) != 0 ? nullptr : &texture.bitmap.header;
  surface.pen = in.U8();
  surface.intensity = Value(in, 1.2f);
  surface.ambientScale = Value(in, 2.0f);
  for (int i = 0; i < 3; ++i) {
    surface.uvOrigin[i] = Value(in, 100.0f);
    surface.uAxis[i] = Value(in, 2.0f);
    surface.vAxis[i] = Value(in, 2.0f);
    render->raster.facePlane[i] = Value(in, 1.0f);
    render->polygonNormal[i] = Value(in, 1.0f);
  }
  const std::uint8_t state = in.U8();
  render->clipMask = state & 0x3F;
  render->raster.depthSorting = (state & 0x40) != 0 ? 1 : 0;
  render->fogMode = (state & 0x80) != 0 ? R3X_FOG_MODE_2 : R3X_FOG_OFF;
  render->raster.viewerLight = Value(in, 1.0f);
  for (int i = 0; i < 3; ++i) {
    render->viewLight[i] = Value(in, 2.0f);
    render->ambient[i] = Value(in, 2.5f);
  }
  render->raster.fogColour = in.U32() & 0xFFFFFF;
  render->raster.fogStart = Value(in, 100.0f);
  render->fogDistance = 1.0f + static_cast<float>(in.U8());
  render->fogScale = 0.99999f / render->fogDistance;
  render->raster.quadRoutine = (state & 1) != 0 ? _r3xSpanFill8 : nullptr;
  render->span.texels = texture.pixels.data();
  render->span.textureWidth = 0;
  render->span.textureHeight = 0;
  render->transparentIndex = in.U8();
  // Lights, and the face of the light spot.
  Lights& lights = scene.lights;
  const std::uint8_t lit = in.U8();
  lights.definition.intensity = Value(in, 8.0f);
  for (R3xPointLight& point : lights.points) {
    for (float& p : point.position) {
      p = Value(in, 300.0f);
    }
    point.radius = Value(in, 50.0f);
  }
  for (float& d : lights.directional.direction) {
    d = Value(in, 1.0f);
  }
  for (float& n : lights.face.polygon.normal) {
    n = Value(in, 1.0f);
  }
  lights.face.polygon.distance = Value(in, 300.0f);
  render->lights = lights.list;
  render->lightCount = lit % 4u;
  render->raster.currentFace = (lit & 4) != 0 ? &lights.face : nullptr;
  render->spotThreshold = (lit & 8) != 0 ? 0.0f : 0.1f;
  render->subdivisionCosine = (lit & 16) != 0 ? Value(in, 1.0f) : -1.0f;
  render->drawPolygon(render, count, &surface, method);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Scene& scene = Drawing();
  arena::ByteReader in(std::span<const std::uint8_t>(data, size));
  // Bit 7 of the first byte picks the colour drawer, bits 2-3 its pixel format.
  const std::uint8_t head = in.U8();
  const bool colour = (head & 0x80) != 0;
  R3xRenderContext* render = colour ? scene.colour[(head >> 2) & 3] : scene.render;
  if (render == nullptr) {
    std::abort();
  }
  render->raster.image = scene.buffer.data() + static_cast<std::size_t>(kGuardRows) * kPitch;
  render->raster.image16 = scene.buffer16.data() + static_cast<std::size_t>(kGuardRows) * kPitch;
  render->raster.rowLength = kPitch;
  render->raster.width = kWidth;
  render->raster.height = kHeight;
  render->halfViewWidth = kWidth / 2.0f;
  render->halfViewHeight = kHeight / 2.0f;
  render->nearDistance = 1.0f;
  render->farDistance = 1000.0f;
  render->raster.screenToView[0] = 2.0f / (kWidth - 1.0f);
  render->raster.screenToView[1] = 2.0f / (kHeight - 1.0f);
  render->raster.flatDistance = 150.0f;
  render->raster.perspectiveArea = 200.0f;
  render->raster.fogWeights[0] = 1.0f;
  render->raster.fogWeights[1] = 1.0f;
  render->shadeData = scene.shade.data();
  if (_r3xPrepareRowRuns(render) != R3X_DONE) {
    std::abort();
  }
  R3xSurface surface{};
  surface.type = R3X_TYPE_SURFACE;
  const std::uint32_t polygons = 1 + head % 4;
  for (std::uint32_t p = 0; p < polygons && in.ok(); ++p) {
    DrawOne(scene, render, in, surface);
  }
  if (!GuardsIntact(scene) || !Guards16Intact(scene) || !RunsInOrder(render)) {
    std::abort();
  }
  return 0;
}
