#include <vector>

#include "tests/engine_display/lighting_fixture.h"

namespace {

using VertexLightingTest = LightingTest;

TEST_F(VertexLightingTest, PointLightsAddByAngleAndFalloff) {
  // Radius 10 gives k = 5; from 2 units straight ahead c = 1 and f = 1 / 5.
  R3xPointLight point = MakePointLight(0.0f, 0.0f, 2.0f, 10.0f);
  R3xDirectionalLight directional{};
  directional.header.type = R3X_TYPE_DIRECTIONAL_LIGHT;
  R3xObjectHeader* lights[] = {&directional.header, &point.header};
  render_->lights = lights;
  render_->lightCount = 2;
  Source()[0] = At(0.0f, 0.0f, 0.0f);
  Source()[1] = At(0.0f, 0.0f, 2.0f);               // at the light
  Source()[2] = At(0.0f, 0.0f, 2.0f - 0.0078125f);  // 2^-7 away: d2 = 2^-14
  Source()[3] = At(0.0f, 0.0f, 3.0f);               // behind the face
  Source()[0].u = 7.0f;
  const float normal[3] = {0.0f, 0.0f, 1.0f};
  ASSERT_EQ(_r3xLightTexturedVerticesRGB(render_, 4, normal, 0.25f, 0.5f, 0.0f), R3X_DONE);
  EXPECT_FLOAT_EQ(Input()[0].red, 1.25f);
  EXPECT_FLOAT_EQ(Input()[0].green, 1.5f);
  EXPECT_FLOAT_EQ(Input()[0].blue, 1.0f);
  EXPECT_EQ(Input()[0].u, 7.0f);
  for (int i = 1; i < 4; ++i) {
    EXPECT_EQ(Input()[i].red, 0.25f) << i;
    EXPECT_EQ(Input()[i].blue, 0.0f) << i;
  }

  render_->excludedLight = &point.header;
  ASSERT_EQ(_r3xLightVerticesRGB(render_, 1, normal, 0.25f, 0.5f, 0.0f), R3X_DONE);
  EXPECT_EQ(Input()[0].red, 0.25f);
}

TEST_F(VertexLightingTest, ChannelsStopAtTheLimit) {
  R3xPointLight point = MakePointLight(0.0f, 0.0f, 2.0f, 100.0f);
  R3xObjectHeader* lights[] = {&point.header};
  render_->lights = lights;
  render_->lightCount = 1;
  Source()[0] = At(0.0f, 0.0f, 0.0f);
  const float normal[3] = {0.0f, 0.0f, 1.0f};
  _r3xLightVerticesRGB(render_, 1, normal, 1.0f, 1.0f, 1.0f);
  EXPECT_EQ(Input()[0].red, 1.9999899864f);
  EXPECT_EQ(Input()[0].blue, R3X_LIGHT_CHANNEL_LIMIT);
  // The source keeps the uncapped sum.
  EXPECT_GT(Source()[0].red, 2.0f);
}

TEST_F(VertexLightingTest, TooManyVerticesAreRefused) {
  const float normal[3] = {0.0f, 0.0f, 1.0f};
  EXPECT_EQ(
      _r3xLightVerticesRGB(render_, static_cast<std::int32_t>(render_->work.vertexCapacity) + 1,
                           normal, 1.0f, 1.0f, 1.0f),
      R3X_ERR_FAILED);
}

TEST_F(VertexLightingTest, ViewLightShinesOnFacesTowardTheViewer) {
  render_->clipColumns[0][0] = 1.0f;
  render_->clipColumns[1][1] = 1.0f;
  render_->view[8] = 1.0f;
  render_->viewLight[0] = 1.0f;
  render_->viewLight[1] = 0.5f;
  R3xClipVertex vertices[2] = {At(0.0f, 0.0f, 2.0f, 0.5f, 0.5f, 0.5f),
                               At(0.0f, 0.0f, 2.0f, 1.9f, 0.5f, 0.5f)};
  const float towardViewer[3] = {0.0f, 0.0f, -1.0f};
  ASSERT_EQ(_r3xAddViewLightRGB(render_, vertices, 2, towardViewer), R3X_DONE);
  EXPECT_FLOAT_EQ(vertices[0].red, 0.7f);
  EXPECT_FLOAT_EQ(vertices[0].green, 0.6f);
  EXPECT_EQ(vertices[0].blue, 0.5f);
  EXPECT_EQ(vertices[1].red, R3X_LIGHT_CHANNEL_LIMIT);
  R3xClipVertex away = At(0.0f, 0.0f, 2.0f, 0.5f, 0.5f, 0.5f);
  const float awayFromViewer[3] = {0.0f, 0.0f, 1.0f};
  _r3xAddViewLightRGB(render_, &away, 1, awayFromViewer);
  EXPECT_EQ(away.red, 0.5f);
}

}  // namespace
