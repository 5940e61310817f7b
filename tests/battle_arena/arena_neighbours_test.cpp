// The flags and mines among a tank's neighbours: the mover is handed them beside the tanks, and
// the local tank that touches an enemy's mine reports it once.
#include "battle/arena/arena_neighbours.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <vector>

#include "battle/arena/flag.h"
#include "battle/arena/mine.h"
#include "battle/arena/shot_tank_orders.h"
#include "battle/arena/tank.h"
#include "battle/arena/tank_list.h"
#include "battle/core/frame_time.h"
#include "common/messages.h"
#include "tests/battle_arena/tank_arena.h"
#include "tests/support/word_payload.h"

namespace {

using tank_test::TankArena;

constexpr std::uint32_t kMineId = KIND_MINE_A | 0x0031;
constexpr std::uint32_t kLocalId = KIND_TANK | 8;
constexpr std::uint32_t kFlagId = KIND_FLAG | 1;

CMine* Lay(std::uint32_t team, float x, float y, std::uint32_t id = kMineId) {
  const std::array<std::uint32_t, 7> words{static_cast<std::uint32_t>(CMine::kProximity),
                                           id,
                                           team,
                                           KIND_TANK | 9,
                                           std::bit_cast<std::uint32_t>(x),
                                           std::bit_cast<std::uint32_t>(y),
                                           std::bit_cast<std::uint32_t>(0.5f)};
  std::vector<std::uint8_t> bytes(sizeof words);
  std::memcpy(bytes.data(), words.data(), sizeof words);
  CreateMine(bytes);
  return gMineList.empty() ? nullptr : gMineList.back().get();
}

class ArenaNeighboursTest : public TankArena {
 protected:
  void SetUp() override {
    TankArena::SetUp();
    mover_->neighbourSource = CollectArenaNeighbours;
  }
  void TearDown() override {
    local_.reset();
    DeleteAllFlags();
    TankArena::TearDown();
  }
  CTank* MakeLocal(float x, float y) {
    local_ = std::make_unique<CTank>(
        *ParseTankCreateRecord(tank_test::CreatePayload({.id = kLocalId, .x = x, .y = y})), 1);
    return local_->constructed == 1 ? local_.get() : nullptr;
  }
  // The mine-touch reports waiting for the server: {mine, tank, 1, model code} each.
  std::vector<std::array<std::uint32_t, 4>> Touches() {
    std::vector<std::array<std::uint32_t, 4>> touches;
    std::uint32_t length = 0;
    while (MailboxMessagePtr message = network_.Receive(length)) {
      if (message->type == MSG_MINE_DETONATE && length == 16) {
        std::array<std::uint32_t, 4> words{};
        std::memcpy(words.data(), message->Payload(), sizeof words);
        touches.push_back(words);
      }
    }
    return touches;
  }
  // The hit answer for a touch of the mine by the tank.
  static std::int32_t Touch(CTank& tank, CMine& mine) {
    R3xContact contact{};
    contact.phase = R3X_CONTACT_TOUCH;
    contact.contactClass = R3X_CONTACT_OBJECT;
    contact.target = mine.Actor();
    std::int32_t pass = -1;
    std::int32_t report = -1;
    float backoff = 0.0f;
    TankSweepHit(&contact, static_cast<CMailbox*>(&tank), &pass, &report, &backoff);
    return pass;
  }

