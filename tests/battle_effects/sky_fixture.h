// A software board with a render context that draws through it, a camera looking along +x from
// 20 units above the ground into a 160 x 120 view in the top-left corner of the screen, the
// arena's sky parameters, and the seven sky bitmaps drawn by code: a pale sky with wisps, clouds
// that tile, a ground of fields, a sun and a moon disc, a flare ring and a flare disc.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "battle/effects/particle_pool.h"
#include "battle/effects/sky_state.h"
#include "engine/r3x.h"
#include "platform/glide.h"
#include "tests/battle_effects/world_fixture.h"

// A bitmap drawn by code: every texel a level from 0 to 1 between two colours, through the
// bitmap's own 256-colour table.
class FixtureBitmap {
 public:
  struct Rgb {
    float red, green, blue;
  };
  FixtureBitmap(int side, Rgb low, Rgb high, const std::function<float(float, float)>& level)
      : pixels_(static_cast<std::size_t>(side * side)), colours_(256 * 4) {
    for (int i = 0; i < 256; ++i) {
      const float t = static_cast<float>(i) / 255.0f;
      colours_[static_cast<std::size_t>(i * 4)] = Channel(low.red, high.red, t);
      colours_[static_cast<std::size_t>(i * 4 + 1)] = Channel(low.green, high.green, t);
      colours_[static_cast<std::size_t>(i * 4 + 2)] = Channel(low.blue, high.blue, t);
    }
    for (int y = 0; y < side; ++y) {
      for (int x = 0; x < side; ++x) {
        const float value = level((static_cast<float>(x) + 0.5f) / static_cast<float>(side),
                                  (static_cast<float>(y) + 0.5f) / static_cast<float>(side));
        const float clamped = value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value);
        pixels_[static_cast<std::size_t>(y * side + x)] =
            static_cast<std::uint8_t>(clamped * 255.0f + 0.5f);
      }
    }
    bitmap_.header.type = R3X_TYPE_BITMAP;
    bitmap_.pixels = pixels_.data();
    bitmap_.pixelBytes = pixels_.size();
    bitmap_.width = side;
    bitmap_.height = side;
    bitmap_.bitCount = 8;
    bitmap_.colourTable = colours_.data();
  }
  FixtureBitmap(const FixtureBitmap&) = delete;
  FixtureBitmap& operator=(const FixtureBitmap&) = delete;

  R3xBitmap* get() { return &bitmap_; }

 private:
  static std::uint8_t Channel(float low, float high, float t) {
    return static_cast<std::uint8_t>(low + (high - low) * t + 0.5f);
  }

  std::vector<std::uint8_t> pixels_;
  std::vector<std::uint8_t> colours_;
  R3xBitmap bitmap_{};
};

// Waves of whole periods across the texture, so that it tiles.
inline float Wave(float x, float y, float kx, float ky) {
  constexpr float kTurn = 6.2831853f;
  return std::sin(kTurn * (kx * x + ky * y));
}

// Distance from the texture's centre, 1 at the middle of an edge.
inline float FromCentre(float x, float y) {
  return 2.0f * std::sqrt((x - 0.5f) * (x - 0.5f) + (y - 0.5f) * (y - 0.5f));
}

struct SkyBitmaps {
  FixtureBitmap sky{64, {150, 190, 240}, {235, 245, 255}, [](float x, float y) {
                      return 0.5f + 0.3f * Wave(x, y, 1, 2) * Wave(x, y, 3, -1);
                    }};
  FixtureBitmap cloud{64, {175, 185, 205}, {255, 255, 255}, [](float x, float y) {
                        return 0.5f + 0.3f * Wave(x, y, 1, 1) + 0.2f * Wave(x, y, 2, -3);
                      }};
  FixtureBitmap ground{64, {70, 95, 40}, {150, 135, 80}, [](float x, float y) {
                         const bool field = (static_cast<int>(x * 4) + static_cast<int>(y * 4)) % 2;
                         return (field ? 0.7f : 0.25f) + 0.1f * Wave(x, y, 8, 5);
                       }};
  // A bright core in a glow that fades out before the edge.
  FixtureBitmap sun{64, {0, 0, 0}, {255, 240, 170}, [](float x, float y) {
                      const float r = FromCentre(x, y);
                      return r < 0.2f ? 1.0f : 0.6f * (1.0f - r) * (1.0f - r);
                    }};
  FixtureBitmap moon{64, {0, 0, 0}, {225, 225, 235}, [](float x, float y) {
                       const float r = FromCentre(x, y);
                       const float spots = 0.15f * Wave(x, y, 3, 2) * Wave(x, y, -2, 3);
                       return r < 0.8f ? 0.8f + spots : 0.0f;
                     }};
  FixtureBitmap ring{64, {0, 0, 0}, {255, 255, 255}, [](float x, float y) {
                       return 1.0f - std::fabs(FromCentre(x, y) - 0.75f) * 8.0f;
                     }};
  FixtureBitmap disc{
      64, {0, 0, 0}, {255, 255, 255}, [](float x, float y) { return 1.0f - FromCentre(x, y); }};
};

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
    world_ = MakeOneRoomWorld();
    ASSERT_NE(world_, nullptr);
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
    sky_.skyBitmap = bitmaps_->sky.get();
    sky_.cloudBitmap = bitmaps_->cloud.get();
    sky_.groundBitmap = bitmaps_->ground.get();
    sky_.sunBitmap = bitmaps_->sun.get();
    sky_.moonBitmap = bitmaps_->moon.get();
    sky_.flareRingBitmap = bitmaps_->ring.get();
    sky_.flareDiscBitmap = bitmaps_->disc.get();
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
  std::unique_ptr<SkyBitmaps> bitmaps_ = std::make_unique<SkyBitmaps>();
  CParticlePool pool_;
  SkyState sky_;
};
