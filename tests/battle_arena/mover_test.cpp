#include "battle/arena/mover.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "battle/arena/arena_map.h"
#include "battle/arena/arena_world.h"
#include "battle/core/game_params.h"
#include "battle/core/global_params.h"
#include "engine/r3x.h"
#include "tools/mkdata/arena_map_writer.h"
#include "tools/mkdata/demo_arena_map.h"

namespace {

// The demo arena: floor z = 0 over [0, 400] x [0, 400] inside walls, a post from (300, 100, 0)
// to (300, 100, 20). The light tank's collision list has corner spheres at (+-2.8, +-1.6, 0)
// of radius 0.72.
constexpr float kRadius = 0.72f;
constexpr float kCeiling = 112.0f;

class MoverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(r3xInit(), R3X_DONE);
    InitGameParams();
    pack_ = r3xOpenWad(ARENA_DEMO_PACK, 64);
    ASSERT_NE(pack_, nullptr);
    world_ = r3xCreateWorld(nullptr, 0, nullptr);
    ASSERT_EQ(r3xLoadWorldFile("arena.wld", world_, pack_, nullptr, nullptr, nullptr), 0);
    map_ = std::make_unique<CArenaMap>(mkdata::EncodeArenaMap(mkdata::BuildDemoArenaMap()));
    ASSERT_TRUE(map_->IsValid());
    gWorld = world_;
    gArenaMap = map_.get();
    gWorldCeiling = kCeiling;
    mover_ = std::make_unique<CMover>();
    gMover = mover_.get();
  }
  void TearDown() override {
    gMover = nullptr;
    mover_.reset();
    gWorld = nullptr;
    gArenaMap = nullptr;
    gWorldCeiling = 0.0f;
    if (world_ != nullptr) {
      r3xDestroyWorld(world_);
    }
    r3xCloseWad(pack_);
    r3xShutdown();
  }

  R3xVolume* TankSpheres() const {
    auto* definition = reinterpret_cast<R3xSphereListDef*>(r3xFindTag(world_, "LSCOL_SPHRLDEF"));
    return reinterpret_cast<R3xVolume*>(definition->defaultInstance);
  }
  R3xActor* MakeTank(float x, float y, float z, float heading = 0.0f, R3xVolume* volume = nullptr) {
    const R3xPlacement at{x, y, z, heading, 0.0f, 0.0f, -1};
    auto* definition =
        reinterpret_cast<R3xActorDef*>(r3xFindTag(world_, "TANK_COLLISION_ACTORDEF"));
    R3xActor* actor =
        r3xCreateActor(world_, definition, nullptr, &at, volume != nullptr ? volume : TankSpheres(),
                       nullptr, 1.0f, 4.02f, 0);
    EXPECT_NE(actor, nullptr);
    return actor;
  }
  static R3xPlacement PlacementOf(const R3xActor* actor) {
    R3xPlacement placement{};
    r3xGetActorPlacement(actor, &placement);
    return placement;
  }

  R3xWad* pack_ = nullptr;
  R3xWorld* world_ = nullptr;
  std::unique_ptr<CArenaMap> map_;
  std::unique_ptr<CMover> mover_;
  const MoverCallbacks callbacks_{MoverSweepFilter, MoverSweepHit};
};

TEST_F(MoverTest, MoveToIgnoresTinyMovesAndGoesWhereNothingStopsIt) {
  R3xActor* actor = MakeTank(100, 100, 10);
  float tiny[3] = {100.0005f, 99.9995f, 10.0009f};
  EXPECT_EQ(mover_->MoveTo(actor, tiny, callbacks_), nullptr);
  EXPECT_EQ(tiny[0], 100.0f);
  EXPECT_EQ(tiny[2], 10.0f);
  float open[3] = {150, 120, 12};
  EXPECT_EQ(mover_->MoveTo(actor, open, callbacks_), nullptr);
  EXPECT_FLOAT_EQ(PlacementOf(actor).x, 150.0f);
  EXPECT_FLOAT_EQ(open[0], 150.0f);
}

