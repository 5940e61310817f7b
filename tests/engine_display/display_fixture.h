// A Glide context on a freshly opened software board for each test, a render context, and
// records made by code.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/r3x.h"
#include "platform/glide.h"

class DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::glide::SetSwapPacing(false);
    ASSERT_EQ(r3xGlideInit(&glide_), 0);
    render_ = CreateRenderContext(0, nullptr);
    ASSERT_NE(render_, nullptr);
  }
  void TearDown() override {
    platform::glide::StopRecording();
    r3xGlideFreeTextures(glide_);
    r3xGlideShutdown(glide_);
    r3xDestroyRenderContext(nullptr, render_, 0);
    platform::glide::SetTextureMemorySize(2 * 1024 * 1024);
  }

  // Recording from here on; the calls made since, as texts.
  static void Record() { platform::glide::StartRecording(); }
  static std::vector<std::string> Calls() { return platform::glide::RecordedCallTexts(); }

  static std::uint16_t BackPixel(int x, int y) {
    return platform::glide::ColorBuffer(
        GR_BUFFER_BACKBUFFER)[static_cast<std::size_t>(y) * 640 + static_cast<std::size_t>(x)];
  }

  R3xGlideContext* glide_ = nullptr;
  R3xRenderContext* render_ = nullptr;
};

// A 640 x 480 view with depths from 1 to 100, drawn through the Glide context with the palette,
// in which world and clip space agree.
inline void UsePlainView(R3xRenderContext* render, R3xGlideContext* glide, PALETTEENTRY* palette) {
  render->paletteColours = palette;
  render->halfViewWidth = 320.0f;
  render->halfViewHeight = 240.0f;
  render->nearDistance = 1.0f;
  render->farDistance = 100.0f;
  render->glide = glide;
  for (int i = 0; i < 3; ++i) {
    render->view[i * 4] = 1.0f;
  }
  render->clipColumns[0][0] = 1.0f;
  render->clipColumns[1][1] = 1.0f;
}

// A bitmap record over pixels the test keeps.
inline R3xBitmap MakeBitmap(std::int32_t width, std::int32_t height, std::int32_t bitCount,
                            std::vector<std::uint8_t>& pixels, std::int32_t furtherLevels = 0) {
  R3xBitmap bitmap{};
  bitmap.pixels = pixels.data();
  bitmap.pixelBytes = pixels.size();
  bitmap.width = width;
  bitmap.height = height;
  bitmap.bitCount = bitCount;
  bitmap.lastFrame = furtherLevels;
  return bitmap;
}

inline constexpr std::uint16_t Rgb565(int r, int g, int b) {
  return static_cast<std::uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
}
