// A render context with the math tables, and light records made by code.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "engine/core/vertex_lighting.h"
#include "engine/r3x.h"

class LightingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(r3xInit(), R3X_DONE);
    render_ = CreateRenderContext(0, nullptr);
    ASSERT_NE(render_, nullptr);
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
  R3xLightDef definition_{};
  R3xLight light_{};
};

inline R3xClipVertex At(float x, float y, float z, float red = 0.0f, float green = 0.0f,
                        float blue = 0.0f) {
  R3xClipVertex v{};
  v.x = x;
  v.y = y;
  v.z = z;
  v.red = red;
  v.green = green;
  v.blue = blue;
  return v;
}