TEST_F(MoverTest, MoveToStopsAtAWall) {
  R3xActor* actor = MakeTank(150, 100, 10);
  float point[3] = {150, 500, 10};
  const R3xContact* contact = mover_->MoveTo(actor, point, callbacks_);
  ASSERT_NE(contact, nullptr);
  EXPECT_LT(point[1], 400.0f);
  EXPECT_GT(point[1], 390.0f);
  EXPECT_FLOAT_EQ(PlacementOf(actor).y, point[1]);
}

TEST_F(MoverTest, ProbeGroundAndClearance) {
  R3xActor* below = MakeTank(100, 100, 10);
  R3xPlacement sunk = PlacementOf(below);
  sunk.z = -1.0f;
  r3xSetActorPlacement(world_, below, &sunk);
  mover_->lastResult = 12345;
  EXPECT_EQ(mover_->ProbeGround(below, nullptr, callbacks_), 0.0f);
  EXPECT_EQ(mover_->lastResult, 12345);

  R3xActor* actor = MakeTank(150, 150, 10);
  float normal[3] = {5, 5, 5};
  const float ground = mover_->ProbeGround(actor, normal, callbacks_);
  // The lowest spheres rest on the floor.
  EXPECT_NEAR(ground, kRadius, 0.01f);
  EXPECT_EQ(normal[2], 1.0f);
  EXPECT_EQ(normal[0], 0.0f);

  EXPECT_GT(mover_->GetClearance(actor, callbacks_), 10.0f);
  EXPECT_LE(mover_->GetClearance(actor, callbacks_), kCeiling);
  R3xPlacement high = PlacementOf(actor);
  high.z = kCeiling + 50.0f;
  r3xSetActorPlacement(world_, actor, &high);
  EXPECT_EQ(mover_->GetClearance(actor, callbacks_), kCeiling);
}

// Only a stop on an edge polygon's face takes the polygon's normal. Straight down onto the top
// edge of the wall y = 0 (an edge wall 100 high), the centre spheres (0.8 above the corners, 0.5
// from the wall) come to rest on the edge, which leaves the normal pointing up; onto the sloped
// triangle (z = (x - 250) / 5), the corners uphill (x = 272.8) rest on its face.
TEST_F(MoverTest, ProbeGroundTakesTheNormalOfAFaceOnly) {
  const float slope = 1.0f / std::sqrt(1.0f + 0.04f);
  const struct {
    float x;
    float y;
    float z;
    float ground;
    float normal[3];
  } cases[] = {
      {100, 0.5f, 105, 100.0f - 0.8f + std::sqrt(kRadius * kRadius - 0.25f), {0, 0, 1}},
      {270, 290, 20, 4.56f + kRadius / slope, {-0.2f * slope, 0, slope}},
  };
  for (const auto& c : cases) {
    R3xActor* actor = MakeTank(c.x, c.y, c.z);
    float normal[3] = {5, 5, 5};
    EXPECT_NEAR(mover_->ProbeGround(actor, normal, callbacks_), c.ground, 1e-3f) << c.x;
    for (int i = 0; i < 3; ++i) {
      EXPECT_NEAR(normal[i], c.normal[i], 1e-4f) << c.x << " " << i;
    }
  }
}

TEST_F(MoverTest, TinyTurnsAndOpenGroundNeedNoSweep) {
  R3xActor* actor = MakeTank(100, 100, kRadius + 0.01f);
  R3xPlacement turned = PlacementOf(actor);
  turned.heading += 0.0005f;
  float fraction = -1.0f;
  float stop[3];
  mover_->lastResult = 12345;
  EXPECT_EQ(mover_->MoveWithCollision(actor, &turned, &fraction, stop, callbacks_), nullptr);
  EXPECT_EQ(fraction, 1.0f);
  EXPECT_EQ(PlacementOf(actor).heading, 0.0f);

  R3xPlacement ahead = PlacementOf(actor);
  ahead.x += 3.0f;
  ahead.heading = 10.0f;
  EXPECT_EQ(mover_->MoveWithCollision(actor, &ahead, &fraction, stop, callbacks_), nullptr);
  EXPECT_EQ(fraction, 1.0f);
  EXPECT_FLOAT_EQ(PlacementOf(actor).x, 103.0f);
  EXPECT_FLOAT_EQ(PlacementOf(actor).heading, 10.0f);
  EXPECT_EQ(mover_->lastResult, 12345);
}

