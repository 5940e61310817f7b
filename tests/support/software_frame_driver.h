// A frame driver for the 8-bit software drawer, for tests and benchmarks only (the engine has
// none): it readies the render context for a frame of the camera, empties the rows' covered
// runs, gathers the front faces of the visible regions, orders them nearest first, and hands
// each to the render context's draw-function slot with its light list, clip planes, face and
// depth plane set as the drawer expects, into an 8-bit image shown through the palette, or, after
// UseColourPath, through the colour drawer into a 16-bit image of a pixel format code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/r3x.h"

namespace test_support {

class SoftwareFrameDriver {
 public:
  // A render context of its own (made after the software drawers are registered) with the
  // palette's shade table, drawing into a width x height image.
  SoftwareFrameDriver(R3xWorld* world, const R3xPalette* palette, std::int32_t width,
                      std::int32_t height);
  ~SoftwareFrameDriver();
  SoftwareFrameDriver(const SoftwareFrameDriver&) = delete;
  SoftwareFrameDriver& operator=(const SoftwareFrameDriver&) = delete;

  bool ok() const { return ok_; }
  R3xRenderContext* render() const { return render_; }
  const std::vector<std::uint8_t>& image() const { return image_; }
  // Attaches the render context in colour mode to a 16-bit device of the pixel format code (1 to
  // 4); false when the attachment fails.
  bool UseColourPath(std::int32_t pixelFormat);
  const std::vector<std::uint16_t>& image16() const { return image16_; }
  // Faces whose runs carry depth lines, so that their order no longer matters.
  void SetDepthSorting(bool on) { render_->raster.depthSorting = on ? 1 : 0; }
  // Draws every face with its texture kind replaced by `kind` (0: as the world says).
  void ReplaceTextureKind(std::uint32_t kind) { kindOverride_ = kind; }

  // Draws the world from the camera (its view size replaced by the image's): 0, or the first
  // negative result of the frame set-up, the visible-region walk or the drawer.
  std::int32_t DrawFrame(const R3xCamera& camera);
  // The faces handed to the drawer in the last frame, and those it drew something of.
  std::uint32_t facesHanded() const { return facesHanded_; }
  std::uint32_t facesDrawn() const { return facesDrawn_; }

  // Compares the image, through the palette (the 16-bit image widened to its colours), with the
  // picture at path (see reference_picture.h).
  std::string CompareWithReference(const std::string& path) const;

 private:
  struct QueuedFace {
    const R3xRegionFace* face;
    const float* vertices;
    R3xRenderMethod method;
    std::uint32_t clipFlags;
    std::uint32_t lightCount;
    R3xObjectHeader* const* lights;
    float ambient;
    float depth;
  };

  std::int32_t QueueFrontFaces(const R3xCamera& camera);
  std::int32_t DrawFace(const QueuedFace& queued);
  // A 16-bit pixel of the attached format as 0x00RRGGBB, and back.
  std::uint32_t Colour16(std::uint16_t pixel) const;
  std::uint16_t Pack16(std::uint32_t rgb) const;

  bool ok_ = false;
  R3xWorld* world_;
  const R3xPalette* palette_;
  R3xShadeTable* shadeTable_ = nullptr;
  R3xRenderContext* render_ = nullptr;
  std::int32_t width_;
  std::int32_t height_;
  std::uint8_t skyIndex_ = 0;
  std::uint32_t kindOverride_ = 0;
  std::vector<std::uint8_t> image_;
  std::int32_t pixelFormat_ = 0;
  std::vector<std::uint16_t> image16_;
  std::vector<QueuedFace> faces_;
  std::uint32_t facesHanded_ = 0;
  std::uint32_t facesDrawn_ = 0;
};

}  // namespace test_support
