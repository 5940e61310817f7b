// The sky tests' scene (tests/support/sky_scene.h) with a 160 x 120 view, rebuilt for each test,
// and what the tests read of the board.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "battle/effects/particle_pool.h"
#include "battle/effects/sky_bitmaps.h"
#include "battle/effects/sky_state.h"
#include "engine/r3x.h"
#include "platform/glide.h"
#include "tests/support/sky_scene.h"

class SkyTest : public ::testing::Test {
 protected:
  static constexpr int kViewWidth = 160;
  static constexpr int kViewHeight = 120;

  void SetUp() override { ASSERT_TRUE(scene_.ok()) << scene_.fault(); }
  void TearDown() override { platform::glide::StopRecording(); }

  // The frame's start as the frame tick makes it: clear to the grey, begin the frame.
  void BeginFrame(std::uint8_t grey = 0) { scene_.BeginFrame(grey); }

  static std::uint16_t BackPixel(int x, int y) {
    return platform::glide::ColorBuffer(
        GR_BUFFER_BACKBUFFER)[static_cast<std::size_t>(y) * 640 + static_cast<std::size_t>(x)];
  }

  static std::vector<std::string> Calls() { return platform::glide::RecordedCallTexts(); }

  test_support::SkyScene scene_{kViewWidth, kViewHeight};
  R3xGlideContext* glide_ = scene_.glide();
  R3xRenderContext* render_ = scene_.render();
  R3xCamera* camera_ = scene_.camera();
  CParticlePool& pool_ = scene_.pool;
  SkyState& sky_ = scene_.sky;
};
