// A freshly opened software board for each test, and vertex helpers.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/glide.h"

class BoardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::glide::SetSwapPacing(false);
    grGlideInit();
    grSstWinOpen(nullptr, GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB,
                 GR_ORIGIN_UPPER_LEFT, 2, 1);
  }
  void TearDown() override {
    platform::glide::StopRecording();
    grGlideShutdown();
    platform::glide::SetTextureMemorySize(2 * 1024 * 1024);
  }

  static std::uint16_t BackPixel(int x, int y) {
    return platform::glide::ColorBuffer(
        GR_BUFFER_BACKBUFFER)[static_cast<std::size_t>(y) * 640 + static_cast<std::size_t>(x)];
  }
  static std::uint16_t DepthAt(int x, int y) {
    return platform::glide::DepthBuffer()[static_cast<std::size_t>(y) * 640 +
                                          static_cast<std::size_t>(x)];
  }
};

// A vertex at screen (x, y) with colour, alpha, depth w and texture coordinates s, t (0..256
// over the texture's larger side), divided by w as the game sends them.
inline GrVertex MakeVertex(float x, float y, float r, float g, float b, float a = 255.0f,
                           float w = 1.0f, float s = 0.0f, float t = 0.0f) {
  GrVertex v{};
  v.x = x;
  v.y = y;
  v.r = r;
  v.g = g;
  v.b = b;
  v.a = a;
  v.oow = 1.0f / w;
  v.tmuvtx[0].sow = s / w;
  v.tmuvtx[0].tow = t / w;
  return v;
}

inline constexpr std::uint16_t Rgb565(int r, int g, int b) {
  return static_cast<std::uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
}