  CMailbox network_{kNetworkAddress};
  std::unique_ptr<CTank> local_;
};

TEST_F(ArenaNeighboursTest, TheMoversNeighboursAreTheFlagsMinesAndTanks) {
  CMine* mine = Lay(1, 120.0f, 100.0f);
  ASSERT_NE(mine, nullptr);
  ASSERT_NE(mine->Actor(), nullptr);
  CTank* tank = Create({.id = KIND_TANK | 2, .x = 150, .y = 150});
  ASSERT_NE(tank, nullptr);
  CreateFlag(test_support::WordPayload({kFlagId, 1, std::bit_cast<std::uint32_t>(140.0f),
                                        std::bit_cast<std::uint32_t>(120.0f),
                                        std::bit_cast<std::uint32_t>(5.0f), 0}));
  const CFlag* flag = FindFlag(kFlagId);
  ASSERT_NE(flag, nullptr);
  ASSERT_NE(flag->Actor(), nullptr);
  const MoverNeighbours neighbours = CollectArenaNeighbours();
  ASSERT_EQ(neighbours.flags.size(), 1u);
  EXPECT_EQ(neighbours.flags[0].actor, flag->Actor());
  EXPECT_EQ(neighbours.flags[0].position[0], flag->Pose().x);
  EXPECT_EQ(neighbours.flags[0].position[1], flag->Pose().y);
  EXPECT_EQ(neighbours.flags[0].position[2], flag->Pose().z);
  EXPECT_EQ(neighbours.flags[0].mover, nullptr);
  ASSERT_EQ(neighbours.mines.size(), 1u);
  EXPECT_EQ(neighbours.mines[0].actor, mine->Actor());
  EXPECT_EQ(neighbours.mines[0].position[0], mine->Pose().x);
  EXPECT_EQ(neighbours.mines[0].position[1], mine->Pose().y);
  EXPECT_EQ(neighbours.mines[0].position[2], mine->Pose().z);
  EXPECT_EQ(neighbours.mines[0].mover, nullptr);
  ASSERT_EQ(neighbours.tanks.size(), 1u);
  EXPECT_EQ(neighbours.tanks[0].actor, tank->smallCollisionActor);
}

// Only the local tank, alive, reports an enemy's mine it touches, and only once; the tank passes
// over the mine either way.
TEST_F(ArenaNeighboursTest, TheLocalTankReportsAnEnemysMineItTouchesOnce) {
  CMine* mine = Lay(1, 120.0f, 100.0f);
  ASSERT_NE(mine, nullptr);
  CTank* remote = Create({.id = KIND_TANK | 2, .team = 0, .x = 150, .y = 150});
  ASSERT_NE(remote, nullptr);
  CTank* local = MakeLocal(110.0f, 100.0f);
  ASSERT_NE(local, nullptr);
  // The hull lifted off the floor: resting, its origin lies on the floor's plane, where the arena
  // map's line test starts in solid ground.
  local->position[2] += 2.0f;
  local->PlaceParts();

  EXPECT_EQ(Touch(*remote, *mine), 1);
  EXPECT_TRUE(Touches().empty());
  local->damageLevel = -1;
  EXPECT_EQ(Touch(*local, *mine), 1);
  EXPECT_TRUE(Touches().empty());
  local->team = 1;
  local->damageLevel = 0;
  EXPECT_EQ(Touch(*local, *mine), 1);
  EXPECT_TRUE(Touches().empty());
  EXPECT_FALSE(mine->IsTriggered());

  local->team = 0;
  EXPECT_EQ(Touch(*local, *mine), 1);
  const auto touches = Touches();
  ASSERT_EQ(touches.size(), 1u);
  EXPECT_EQ(touches[0][0], kMineId);
  EXPECT_EQ(touches[0][1], kLocalId);
  EXPECT_EQ(touches[0][2], 1u);
  EXPECT_EQ(touches[0][3], static_cast<std::uint32_t>(mine->ModelCode()));
  EXPECT_TRUE(mine->IsTriggered());
  EXPECT_EQ(Touch(*local, *mine), 1);
  EXPECT_TRUE(Touches().empty());
}

// The server names the objects: a mine bearing a tank's address is still no tank, and a tank
// bearing a mine's is no mine. Shots and tanks pass them by their kind without taking one for the
// other.
TEST_F(ArenaNeighboursTest, AnAddressOfAnotherKindMakesNoTankOrMine) {
  CMine* mine = Lay(1, 120.0f, 100.0f, KIND_TANK | 0x31);
  ASSERT_NE(mine, nullptr);
  ASSERT_NE(mine->Actor(), nullptr);
  CTank* posing = Create({.id = kMineId, .x = 150, .y = 150});
  CTank* local = MakeLocal(110.0f, 100.0f);
  ASSERT_NE(local, nullptr);
  local->position[2] += 2.0f;
  local->PlaceParts();
  EXPECT_EQ(CTank::FromActor(mine->Actor()), nullptr);
  EXPECT_FALSE(IsTanksSmallBody(mine->Actor()));
  EXPECT_EQ(TankSweepFilter(mine->Actor(), static_cast<CMailbox*>(local)), R3X_SWEEP_IGNORE);
  R3xContact contact{};
  contact.phase = R3X_CONTACT_TOUCH;
  contact.contactClass = R3X_CONTACT_OBJECT;
  contact.target = mine->Actor();
  std::int32_t pass = -1;
  std::int32_t report = -1;
  float backoff = 0.0f;
  TankSweepHit(&contact, static_cast<CMailbox*>(local), &pass, &report, &backoff);
  EXPECT_EQ(pass, 0);
  if (posing != nullptr) {
    EXPECT_EQ(Touch(*local, *mine), 0);
    contact.target = posing->smallCollisionActor;
    TankSweepHit(&contact, static_cast<CMailbox*>(local), &pass, &report, &backoff);
    EXPECT_EQ(pass, 1);
  }
  EXPECT_TRUE(Touches().empty());
}

}  // namespace
