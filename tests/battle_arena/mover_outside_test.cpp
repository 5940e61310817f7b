// The mover where the world ends: a room over x in [0, 100] whose tree has nothing behind the
// plane x = 0, so that points with x < 0 lie in no region.
#include <gtest/gtest.h>

#include <string>

#include "battle/arena/arena_world.h"
#include "battle/arena/mover.h"
#include "battle/core/game_params.h"
#include "engine/r3x.h"
#include "tests/support/scoped_working_folder.h"
#include "tests/support/scratch_folder.h"

namespace {

constexpr const char* kHalfWorld =
    "QZVWORLD half\n"
    "NUMVERTICES 4\n"
    "XYZ 0.0 0.0 0.0 XYZ 0.0 100.0 0.0 XYZ 100.0 0.0 0.0 XYZ 100.0 100.0 0.0\n"
    "NUMREGIONS 1\n"
    "REGION 1 REGIONTAG room NUMRENDERVERTICES 4 NUMWALLS 1\n"
    "  WALL 1 FLOOR NUMVERTICES 4 VERTEXLIST 1 2 4 3 RENDERMETHOD SOLIDFILL ENDWALL 1\n"
    "  NUMOBSTACLES 4 NUMCUTTINGOBSTACLES 0\n"
    "  OBSTACLE 1 XY_LINE 0 1 2 NEXTREGION 0 ENDOBSTACLE 1\n"
    "  OBSTACLE 2 XY_LINE 0 2 4 NEXTREGION 0 ENDOBSTACLE 2\n"
    "  OBSTACLE 3 XY_LINE 0 4 3 NEXTREGION 0 ENDOBSTACLE 3\n"
    "  OBSTACLE 4 XY_LINE 0 3 1 NEXTREGION 0 ENDOBSTACLE 4\n"
    "  VISTREE NUMVISNODE 1 NUMVISLIST 1\n"
    "  VISNODE 1 NORMALABCD 0.0 0.0 0.0 0.0 VISLISTINDEX 1 FRONTTREE 0 BACKTREE 0 ENDVISNODE 1\n"
    "  VISIBLELIST 1 RANGE 1 1 ENDVISIBLELIST 1 ENDVISTREE\n"
    "  SPHERE 50.0 50.0 0.0 80.0\n"
    "ENDREGION 1\n"
    "WORLDTREE NUMWORLDNODES 2\n"
    "  WORLDNODE 1 NORMALABCD 1.0 0.0 0.0 0.0 WORLDREGIONTAG 0 FRONTTREE 2 BACKTREE 0 "
    "ENDWORLDNODE 1\n"
    "  WORLDNODE 2 NORMALABCD 0.0 0.0 0.0 0.0 WORLDREGIONTAG 1 FRONTTREE 0 BACKTREE 0 "
    "ENDWORLDNODE 2\n"
    "ENDWORLDTREE\n"
    "SPHERELISTDEFINITION TAG tank_spheres BOUNDINGRADIUS 4.02 SCALEFACTOR 1.0 NUMSPHERES 6\n"
    "  SPHERE 2.80 1.60 0.00 0.72 SPHERE 2.80 -1.60 0.00 0.72\n"
    "  SPHERE -2.80 1.60 0.00 0.72 SPHERE -2.80 -1.60 0.00 0.72\n"
    "  SPHERE 0.00 0.00 0.80 0.72 SPHERE 0.00 0.00 1.60 0.72\n"
    "ENDSPHERELISTDEFINITION\n"
    "ACTORDEF ACTORTAG tank NUMACTIONS 1 ACTION 1 NUMLEVELSOFDETAIL 1 LEVELOFDETAIL 1 "
    "NULLSPRITE ENDLEVELOFDETAIL 1 ENDACTION 1 ENDACTORDEF\n"
    "ENDWORLD half\n";

class MoverOutsideTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(r3xInit(), R3X_DONE);
    InitGameParams();
    folder_.Write("half.wld", kHalfWorld);
    world_ = r3xCreateWorld(nullptr, 0, nullptr);
    ASSERT_EQ(r3xLoadWorldFile("half.wld", world_, nullptr, nullptr, nullptr, nullptr), 0);
    gWorld = world_;
    gMover = &mover_;
  }
  void TearDown() override {
    gMover = nullptr;
    gWorld = nullptr;
    r3xDestroyWorld(world_);
    r3xShutdown();
  }

  test_support::ScratchFolder folder_{"mover_outside"};
  test_support::ScopedWorkingFolder working_{folder_.Path()};
  R3xWorld* world_ = nullptr;
  CMover mover_;
  const MoverCallbacks callbacks_{MoverSweepFilter, MoverSweepHit};
};

TEST_F(MoverOutsideTest, AMoveOutOfEveryRegionRestoresThePlacement) {
  const float probe[3] = {-1.0f, 50.0f, 1.0f};
  ASSERT_EQ(r3xFindRegionAt(world_, probe), nullptr);
  auto* spheres = reinterpret_cast<R3xSphereListDef*>(r3xFindTag(world_, "tank_spheres"));
  ASSERT_NE(spheres, nullptr);
  const R3xPlacement at{5.0f, 50.0f, 1.0f, 0.0f, 0.0f, 0.0f, -1};
  R3xActor* actor = r3xCreateActor(
      world_, reinterpret_cast<R3xActorDef*>(r3xFindTag(world_, "tank")), nullptr, &at,
      reinterpret_cast<R3xVolume*>(spheres->defaultInstance), nullptr, 1.0f, 4.02f, 0);
  ASSERT_NE(actor, nullptr);
  R3xPlacement out = at;
  out.x = 2.0f;
  float fraction = -1.0f;
  float stop[3];
  EXPECT_EQ(mover_.MoveWithCollision(actor, &out, &fraction, stop, callbacks_), nullptr);
  EXPECT_EQ(fraction, 0.0f);
  R3xPlacement now{};
  r3xGetActorPlacement(actor, &now);
  EXPECT_EQ(now.x, 5.0f);
}

TEST_F(MoverOutsideTest, ASweepFromOutsideReturnsItsStart) {
  R3xVolume* sphere = reinterpret_cast<R3xVolume*>(r3xCreateSphereVolume(1.0f));
  R3xPlacement outside{-50.0f, 50.0f, 5.0f, 0.0f, 0.0f, 0.0f, -1};
  float point[3] = {50.0f, 50.0f, 5.0f};
  EXPECT_EQ(mover_.Sweep(sphere, &outside, point, callbacks_), nullptr);
  EXPECT_EQ(point[0], -50.0f);
  EXPECT_EQ(point[1], 50.0f);
  r3xFreeVolumeRecord(sphere);
}

}  // namespace
