#include "battle/arena/tank.h"

#include <gtest/gtest.h>

#include <vector>

#include "battle/arena/arena_tools.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/tank_list.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "common/messages.h"
#include "tests/battle_arena/tank_arena.h"

namespace {

using tank_test::TankArena;
using tank_test::TankSpec;

constexpr std::uint32_t kIdA = KIND_TANK | 7;
constexpr std::uint32_t kIdB = KIND_TANK | 8;

std::vector<std::uint32_t> ListedIds() {
  std::vector<std::uint32_t> ids;
  for (const LinkNode* node = gTankList; node != nullptr; node = node->next) {
    ids.push_back(static_cast<CTank*>(node->object)->Address());
  }
  return ids;
}

bool Hidden(const R3xActor* actor) { return r3xIsActorHidden(actor) != 0; }

using TankListTest = TankArena;

TEST_F(TankListTest, NewTanksComeFirstAndKillTankTakesEveryMatch) {
  ASSERT_NE(Create({.id = kIdA, .x = 60}), nullptr);
  ASSERT_NE(Create({.id = kIdB, .x = 100}), nullptr);
  ASSERT_NE(Create({.id = kIdA, .x = 140}), nullptr);
  EXPECT_EQ(ListedIds(), (std::vector<std::uint32_t>{kIdA, kIdB, kIdA}));

  KillTank(KIND_TANK | 99);
  Frame();
  EXPECT_EQ(ListLength(), 3u);

  KillTank(kIdA);
  Frame();
  EXPECT_EQ(ListedIds(), std::vector<std::uint32_t>{kIdB});

  Send(kSessionAddress, 0, {});  // nothing else on the list moves
  RemoveTankFromMessage(std::vector<std::uint8_t>{8, 0, 9, 0});
  Frame();
  EXPECT_EQ(ListLength(), 0u);
}

TEST_F(TankListTest, DeleteAllTanksEmptiesTheList) {
  Create({.id = kIdA});
  Create({.id = kIdB, .x = 150});
  DeleteAllTanks();
  EXPECT_EQ(gTankList, nullptr);
}

// A record the tank cannot be built from is refused at the message, and a tank whose start lies
// outside the world is deleted rather than left off the list.
TEST_F(TankListTest, RefusedRecordsLeaveNoTank) {
  struct Case {
    const char* what;
    TankSpec spec;
  };
  const Case cases[] = {
      {"chassis 5", {.chassis = 5}},
      {"chassis far out", {.chassis = 0x80000000u}},
      {"team 4", {.team = 4}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Create(c.spec), nullptr) << c.what;
    EXPECT_EQ(ListLength(), 0u) << c.what;
  }
  EXPECT_NE(Log().find("chassis 5 (0-4), team 0 (0-3)"), std::string::npos) << Log();
  EXPECT_NE(Log().find("team 4 (0-3)"), std::string::npos) << Log();
}

// Construction stops before the tank joins the list when a definition is missing; the tank is
// deleted then, not left where nothing finds it.
TEST_F(TankListTest, ATankThatStoppedBeforeTheListIsDeleted) {
  ASSERT_EQ(r3xRemoveTag(world_, "TURRET_ACTORDEF"), 0);
  EXPECT_EQ(Create({}), nullptr);
  EXPECT_EQ(ListLength(), 0u);
}

// Outside a running world (no world or no mover yet) nothing is built.
TEST_F(TankListTest, NoTankOutsideARunningWorld) {
  R3xWorld* world = gWorld;
  gWorld = nullptr;
  EXPECT_EQ(Create({}), nullptr);
  gWorld = world;
  CMover* mover = gMover;
  gMover = nullptr;
  EXPECT_EQ(Create({}), nullptr);
  gMover = mover;
  EXPECT_EQ(ListLength(), 0u);
}

TEST_F(TankListTest, ARecordShorterThanItsFixedPartIsRefused) {
  std::vector<std::uint8_t> payload = tank_test::CreatePayload({});
  payload.resize(47);
  EXPECT_EQ(CreateTankFromMessage(payload), nullptr);
  EXPECT_EQ(ListLength(), 0u);
}

using TankTest = TankArena;

TEST_F(TankTest, CreationTakesTheRecordAndSitsOnTheGround) {
  CTank* tank = Create({.id = kIdA,
                        .chassis = 2,
                        .team = 1,
                        .x = 120,
                        .y = 80,
                        .z = 0.25f,
                        .heading = 64,
                        .name = "Ada"});
  ASSERT_NE(tank, nullptr);
  EXPECT_EQ(tank->constructed, 1u);
  EXPECT_EQ(tank->alive, 1u);
  EXPECT_EQ(tank->Address(), kIdA);
  EXPECT_EQ(tank->team, 1u);
  EXPECT_EQ(tank->chassis, 2u);
  EXPECT_STREQ(tank->name, "Ada");
  EXPECT_EQ(tank->position[0], 120.0f);
  EXPECT_EQ(tank->heading, 64.0f);
  EXPECT_EQ(tank->mass, GetGameParamFloat(PARAM_DIZURORUV_MASS + 2));
  const float zone = GetGameParamFloat(PARAM_NO_GRAVITY_ZONE_HEIGHT);
  EXPECT_GT(tank->groundHeight, 0.0f);
  EXPECT_FLOAT_EQ(tank->position[2], tank->groundHeight + zone - 0.001f);
  // A remote tank shows its body, turret and barrel, its shields down.
  EXPECT_FALSE(Hidden(tank->bodyActor));
  EXPECT_FALSE(Hidden(tank->turretActor));
  EXPECT_FALSE(Hidden(tank->barrelActor));
  EXPECT_TRUE(Hidden(tank->frontShieldActor));
  EXPECT_TRUE(Hidden(tank->smallCollisionActor));
  EXPECT_TRUE(Hidden(tank->mediumCollisionActor));
  EXPECT_EQ(r3xGetActorUserData(tank->bodyActor),
            reinterpret_cast<std::uintptr_t>(static_cast<CMailbox*>(tank)));
  EXPECT_EQ(CTank::FromActor(tank->turretActor), tank);
}

// Floating or tilted, a new tank takes its ground from the sweep down instead of the height map;
// it is never left below the ground.
TEST_F(TankTest, FloatingOrTiltedTanksProbeTheGround) {
  CTank* level = Create({.id = kIdA, .x = 60, .z = 0.5f});
  CTank* floating = Create({.id = kIdB, .x = 100, .z = 7.0f});
  CTank* tilted = Create({.id = kIdB + 1, .x = 140, .z = 0.5f, .pitch = 2.0f});
  ASSERT_NE(level, nullptr);
  ASSERT_NE(floating, nullptr);
  ASSERT_NE(tilted, nullptr);
  // The medium spheres of the light tank (radius 0.9) rest on the floor.
  EXPECT_NEAR(floating->groundHeight, 0.9f, 0.01f);
  EXPECT_NEAR(level->groundHeight, 0.9f, 0.01f);
  EXPECT_GT(tilted->groundHeight, 0.0f);
  EXPECT_EQ(floating->position[2], 7.0f);
  const float zone = GetGameParamFloat(PARAM_NO_GRAVITY_ZONE_HEIGHT);
  for (const CTank* tank : {level, floating, tilted}) {
    EXPECT_GE(tank->position[2], tank->groundHeight + zone - 0.002f);
  }
}

TEST_F(TankTest, AStealthChassisStartsCloakedAndHidden) {
  CTank* stealthy = Create({.id = kIdA, .chassis = 3});
  CTank* plain = Create({.id = kIdB, .chassis = 1, .x = 150});
  ASSERT_NE(stealthy, nullptr);
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(stealthy->stealthOn, 1u);
  EXPECT_EQ(stealthy->cloakState, 1u);
  for (const R3xActor* actor : {stealthy->bodyActor, stealthy->turretActor, stealthy->barrelActor,
                                stealthy->frontShieldActor, stealthy->turretShieldActor}) {
    EXPECT_TRUE(Hidden(actor));
  }
  EXPECT_EQ(plain->cloakState, 0u);
  EXPECT_FALSE(Hidden(plain->bodyActor));
}

TEST_F(TankTest, NamesKeepTwelveCharactersAndStayInsideThePayload) {
  std::vector<std::uint8_t> longName = tank_test::CreatePayload({.name = "ABCDEFGHIJKLMNOPQRST"});
  EXPECT_EQ(ParseTankCreateRecord(longName)->name, "ABCDEFGHIJKL");
  // No NUL: the name ends with the payload.
  std::vector<std::uint8_t> unterminated = tank_test::CreatePayload({.name = "Bo"});
  unterminated.pop_back();
  EXPECT_EQ(ParseTankCreateRecord(unterminated)->name, "Bo");
  unterminated.resize(kTankCreateRecordSize);
  EXPECT_EQ(ParseTankCreateRecord(unterminated)->name, "");
  CTank* tank = CreateTankFromMessage(longName);
  ASSERT_NE(tank, nullptr);
  EXPECT_STREQ(tank->name, "ABCDEFGHIJKL");
}

// The hull's offset from the collision body by chassis: the table's value upright, the other
// side of the body upside down (chassis 4 keeps its offset).
TEST_F(TankTest, PartsArePlacedByChassisUprightAndUpsideDown) {
  struct Case {
    std::uint32_t chassis;
    float upright;
    float upsideDown;
  };
  const Case cases[] = {
      {0, -1.4f, 0.7f}, {1, -1.35f, 0.65f}, {2, -0.8f, 0.8f}, {3, -0.9f, 1.9f}, {4, -1.2f, -1.2f},
  };
  std::uint32_t id = kIdA;
  for (const Case& c : cases) {
    CTank* tank = Create({.id = id++, .chassis = c.chassis, .x = 40.0f + 30.0f * c.chassis});
    ASSERT_NE(tank, nullptr);
    tank->PlaceParts();
    EXPECT_FLOAT_EQ(tank->hullMount.z, c.upright) << c.chassis;
    R3xPlacement body{};
    r3xGetActorPlacement(tank->bodyActor, &body);
    EXPECT_NEAR(body.z, tank->position[2] + c.upright, 1e-4f) << c.chassis;

    tank->roll = 256.0f;
    tank->position[2] = 5.0f;
    tank->SetOrientationFromAngles();
    tank->PlaceParts();
    EXPECT_NEAR(tank->hullMount.z, c.upsideDown, 1e-5f) << c.chassis;
    r3xGetActorPlacement(tank->bodyActor, &body);
    // Turned over, the body's up axis points down.
    EXPECT_NEAR(body.z, 5.0f - c.upsideDown, 1e-3f) << c.chassis;
  }
}

TEST_F(TankTest, ShieldsShowByTheirNibblesOnlyWhileTheBodyShows) {
  CTank* tank = Create({.id = kIdA});
  ASSERT_NE(tank, nullptr);
  tank->shieldBits = 0x30;
  tank->UpdateShieldVisibility();
  EXPECT_FALSE(Hidden(tank->frontShieldActor));
  EXPECT_FALSE(Hidden(tank->barrelShieldActor));
  EXPECT_TRUE(Hidden(tank->rearShieldActor));
  EXPECT_TRUE(Hidden(tank->turretShieldActor));
  tank->HideParts();
  tank->shieldBits = 0x03;
  tank->UpdateShieldVisibility();
  EXPECT_TRUE(Hidden(tank->frontShieldActor));
  EXPECT_TRUE(Hidden(tank->rearShieldActor));
  tank->ShowParts();
  EXPECT_FALSE(Hidden(tank->rearShieldActor));
  EXPECT_TRUE(Hidden(tank->frontShieldActor));
}

TEST_F(TankTest, AChassisOutsideTheTableChangesNothing) {
  CTank* tank = Create({.id = kIdA, .chassis = 1, .team = 2});
  ASSERT_NE(tank, nullptr);
  const float mass = tank->mass;
  EXPECT_EQ(tank->CreateCollisionSpheres(5), -1);
  EXPECT_EQ(tank->chassis, 1u);
  EXPECT_EQ(tank->mass, mass);
  EXPECT_EQ(tank->bodyActor->currentActionIndex, 2 + 4 * 1);
  EXPECT_EQ(tank->CreateCollisionSpheres(4), 0);
  EXPECT_EQ(tank->bodyActor->currentActionIndex, 2 + 4 * 4);
  EXPECT_EQ(tank->barrelActor->currentActionIndex, 2);
}

}  // namespace