// Turning in place with its centre spheres (which do not move) touching the post at (300, 100):
// the corners swing clear of it, and the spheres that stay put decide nothing, so the turn is
// made.
TEST_F(MoverTest, SpheresThatDoNotMoveDoNotStopATurnInPlace) {
  R3xActor* actor = MakeTank(300.5f, 100, kRadius + 0.5f);
  R3xPlacement turned = PlacementOf(actor);
  turned.heading = 10.0f;
  float fraction = -1.0f;
  float stop[3];
  EXPECT_EQ(mover_->MoveWithCollision(actor, &turned, &fraction, stop, callbacks_), nullptr);
  EXPECT_EQ(fraction, 1.0f);
  EXPECT_FLOAT_EQ(PlacementOf(actor).heading, 10.0f);
}

// Turned a little, the two rear spheres reach the wall x = 0 at different times: the one with
// the smaller share of its own move decides fraction, stop and contact, and the tank stays put.
TEST_F(MoverTest, TheEarlierOfTwoStoppedSpheresWins) {
  R3xActor* actor = MakeTank(10, 100, kRadius + 0.5f, 10.0f);
  const R3xSphereList* list = reinterpret_cast<const R3xSphereList*>(r3xGetActorVolume(actor));
  float rear[2][3];
  ASSERT_EQ(r3xGetSphereWorldPosition(list, 2, rear[0]), 0);
  ASSERT_EQ(r3xGetSphereWorldPosition(list, 3, rear[1]), 0);
  const int first = rear[0][0] < rear[1][0] ? 0 : 1;
  R3xPlacement toward = PlacementOf(actor);
  toward.x = 3.3f;
  float fraction = -1.0f;
  float stop[3];
  const R3xContact* contact =
      mover_->MoveWithCollision(actor, &toward, &fraction, stop, callbacks_);
  ASSERT_NE(contact, nullptr);
  EXPECT_NEAR(stop[0], kRadius, 0.01f);
  // The stop lies on the first sphere's path (it moves along x only).
  EXPECT_NEAR(stop[1], rear[first][1], 1e-3f);
  const float moved = 10.0f - 3.3f;
  EXPECT_NEAR(fraction, (rear[first][0] - stop[0]) / moved, 1e-3f);
  EXPECT_FLOAT_EQ(PlacementOf(actor).x, 10.0f);
}

TEST_F(MoverTest, NearbyTanksAreSweptAgainstAsAList) {
  R3xActor* actor = MakeTank(100, 100, kRadius + 0.5f);
  R3xActor* other = MakeTank(110, 100, kRadius + 0.5f);
  static MoverNeighbour tanks[2];
  tanks[0] = {{110, 100, kRadius + 0.5f}, other, nullptr};
  tanks[1] = {{100, 100, kRadius + 0.5f}, actor, actor};
  mover_->neighbourSource = [] { return MoverNeighbours{{}, {}, tanks}; };
  MoverCallbacks volumes = callbacks_;
  volumes.filter = [](R3xActor*, void*) -> std::uint32_t { return R3X_SWEEP_VOLUME; };
  R3xPlacement toward = PlacementOf(actor);
  toward.x = 106.0f;
  float fraction = -1.0f;
  float stop[3];
  const R3xContact* contact = mover_->MoveWithCollision(actor, &toward, &fraction, stop, volumes);
  ASSERT_NE(contact, nullptr);
  EXPECT_EQ(contact->target, other);
  EXPECT_LT(fraction, 1.0f);
  EXPECT_FLOAT_EQ(PlacementOf(actor).x, 100.0f);
}

