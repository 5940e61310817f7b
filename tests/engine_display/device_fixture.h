// A fresh window system and headless display, a window, a camera of a given size, and the
// host's display objects: a DirectDraw object in exclusive full screen at 640 x 480 x 8 with a
// flipping primary surface.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "engine/r3x.h"
#include "platform/backend/display_backend.h"
#include "platform/backend/headless_backend.h"
#include "platform/ddraw.h"
#include "platform/window/messages.h"
#include "platform/window/window.h"
#include "tests/support/scoped_window_system.h"

class DeviceTest : public ::testing::Test {
 protected:
  DeviceTest() {
    platform::SetDisplayBackend(std::make_unique<platform::HeadlessBackend>());
    platform::ClearShownFrames();
    platform::ResetDisplayMode();
    window_ = test_support::CreateShownWindow("display_wc", DefWindowProcA);
    camera_ = CreateCamera();
    SetCameraImageBuffer(camera_, nullptr, 640, 480);
  }

  ~DeviceTest() override {
    r3xDestroyRenderDevice(&device_, R3X_DEVICE_FREE | R3X_DEVICE_KEEP);
    if (primary_ != nullptr) {
      primary_->Release();
    }
    if (directDraw_ != nullptr) {
      directDraw_->Release();
    }
    r3xDestroyCamera(camera_);
    platform::ResetDisplayMode();
    platform::ClearShownFrames();
  }

  void SetUpHostDisplay() {
    ASSERT_EQ(DirectDrawCreate(nullptr, &directDraw_, nullptr), DD_OK);
    ASSERT_EQ(directDraw_->SetCooperativeLevel(window_, 0x53), DD_OK);
    ASSERT_EQ(directDraw_->SetDisplayMode(640, 480, 8), DD_OK);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps =
        DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_SYSTEMMEMORY;
    ASSERT_EQ(directDraw_->CreateSurface(&desc, &primary_, nullptr), DD_OK);
  }

  // The game's open: full screen, Mode X allowed, no flags, 8 bits, on the host's objects.
  std::int32_t OpenAsTheGameDoes(const R3xPalette* palette = nullptr) {
    return r3xCreateRenderDevice(&device_, camera_, 1, 1, 0, palette, window_, 8, directDraw_,
                                 primary_);
  }

  // Every pixel of the last shown frame has the value.
  static bool LastFrameIsAll(BYTE value) {
    const auto frame = platform::LastShownFrame();
    if (!frame) {
      return false;
    }
    for (BYTE pixel : frame->pixels) {
      if (pixel != value) {
        return false;
      }
    }
    return true;
  }

  test_support::ScopedWindowSystem windowSystem_;
  HWND window_ = nullptr;
  R3xCamera* camera_ = nullptr;
  IDirectDraw* directDraw_ = nullptr;
  IDirectDrawSurface* primary_ = nullptr;
  R3xRenderDevice* device_ = nullptr;
};
