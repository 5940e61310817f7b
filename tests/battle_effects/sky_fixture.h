// A software board with a render context that draws through it, a camera looking along +x from
// 20 units above the ground into a 160 x 120 view in the top-left corner of the screen, the
// arena's sky parameters, and the demo's seven sky bitmaps.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "battle/effects/particle_pool.h"
#include "battle/effects/sky_bitmaps.h"
#include "battle/effects/sky_state.h"
#include "engine/r3x.h"
#include "platform/glide.h"
#include "tests/battle_effects/world_fixture.h"

class SkyTest : public ::testing::Test {
 protected:
  static constexpr int kViewWidth = 160;
  static constexpr int kViewHeight = 120;

  void SetUp() override {
    ASSERT_EQ(r3xInit(), R3X_DONE);
    platform::glide::SetSwapPacing(false);
    ASSERT_EQ(r3xGlideInit(&glide_), 0);
    render_ = CreateRenderContext(0, nullptr);
    ASSERT_NE(render_, nullptr);
    for (int i = 0; i < R3X_PALETTE_ENTRIES; ++i) {
      const auto level = static_cast<BYTE>(i);
      palette_.entries[i] = {level, level, level, 0};
    }
    ASSERT_EQ(r3xAttachRenderDevice(render_, R3X_MODE_COLOUR, nullptr, &palette_), 0);
    ASSERT_EQ(r3xGlideAttach(glide_, render_, &palette_), 0);
    // As the world start sets it: the world draw and the ground write depth.
    r3xSetDepthBuffering(render_, 1);
    world_ = MakeOneRoomWorld();
    ASSERT_NE(world_, nullptr);
    // 8-bit bitmaps keep their own colours, which the board draws them in.
    r3xSetWorldFlag(world_.get(), 1);
    R3xWad* equip = r3xOpenWad(ARENA_DEMO_EQUIP, 20);
    ASSERT_NE(equip, nullptr);
    for (std::size_t i = 0; i < kSkyBitmapNames.size(); ++i) {
      const R3xBitmapHandle handle =
          r3xLoadBitmap(world_.get(), kSkyBitmapNames[i], kSkyBitmapNames[i], equip);
      ASSERT_NE(handle, nullptr) << kSkyBitmapNames[i];
      sky_.*kSkyBitmapFields[i] = reinterpret_cast<R3xBitmap*>(handle->object);
    }
    r3xCloseWad(equip);
    camera_ = CreateCamera();
    ASSERT_NE(camera_, nullptr);
    camera_->z = 20.0f;
    camera_->halfFieldOfView = 48.0f;
    camera_->aspect = 4.0f / 3.0f;
    camera_->nearDistance = 1.0f;
    camera_->farDistance = 500.0f;
    camera_->viewWidth = kViewWidth;
    camera_->viewHeight = kViewHeight;
    // The ground takes the ambient colour of the region the world draw lit last.
    for (float& channel : render_->ambient) {
      channel = 0.9f;
    }

    sky_.world = world_.get();
    sky_.renderContext = render_;
    sky_.camera = camera_;
    sky_.particles = &pool_;
    sky_.step = 14;
    sky_.blend = 1.0f;
    sky_.sunScale = 150.0f;
    sky_.moonScale = 45.0f;
    sky_.fogScale = 1.5f;
    // The arena's default flare: discs and rings along the line through the sun.
    sky_.flare = {{{0, -0.2f, 0.125f, 255, 255, 255},
                   {0, 0.8f, 0.175f, 0, 0, 255},
                   {0, 0.85f, 0.2f, 0, 0, 255},
                   {0, 0.95f, 0.4f, 255, 255, 255},
                   {0, 0.98f, 0.5f, 255, 0, 255},
                   {1, 0.55f, 0.15f, 255, 0, 0},
                   {1, 0.9f, 0.3f, 0, 255, 0},
                   {1, 1.15f, 0.25f, 0, 0, 255}}};
    // The sun and the moon below the horizon unless a test raises them.
    sky_.sunAngle = 256.0f;
    sky_.moonAngle = 256.0f;
  }

  void TearDown() override {
    platform::glide::StopRecording();
    r3xGlideFreeTextures(glide_);
    r3xGlideShutdown(glide_);
    r3xDestroyRenderContext(nullptr, render_, 0);
    r3xDestroyCamera(camera_);
    world_.reset();
  }

  // The frame's start as the frame tick makes it: clear to the grey, begin the frame.
  void BeginFrame(std::uint8_t grey = 0) {
    r3xGlideClear(glide_, 1, 1, grey, grey, grey);
    r3xGlideBeginFrame(world_.get(), render_, camera_);
  }

  static std::uint16_t BackPixel(int x, int y) {
    return platform::glide::ColorBuffer(
        GR_BUFFER_BACKBUFFER)[static_cast<std::size_t>(y) * 640 + static_cast<std::size_t>(x)];
  }

  static std::vector<std::string> Calls() { return platform::glide::RecordedCallTexts(); }

  R3xGlideContext* glide_ = nullptr;
  R3xRenderContext* render_ = nullptr;
  R3xPalette palette_{};
  WorldPtr world_;
  R3xCamera* camera_ = nullptr;
  CParticlePool pool_;
  SkyState sky_;
};