TEST_F(MoverTest, SweepDoesNotReturnAStaleStopContact) {
  R3xVolume* sphere = reinterpret_cast<R3xVolume*>(r3xCreateSphereVolume(1.0f));
  R3xPlacement start{100, 100, 10, 0, 0, 0, -1};
  float wall[3] = {100, 500, 10};
  EXPECT_NE(mover_->Sweep(sphere, &start, wall, callbacks_), nullptr);
  EXPECT_LT(wall[1], 400.0f);
  R3xPlacement again{100, 100, 10, 0, 0, 0, -1};
  float open[3] = {150, 150, 10};
  EXPECT_EQ(mover_->Sweep(sphere, &again, open, callbacks_), nullptr);
  EXPECT_FLOAT_EQ(open[0], 150.0f);
  r3xFreeVolumeRecord(sphere);
}

TEST_F(MoverTest, FollowTerrainOnFlatGroundAndAStep) {
  float normal[3];
  R3xActor* flat = MakeTank(100, 100, 3.0f);
  EXPECT_NEAR(mover_->FollowTerrain(flat, normal), kRadius, 1e-4f);
  EXPECT_EQ(normal[2], 1.0f);
  // The front corners reach the post's cell (x > 288), raised to 20, less than 2 above them;
  // the centre stands on the floor.
  R3xActor* step = MakeTank(286, 104, 19.0f);
  EXPECT_EQ(mover_->FollowTerrain(step, normal), 0.0f);
  EXPECT_NEAR(std::hypot(normal[0], normal[1], normal[2]), 1.0f, 1e-3f);
  EXPECT_GE(normal[2], 0.5f - 1e-4f);
  // Leaning away from the step (toward -x).
  EXPECT_LT(normal[0], 0.0f);
  // Beyond the wall, where the map is solid: no usable ground.
  R3xActor* edge = MakeTank(-5.0f, 100, 3.0f);
  EXPECT_EQ(mover_->FollowTerrain(edge, normal), -1.0f);
  EXPECT_EQ(normal[2], 1.0f);
}

TEST_F(MoverTest, FollowTerrainOnRampsAndADoubleSlope) {
  // Two columns of ramps along x over rows of ramps along y.
  mkdata::AmpMap ramps;
  ramps.width = 4;
  ramps.height = 4;
  ramps.scale = 7;
  ramps.top[0] = 100.0f;
  ramps.base[0] = 10.0f;
  ramps.xSlope[1] = -4.0f;
  ramps.ySlope[1] = 4.0f;
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      const std::int8_t kind = row < 2 ? 1 : 3;
      ramps.cells.push_back(mkdata::AmpCell{1, {{kind, 0, 0, 1}}});
    }
  }
  CArenaMap map(mkdata::EncodeArenaMap(ramps));
  gArenaMap = &map;
  float normal[3];
  // Inside one ramp cell (x from 16 down to 0, y from -32 to -16): the slope's normal.
  R3xActor* onRamp = MakeTank(8, -24, 8.0f);
  EXPECT_EQ(mover_->FollowTerrain(onRamp, normal), 0.0f);
  EXPECT_NEAR(normal[0], -0.2425f, 1e-3f);
  EXPECT_NEAR(normal[2], 0.9701f, 1e-3f);
  // Across the row border: corners on the y ramp rise above the x ramp's plane.
  R3xActor* across = MakeTank(8, -1, 8.0f, 128.0f);
  const float result = mover_->FollowTerrain(across, normal);
  EXPECT_EQ(result, 0.0f);
  EXPECT_GE(normal[2], 0.5f - 1e-4f);
  gArenaMap = map_.get();
}

// A list whose corners coincide gives no usable ground rather than dividing by zero.
TEST_F(MoverTest, FollowTerrainWithADegenerateSphereList) {
  const float centres[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  const float radii[4] = {1, 1, 1, 1};
  R3xSphereListDef* definition =
      r3xCreateSphereListDef(world_, "flat_list", 1.0f, 4, centres, radii, 1.0f);
  ASSERT_NE(definition, nullptr);
  R3xActor* actor =
      MakeTank(100, 100, 3.0f, 0.0f, reinterpret_cast<R3xVolume*>(definition->defaultInstance));
  float normal[3];
  EXPECT_EQ(mover_->FollowTerrain(actor, normal), -1.0f);
  EXPECT_EQ(normal[2], 1.0f);
}

}  // namespace
