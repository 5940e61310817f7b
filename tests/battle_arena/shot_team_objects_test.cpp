// Shots that hit a defense object or a recon gun report the hit to the server, when they report.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <vector>

#include "battle/arena/bullet.h"
#include "battle/arena/defense_tower.h"
#include "battle/arena/missile.h"
#include "battle/arena/recon_gun.h"
#include "battle/core/frame_time.h"
#include "common/messages.h"
#include "tests/battle_arena/tank_arena.h"
#include "tests/support/word_payload.h"

namespace {

using tank_test::TankArena;
using test_support::WordPayload;

constexpr std::uint32_t kTower = KIND_DEFENSE | 7;
constexpr std::uint32_t kGun = KIND_RECON_GUN | 4;
constexpr std::uint32_t kShooter = KIND_TANK | 30;

std::uint32_t Bits(float value) { return std::bit_cast<std::uint32_t>(value); }

class ShotTeamObjectsTest : public TankArena {
 protected:
  void TearDown() override {
    DeleteAllTowers();
    DeleteAllReconGuns();
    DeleteAllMissiles();
    TankArena::TearDown();
  }
  // A pose 6 above the object's actor, pointing straight down.
  static R3xPlacement Above(const R3xActor* actor) {
    R3xPlacement at{};
    r3xGetActorPlacement(actor, &at);
    return {at.x, at.y, at.z + 6.0f, 0.0f, 384.0f, 0.0f, 0};
  }
  template <typename Shot>
  void FlyOut(Shot& shot) {
    for (int i = 0; i < 200 && !shot.IsFinished(); ++i) {
      clock_.Advance(33);
      gFrameTime = timeGetTime();
      shot.Update();
    }
    ASSERT_TRUE(shot.IsFinished());
  }
  // The reports of the type waiting for the server: {object, damage} each.
  std::vector<std::vector<std::uint32_t>> Reports(std::uint32_t type) {
    std::vector<std::vector<std::uint32_t>> reports;
    std::uint32_t length = 0;
    while (MailboxMessagePtr message = network_.Receive(length)) {
      if (message->type == type) {
        std::vector<std::uint32_t> words(length / 4);
        std::memcpy(words.data(), message->Payload(), words.size() * 4);
        reports.push_back(words);
      }
    }
    return reports;
  }

  CMailbox network_{kNetworkAddress};
};

TEST_F(ShotTeamObjectsTest, ABulletReportsItsHitOnATowerOrAGunOnlyWhenItReports) {
  CreateTower(WordPayload({kTower, 1, 0, 0, Bits(150.0f), Bits(150.0f)}));
  CDefenseTower* tower = FindTower(kTower);
  ASSERT_NE(tower, nullptr);
  ASSERT_NE(tower->Actor(), nullptr);
  CreateReconGun(WordPayload({Bits(100.0f), Bits(150.0f), Bits(0.0f), Bits(50.0f), kGun, 1}));
  CReconGun* gun = FindReconGun(kGun);
  ASSERT_NE(gun, nullptr);
  ASSERT_NE(gun->Actor(), nullptr);
  struct Case {
    const R3xActor* actor;
    std::uint32_t type;
    std::uint32_t object;
  };
  for (const Case& c : {Case{tower->Actor(), MSG_DEFENSE_HIT, kTower},
                        Case{gun->Actor(), MSG_RECON_GUN_HIT, kGun}}) {
    for (const std::uint32_t report : {1u, 0u}) {
      CBullet shot(10, Above(c.actor), kShooter, 33, 100.0f, report);
      FlyOut(shot);
      const auto reports = Reports(c.type);
      if (report == 0) {
        EXPECT_TRUE(reports.empty());
        continue;
      }
      ASSERT_EQ(reports.size(), 1u) << c.object;
      EXPECT_EQ(reports[0], (std::vector<std::uint32_t>{c.object, 33u}));
    }
  }
}

TEST_F(ShotTeamObjectsTest, AMissileReportsItsHitOnATowerOrAGun) {
  CreateTower(WordPayload({kTower, 1, 0, 0, Bits(150.0f), Bits(150.0f)}));
  CDefenseTower* tower = FindTower(kTower);
  ASSERT_NE(tower, nullptr);
  CreateReconGun(WordPayload({Bits(100.0f), Bits(150.0f), Bits(0.0f), Bits(50.0f), kGun, 1}));
  CReconGun* gun = FindReconGun(kGun);
  ASSERT_NE(gun, nullptr);
  struct Case {
    const R3xActor* actor;
    std::uint32_t type;
    std::uint32_t object;
  };
  for (const Case& c : {Case{tower->Actor(), MSG_DEFENSE_HIT, kTower},
                        Case{gun->Actor(), MSG_RECON_GUN_HIT, kGun}}) {
    // A deactivator: no blast, no damage of its own.
    CMissile missile(Above(c.actor), 2, kShooter, 1);
    FlyOut(missile);
    const auto reports = Reports(c.type);
    ASSERT_EQ(reports.size(), 1u) << c.object;
    EXPECT_EQ(reports[0], (std::vector<std::uint32_t>{c.object, 0u}));
  }
}

}  // namespace
