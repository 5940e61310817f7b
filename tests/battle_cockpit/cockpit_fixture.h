// A Glide context on a fresh software board as the session's, with a palette whose index 0 is
// the transparent colour, and a cleared back buffer to read panels back from.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "battle/arena/arena_view.h"
#include "engine/r3x.h"
#include "platform/glide.h"

class CockpitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::glide::SetSwapPacing(false);
    ASSERT_EQ(r3xGlideInit(&glide_), 0);
    render_ = CreateRenderContext(0, nullptr);
    ASSERT_NE(render_, nullptr);
    for (int i = 0; i < 256; ++i) {
      palette_.entries[i] = {static_cast<BYTE>((i & 31) << 3), static_cast<BYTE>((i >> 5) << 3),
                             0x80, 0};
    }
    r3xSetTransparentIndex(render_, 0);
    ASSERT_EQ(r3xGlideAttach(glide_, render_, &palette_), 0);
    gGlideContext = glide_;
    ClearBack();
  }
  void TearDown() override {
    gGlideContext = nullptr;
    r3xGlideFreeTextures(glide_);
    r3xGlideShutdown(glide_);
    r3xDestroyRenderContext(nullptr, render_, 0);
  }

  static void ClearBack() { r3xGlideClear(gGlideContext, 1, 1, 0, 0, 0xF8); }
  static std::uint16_t BackPixel(int x, int y) {
    return platform::glide::ColorBuffer(
        GR_BUFFER_BACKBUFFER)[static_cast<std::size_t>(y) * 640 + static_cast<std::size_t>(x)];
  }
  // The cleared back buffer's colour.
  static constexpr std::uint16_t kBackground = 0x1F;

  R3xGlideContext* glide_ = nullptr;
  R3xRenderContext* render_ = nullptr;
  R3xPalette palette_{};
};
