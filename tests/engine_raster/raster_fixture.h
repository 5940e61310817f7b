// A render context with the math tables and a 64 x 48 8-bit image, and vertex and light records
// made by code.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/r3x.h"

class RasterTest : public ::testing::Test {
 protected:
  static constexpr std::int32_t kWidth = 64;
  static constexpr std::int32_t kHeight = 48;

  void SetUp() override {
    ASSERT_EQ(r3xInit(), R3X_DONE);
    render_ = CreateRenderContext(0, nullptr);
    ASSERT_NE(render_, nullptr);
    image_.assign(kWidth * kHeight, 0);
    render_->raster.image = image_.data();
    render_->raster.rowLength = kWidth;
    render_->raster.width = kWidth;
    render_->raster.height = kHeight;
    render_->nearDistance = 1.0f;
    render_->farDistance = 100.0f;
    definition_.frameCount = 1;
    definition_.intensity = 1.0f;
    light_.definition = &definition_;
  }
  void TearDown() override {
    r3xDestroyRenderContext(nullptr, render_, 0);
    r3xShutdown();
  }

  R3xClipVertex* Source() { return render_->work.clip[0]; }
  R3xClipVertex* Input() { return render_->work.clip[1]; }
  R3xClipVertex* Alternate() { return render_->work.clip[2]; }
  void SetInput(const std::vector<R3xClipVertex>& vertices) {
    for (std::size_t i = 0; i < vertices.size(); ++i) {
      Input()[i] = vertices[i];
    }
  }
  std::uint8_t Pixel(std::int32_t x, std::int32_t y) const { return image_[y * kWidth + x]; }
  // Points the span state at row y of the image.
  void SetRow(std::int32_t y) {
    render_->span.destination = image_.data() + y * kWidth;
    render_->span.currentRow = y;
  }

  R3xPointLight MakePointLight(float x, float y, float z, float radius) {
    R3xPointLight point{};
    point.header.type = R3X_TYPE_POINT_LIGHT;
    point.light = &light_;
    point.position[0] = x;
    point.position[1] = y;
    point.position[2] = z;
    point.radius = radius;
    return point;
  }

  R3xRenderContext* render_ = nullptr;
  std::vector<std::uint8_t> image_;
  R3xLightDef definition_{};
  R3xLight light_{};
};

inline R3xClipVertex At(float x, float y, float z, float light = 0.0f, float u = 0.0f,
                        float v = 0.0f) {
  R3xClipVertex vertex{};
  vertex.x = x;
  vertex.y = y;
  vertex.z = z;
  vertex.red = light;
  vertex.u = u;
  vertex.v = v;
  return vertex;
}
