#include <gtest/gtest.h>

#include <memory>

#include "engine/r3x.h"
#include "tests/support/test_world_builder.h"

namespace {

struct CameraDeleter {
  void operator()(R3xCamera* camera) const { r3xDestroyCamera(camera); }
};
using CameraPtr = std::unique_ptr<R3xCamera, CameraDeleter>;

struct WorldDeleter {
  void operator()(R3xWorld* world) const { r3xDestroyWorld(world); }
};
using WorldPtr = std::unique_ptr<R3xWorld, WorldDeleter>;

TEST(CameraTest, ANewCameraIsEmptyAndInsideNoActor) {
  CameraPtr camera(CreateCamera());
  ASSERT_NE(camera, nullptr);
  EXPECT_EQ(camera->type, R3X_TYPE_CAMERA);
  EXPECT_EQ(camera->insideActor, -1);
  EXPECT_EQ(r3xGetCameraImageBuffer(camera.get()), nullptr);
  EXPECT_EQ(camera->halfFieldOfView, 0.0f);
}

TEST(CameraTest, ImageViewAndProjectionAreStored) {
  CameraPtr camera(CreateCamera());
  std::uint8_t image[64 * 48] = {};
  EXPECT_EQ(SetCameraImageBuffer(camera.get(), image, 64, 48), 0);
  EXPECT_EQ(r3xGetCameraImageBuffer(camera.get()), image);
  EXPECT_EQ(r3xGetCameraImageWidth(camera.get()), 64);
  EXPECT_EQ(r3xGetCameraImageHeight(camera.get()), 48);
  EXPECT_EQ(camera->rowLength, 64);
  EXPECT_EQ(r3xSetCameraView(camera.get(), 5, 32, 24), 0);
  EXPECT_EQ(camera->viewOrigin, 5u);
  EXPECT_EQ(r3xGetCameraViewWidth(camera.get()), 32);
  EXPECT_EQ(r3xGetCameraViewHeight(camera.get()), 24);

  EXPECT_EQ(r3xSetCameraProjection(camera.get(), 100.0f, 1.25f, 1.0f, 500.0f), 0);
  EXPECT_EQ(camera->halfFieldOfView, 50.0f);
  EXPECT_EQ(camera->aspect, 1.25f);
  EXPECT_EQ(camera->nearDistance, 1.0f);
  EXPECT_EQ(camera->farDistance, 500.0f);
  for (float far : {1.0f, 0.5f}) {
    EXPECT_EQ(r3xSetCameraProjection(camera.get(), 60.0f, 2.0f, 1.0f, far), R3X_CAMERA_BAD_RANGE);
  }
  EXPECT_EQ(camera->halfFieldOfView, 50.0f);
  EXPECT_EQ(camera->aspect, 1.25f);
  EXPECT_EQ(camera->farDistance, 500.0f);
}

TEST(CameraTest, SettersRefuseANullCamera) {
  const R3xPlacement placement{};
  EXPECT_EQ(SetCameraImageBuffer(nullptr, nullptr, 1, 1), R3X_CAMERA_NULL);
  EXPECT_EQ(r3xSetCameraView(nullptr, 0, 1, 1), R3X_CAMERA_NULL);
  EXPECT_EQ(r3xSetCameraProjection(nullptr, 1.0f, 1.0f, 1.0f, 2.0f), R3X_CAMERA_NULL);
  EXPECT_EQ(r3xSetCameraPlacement(nullptr, nullptr, &placement), R3X_CAMERA_NULL);
}

TEST(CameraTest, PlacementTakesTheRegionAndRefusesPointsOutsideTheWorld) {
  TestWorldSpec spec;
  spec.regionCount = 2;
  // Region 1 for x >= 10, region 0 for 0 <= x < 10, nothing below 0.
  spec.nodes = {MakeTestSplitX(10.0f, 1, 2), MakeTestLeaf(1), MakeTestSplitX(0.0f, 3, -1),
                MakeTestLeaf(0)};
  WorldPtr world(MakeTestWorld(spec));
  ASSERT_NE(world, nullptr);
  CameraPtr camera(CreateCamera());
  const R3xPlacement inside{12.0f, 1.0f, 2.0f, 64.0f, 3.0f, 4.0f, -1};
  EXPECT_EQ(r3xSetCameraPlacement(world.get(), camera.get(), nullptr), R3X_CAMERA_NULL_PLACEMENT);
  EXPECT_EQ(r3xSetCameraPlacement(world.get(), camera.get(), &inside), 0);
  EXPECT_EQ(camera->region, 1);
  EXPECT_EQ(camera->x, 12.0f);
  EXPECT_EQ(camera->heading, 64.0f);
  EXPECT_EQ(camera->roll, 4.0f);

  const R3xPlacement outside{-1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0};
  EXPECT_EQ(r3xSetCameraPlacement(world.get(), camera.get(), &outside), R3X_CAMERA_OUTSIDE);
  EXPECT_EQ(camera->region, 1);
  EXPECT_EQ(camera->x, 12.0f);
  EXPECT_EQ(camera->heading, 64.0f);
}

TEST(CameraTest, TheCameraSitsInsideAnActorBySlot) {
  CameraPtr camera(CreateCamera());
  R3xActor actor{};
  actor.header.slot = 0;
  EXPECT_EQ(r3xSetCameraActor(camera.get(), &actor), 0);
  EXPECT_EQ(camera->insideActor, 0);
  EXPECT_EQ(r3xSetCameraActor(camera.get(), nullptr), 0);
  EXPECT_EQ(camera->insideActor, -1);
}

}  // namespace
