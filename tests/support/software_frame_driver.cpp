#include "tests/support/software_frame_driver.h"

#include <algorithm>
#include <cstdint>

#include "base/pixel16.h"
#include "engine/core/frame_view.h"
#include "engine/core/light_internal.h"
#include "engine/core/region.h"
#include "engine/core/region_internal.h"
#include "engine/core/render_device_record.h"
#include "engine/core/render_work_arrays_internal.h"
#include "engine/core/visible_regions.h"
#include "engine/core/world.h"
#include "engine/raster/covered_runs_internal.h"
#include "engine/raster/software_drawers_internal.h"
#include "engine/raster/texture_gradients_internal.h"
#include "tests/support/reference_picture.h"

namespace test_support {
namespace {

// The board's sky colour, whose nearest palette entry fills what no face covers.
constexpr int kSky[3] = {96, 144, 208};
// Room the clippers need beyond a face's corners.
constexpr std::uint32_t kClipGrowth = 6;

float Dot(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

std::uint8_t NearestEntry(const R3xPalette* palette, const int* rgb) {
  int best = 0;
  int bestDistance = 1 << 30;
  for (int i = 0; i < 256; ++i) {
    const PALETTEENTRY& entry = palette->entries[i];
    const int dr = entry.peRed - rgb[0];
    const int dg = entry.peGreen - rgb[1];
    const int db = entry.peBlue - rgb[2];
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return static_cast<std::uint8_t>(best);
}

// A corner's texel UVs when its surface has none: the unit square's corners (0, 0), (0, 1),
// (1, 1), (1, 0) in turn, as the board maps such a face.
void SquareCornerUV(const R3xBitmap& bitmap, std::uint32_t k, R3xClipVertex& corner) {
  corner.u = k == 2 || k == 3 ? static_cast<float>(bitmap.width) : 0.0f;
  corner.v = k == 1 || k == 2 ? static_cast<float>(bitmap.height) : 0.0f;
}

// The face's own texture frame: origin T and axes U, V with T + u U + v V at texel (u, v), from
// its first three corners and their texel UVs. The demo's surfaces all carry the floor's axes at
// 64 repeats per world unit, which lie outside the walls' planes.
void FrameTexture(R3xSurface& surface, const R3xClipVertex* corners) {
  const float u[3] = {corners[0].u, corners[1].u, corners[2].u};
  const float v[3] = {corners[0].v, corners[1].v, corners[2].v};
  const float du1 = u[1] - u[0];
  const float dv1 = v[1] - v[0];
  const float du2 = u[2] - u[0];
  const float dv2 = v[2] - v[0];
  const float determinant = du1 * dv2 - du2 * dv1;
  if (determinant == 0.0f) {
    return;
  }
  for (int i = 0; i < 3; ++i) {
    const float e1 = (&corners[1].x)[i] - (&corners[0].x)[i];
    const float e2 = (&corners[2].x)[i] - (&corners[0].x)[i];
    surface.uAxis[i] = (dv2 * e1 - dv1 * e2) / determinant;
    surface.vAxis[i] = (du1 * e2 - du2 * e1) / determinant;
    surface.uvOrigin[i] = (&corners[0].x)[i] - u[0] * surface.uAxis[i] - v[0] * surface.vAxis[i];
  }
}

}  // namespace

SoftwareFrameDriver::SoftwareFrameDriver(R3xWorld* world, const R3xPalette* palette,
                                         std::int32_t width, std::int32_t height)
    : world_(world),
      palette_(palette),
      width_(width),
      height_(height),
      image_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
  _r3xRegisterSoftwareDrawers();
  render_ = CreateRenderContext(0, nullptr);
  shadeTable_ = r3xCreateShadeTable(nullptr, palette);
  if (render_ == nullptr || shadeTable_ == nullptr || render_->drawPolygon == nullptr) {
    return;
  }
  r3xSetRenderShadeTable(nullptr, render_, shadeTable_, 0);
  skyIndex_ = NearestEntry(palette, kSky);
  ok_ = true;
}

SoftwareFrameDriver::~SoftwareFrameDriver() {
  if (render_ != nullptr) {
    r3xDestroyRenderContext(nullptr, render_, 0);
  }
  if (shadeTable_ != nullptr) {
    r3xDestroyShadeTable(nullptr, shadeTable_);
  }
}

std::int32_t SoftwareFrameDriver::QueueFrontFaces(const R3xCamera& camera) {
  const std::int32_t found = _r3xFindVisibleRegions(world_, render_, &camera);
  if (found != R3X_DONE) {
    return found == R3X_VISIBLE_NO_MEMORY ? found : 0;
  }
  for (std::uint32_t i = 0; i < world_->regions.count; ++i) {
    const R3xRegion* region = _r3xEnterVisibleRegion(world_, render_, &camera, i);
    const R3xMeshGeometry* geometry = region != nullptr ? _r3xMeshGeometry(region) : nullptr;
    if (geometry == nullptr || region->vertices == nullptr) {
      continue;
    }
    const float ambient = geometry->ambient != nullptr
                              ? _r3xCurrentLightIntensity(geometry->ambient, render_->worldTime)
                              : 0.0f;
    for (std::uint32_t f = 0; f < geometry->faceCount; ++f) {
      const R3xRegionFace& face = geometry->faces[f];
      const R3xRenderMethod method = _r3xResolveRenderMethod(render_, face.surface.renderMethod);
      const float* n = face.polygon.normal;
      if (method == 0 ||
          !(n[0] * -camera.x + n[1] * -camera.y + n[2] * -camera.z < face.polygon.distance)) {
        continue;
      }
      // Nearest first by the depth of the face's centre.
      float depth = 0.0f;
      for (std::int32_t k = 0; k < face.polygon.vertexCount; ++k) {
        const float* p = region->vertices + 3 * face.polygon.vertexIndexes[k];
        const float d[3] = {p[0] + render_->translation[0], p[1] + render_->translation[1],
                            p[2] + render_->translation[2]};
        depth += render_->view[2] * d[0] + render_->view[5] * d[1] + render_->view[8] * d[2];
      }
      depth /= static_cast<float>(std::max(face.polygon.vertexCount, 1));
      faces_.push_back({&face, region->vertices, method, render_->clipMask, render_->lightCount,
                        render_->lights, ambient, depth});
    }
  }
  return 0;
}

std::int32_t SoftwareFrameDriver::DrawFace(const QueuedFace& queued) {
  const R3xIndexedPolygon& polygon = queued.face->polygon;
  const auto corners = static_cast<std::uint32_t>(polygon.vertexCount);
  R3xRenderWorkArrays& work = render_->work;
  if (corners + kClipGrowth > work.vertexCapacity) {
    _r3xFreeVertexArrays(&work);
    if (_r3xAllocVertexArrays(&work, corners + kClipGrowth) != R3X_DONE) {
      return R3X_ERR_FAILED;
    }
  }
  render_->clipMask = queued.clipFlags;
  render_->lightCount = queued.lightCount;
  render_->lights = queued.lights;
  render_->raster.ambientLight = queued.ambient;
  for (float& channel : render_->ambient) {
    channel = queued.ambient;
  }
  // The light spot's face; region faces belong to no object with a fog distance of its own.
  render_->raster.currentFace = queued.face;
  render_->raster.currentObject = nullptr;
  for (int c = 0; c < 3; ++c) {
    render_->polygonNormal[c] = polygon.normal[c];
  }
  R3xClipVertex* source = work.clip[0];
  R3xClipVertex* input = work.clip[1];
  const float* uv = queued.face->surface.uv;
  const R3xBitmap* bitmap = _r3xTextureBitmap(&queued.face->surface);
  // The drawer takes the corners clockwise on the screen: a face listed the other way round (its
  // corners' turn against its normal) is handed over reversed.
  bool reversed = false;
  if (corners >= 3) {
    const float* p0 = queued.vertices + 3 * static_cast<std::size_t>(polygon.vertexIndexes[0]);
    const float* p1 = queued.vertices + 3 * static_cast<std::size_t>(polygon.vertexIndexes[1]);
    const float* p2 = queued.vertices + 3 * static_cast<std::size_t>(polygon.vertexIndexes[2]);
    const float e1[3] = {p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]};
    const float e2[3] = {p2[0] - p0[0], p2[1] - p0[1], p2[2] - p0[2]};
    const float turn[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                           e1[0] * e2[1] - e1[1] * e2[0]};
    reversed = Dot(turn, polygon.normal) > 0.0f;
  }
  for (std::uint32_t k = 0; k < corners; ++k) {
    const std::uint32_t corner = reversed ? corners - 1 - k : k;
    const float* p = queued.vertices + 3 * static_cast<std::size_t>(polygon.vertexIndexes[corner]);
    source[k] = {};
    source[k].x = p[0];
    source[k].y = p[1];
    source[k].z = p[2];
    if (uv != nullptr) {
      source[k].u = uv[2 * corner];
      source[k].v = uv[2 * corner + 1];
    } else if (bitmap != nullptr) {
      SquareCornerUV(*bitmap, k, source[k]);
    }
    const float d[3] = {p[0] + render_->translation[0], p[1] + render_->translation[1],
                        p[2] + render_->translation[2]};
    input[k] = {};
    input[k].x = Dot(render_->clipColumns[0], d);
    input[k].y = Dot(render_->clipColumns[1], d);
    input[k].z = render_->view[2] * d[0] + render_->view[5] * d[1] + render_->view[8] * d[2];
  }
  // The face's plane in clip space, from two of its edges.
  if (corners >= 3) {
    const float e1[3] = {input[1].x - input[0].x, input[1].y - input[0].y, input[1].z - input[0].z};
    const float e2[3] = {input[2].x - input[0].x, input[2].y - input[0].y, input[2].z - input[0].z};
    render_->raster.facePlane[0] = e1[1] * e2[2] - e1[2] * e2[1];
    render_->raster.facePlane[1] = e1[2] * e2[0] - e1[0] * e2[2];
    render_->raster.facePlane[2] = e1[0] * e2[1] - e1[1] * e2[0];
  }
  R3xSurface surface = queued.face->surface;
  if (corners >= 3 && bitmap != nullptr) {
    FrameTexture(surface, source);
  }
  R3xRenderMethod method = queued.method;
  if (kindOverride_ != 0 && (method & R3X_RENDER_TEXTURE_MASK) != 0) {
    method = (method & ~R3X_RENDER_TEXTURE_MASK) | (kindOverride_ << 8);
  }
  ++facesHanded_;
  const std::int32_t drawn = render_->drawPolygon(render_, corners, &surface, method);
  facesDrawn_ += drawn > 0 ? 1 : 0;
  return drawn;
}

std::int32_t SoftwareFrameDriver::DrawFrame(const R3xCamera& camera) {
  R3xCamera view = camera;
  view.viewWidth = width_;
  view.viewHeight = height_;
  view.rowLength = width_;
  const std::int32_t begun = _r3xSetUpFrameView(world_, render_, &view);
  if (begun < 0) {
    return begun;
  }
  R3xRasterInputs& raster = render_->raster;
  raster.image = image_.data();
  raster.image16 = image16_.empty() ? nullptr : image16_.data();
  raster.width = width_;
  raster.height = height_;
  if (_r3xPrepareRowRuns(render_) != R3X_DONE) {
    return R3X_ERR_FAILED;
  }
  std::fill(image_.begin(), image_.end(), skyIndex_);
  std::fill(
      image16_.begin(), image16_.end(),
      Pack16(arena::Rgb(static_cast<std::uint32_t>(kSky[0]), static_cast<std::uint32_t>(kSky[1]),
                        static_cast<std::uint32_t>(kSky[2]))));
  faces_.clear();
  facesHanded_ = 0;
  facesDrawn_ = 0;
  const std::int32_t queued = QueueFrontFaces(view);
  if (queued < 0) {
    return queued;
  }
  std::stable_sort(faces_.begin(), faces_.end(),
                   [](const QueuedFace& a, const QueuedFace& b) { return a.depth < b.depth; });
  for (const QueuedFace& face : faces_) {
    const std::int32_t drawn = DrawFace(face);
    if (drawn < 0) {
      return drawn;
    }
  }
  return 0;
}

bool SoftwareFrameDriver::UseColourPath(std::int32_t pixelFormat) {
  R3xRenderDevice device{};
  device.bitsPerPixel = 16;
  device.pixelFormat = pixelFormat;
  if (r3xAttachRenderDevice(render_, R3X_MODE_COLOUR, &device, palette_) != 0) {
    return false;
  }
  pixelFormat_ = pixelFormat;
  image16_.assign(image_.size(), 0);
  return true;
}

std::uint32_t SoftwareFrameDriver::Colour16(std::uint16_t pixel) const {
  // Codes 1 and 3 are 5-5-5, 3 and 4 hold blue on top.
  const std::uint32_t rgb = pixelFormat_ % 2 == 1 ? arena::Widen555(pixel) : arena::Widen565(pixel);
  return pixelFormat_ >= 3 ? arena::SwapRedBlue(rgb) : rgb;
}

std::uint16_t SoftwareFrameDriver::Pack16(std::uint32_t rgb) const {
  const std::uint32_t ordered = pixelFormat_ >= 3 ? arena::SwapRedBlue(rgb) : rgb;
  return static_cast<std::uint16_t>(pixelFormat_ % 2 == 1 ? arena::Pack555(ordered)
                                                          : arena::Pack565(ordered));
}

std::string SoftwareFrameDriver::CompareWithReference(const std::string& path) const {
  if (pixelFormat_ == 0) {
    return CompareIndexedWithReferencePicture(path, width_, height_, image_, palette_->entries);
  }
  platform::Frame frame;
  frame.width = width_;
  frame.height = height_;
  frame.bitsPerPixel = 16;
  frame.pixels.resize(image16_.size() * 2);
  for (std::size_t i = 0; i < image16_.size(); ++i) {
    const auto pixel = static_cast<std::uint16_t>(arena::Pack565(Colour16(image16_[i])));
    frame.pixels[2 * i] = static_cast<BYTE>(pixel & 0xFF);
    frame.pixels[2 * i + 1] = static_cast<BYTE>(pixel >> 8);
  }
  return CompareFrameWithReferencePicture(path, frame);
}

}  // namespace test_support
