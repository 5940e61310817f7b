#include "battle/arena/mine.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstring>
#include <vector>

#include "battle/arena/arena_geometry.h"
#include "battle/arena/arena_sound.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/explosion.h"
#include "battle/arena/own_tank.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "battle/core/global_params.h"
#include "battle/core/log.h"
#include "battle/core/sound_code.h"
#include "common/messages.h"
#include "tests/battle_arena/demo_arena_fixture.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_files.h"

namespace {

std::vector<std::uint32_t> gSoundCodes;

int RecordSound(std::uint32_t, std::uint32_t code, float, float) {
  gSoundCodes.push_back(code);
  return 1;
}

constexpr std::uint32_t kMineId = KIND_MINE_A | 0x0042;
constexpr std::uint32_t kOwnTank = KIND_TANK | 5;
constexpr std::uint32_t kOwnerWord = 0x00090077;

std::vector<std::uint8_t> RecordBytes(std::uint32_t kind, std::uint32_t team, float x, float y,
                                      float z) {
  const std::array<std::uint32_t, 7> words{kind,
                                           kMineId,
                                           team,
                                           kOwnerWord,
                                           std::bit_cast<std::uint32_t>(x),
                                           std::bit_cast<std::uint32_t>(y),
                                           std::bit_cast<std::uint32_t>(z)};
  std::vector<std::uint8_t> bytes(sizeof words);
  std::memcpy(bytes.data(), words.data(), sizeof words);
  return bytes;
}

// The words of every message waiting in the mailbox.
std::vector<std::vector<std::uint32_t>> Drain(CMailbox& mailbox, std::uint32_t type) {
  std::vector<std::vector<std::uint32_t>> messages;
  std::uint32_t length = 0;
  while (MailboxMessagePtr message = mailbox.Receive(length)) {
    EXPECT_EQ(message->type, type);
    std::vector<std::uint32_t> words(length / 4);
    std::memcpy(words.data(), message->Payload(), words.size() * 4);
    messages.push_back(words);
  }
  return messages;
}

class MineTest : public DemoArenaFixture {
 protected:
  void SetUp() override {
    DemoArenaFixture::SetUp();
    gSoundCodes.clear();
    gArenaSound.playAt = RecordSound;
    gOwnTankId = kOwnTank;
    gOwnTankPlacement = {110.0f, 100.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0};
    gListenerPlacement = gOwnTankPlacement;
  }
  void TearDown() override {
    DeleteAllMines();
    DeleteAllExplosions();
    gArenaSound = {};
    gOwnTankId = 0;
    gOwnTankPlacement = {};
    gListenerPlacement = {};
    gGravity = 0.0f;
    DemoArenaFixture::TearDown();
  }

  static CMine* Lay(std::uint32_t kind, std::uint32_t team = 1, float z = 0.1f) {
    CreateMine(RecordBytes(kind, team, 100.0f, 100.0f, z));
    return gMineList.empty() ? nullptr : gMineList.back().get();
  }

  CMailbox network_{kNetworkAddress};
  CMailbox ownTank_{kOwnTank};
};

TEST_F(MineTest, KindsShowTheirModels) {
  struct Case {
    std::uint32_t kind;
    std::int32_t modelCode;
  };
  const Case cases[] = {{1, 19}, {2, 20}, {3, 21}, {7, 20}};
  for (const Case& c : cases) {
    CMine* mine = Lay(c.kind, 2);
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(mine->ModelCode(), c.modelCode) << c.kind;
    ASSERT_NE(mine->Actor(), nullptr) << c.kind;
    EXPECT_EQ(mine->Actor()->currentActionIndex, 2);
    EXPECT_EQ(mine->Address(), kMineId);
    DeleteAllMines();
  }
}

TEST_F(MineTest, AMineLaidInTheAirFallsToRestAboveTheGround) {
  gGravity = -20.0f;
  CMine* mine = Lay(2, 1, 30.0f);
  ASSERT_NE(mine, nullptr);
  float ground = -1.0f;
  ASSERT_EQ(map_->GroundHeight(&mine->Pose().x, &ground), 0);
  for (int i = 0; i < 200 && mine->IsFalling(); ++i) {
    gFrameTime += 20;
    EXPECT_EQ(mine->Update(), 0u);
  }
  EXPECT_FALSE(mine->IsFalling());
  EXPECT_EQ(mine->Pose().z, ground + 0.1f);
  EXPECT_EQ(PlacementOf(mine->Actor()).z, ground + 0.1f);
}

TEST_F(MineTest, OnlyAnEnemysTouchIsReported) {
  CMine* mine = Lay(2, 1);
  mine->ReportHit(kOwnTank, 1);
  EXPECT_FALSE(mine->IsTriggered());
  EXPECT_TRUE(Drain(network_, MSG_MINE_DETONATE).empty());
  mine->ReportHit(kOwnTank, 2);
  EXPECT_TRUE(mine->IsTriggered());
  const auto reports = Drain(network_, MSG_MINE_DETONATE);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0], (std::vector<std::uint32_t>{kMineId, kOwnTank, 1, 20}));
}

TEST_F(MineTest, TheBlastReportCarriesDamageBlasterAndModel) {
  struct Case {
    std::uint32_t kind;
    std::uint32_t damage;
    std::uint32_t modelCode;
  };
  const Case cases[] = {{1, 40, 19}, {2, 30, 20}, {3, 0, 21}};
  for (const Case& c : cases) {
    CMine* mine = Lay(c.kind);
    // The server's order may name a new owner word.
    const std::uint32_t newOwner = 0x00090123;
    mine->Post(kMineId, MSG_MINE_DETONATE, 4, &newOwner);
    EXPECT_EQ(mine->Update(), 1u);
    EXPECT_EQ(mine->OwnerWord(), newOwner);
    const auto reports = Drain(ownTank_, MSG_MINE_DETONATE);
    ASSERT_EQ(reports.size(), 1u) << c.kind;
    EXPECT_EQ(reports[0],
              (std::vector<std::uint32_t>{c.damage, KIND_MINE_A | 0x0123, 1, c.modelCode}));
    UpdateAllMines();
    EXPECT_TRUE(gMineList.empty());
  }
}

TEST_F(MineTest, ReportSoundAndExplosionHaveTheirOwnReach) {
  struct Case {
    float tankX;  // the proximity mine's blast radius is 15
    float tankZ;
    float listenerX;  // the far distance is 500
    bool report;
    bool explosion;
  };
  const Case cases[] = {
      {110.0f, 1.0f, 110.0f, true, true},
      {120.0f, 1.0f, 110.0f, false, true},
      // Within reach, but below the floor: no clear line.
      {110.0f, -5.0f, 110.0f, false, true},
      {110.0f, 1.0f, 700.0f, true, false},
  };
  for (const Case& c : cases) {
    gSoundCodes.clear();
    DeleteAllExplosions();
    gOwnTankPlacement.x = c.tankX;
    gOwnTankPlacement.z = c.tankZ;
    gListenerPlacement.x = c.listenerX;
    CMine* mine = Lay(2);
    mine->Detonate();
    EXPECT_EQ(Drain(ownTank_, MSG_MINE_DETONATE).size(), c.report ? 1u : 0u) << c.tankX;
    EXPECT_EQ(gSoundCodes, std::vector<std::uint32_t>{12 | SOUND_POSITIONAL});
    EXPECT_EQ(gExplosionList.size(), c.explosion ? 1u : 0u) << c.listenerX;
    DeleteAllMines();
  }
}

TEST_F(MineTest, ARemovalInTheSameFrameWinsOverADetonation) {
  CMine* mine = Lay(2);
  mine->Post(kMineId, MSG_MINE_REMOVE, 0, nullptr);
  mine->Post(kMineId, MSG_MINE_DETONATE, 0, nullptr);
  EXPECT_EQ(mine->Update(), 1u);
  EXPECT_TRUE(gSoundCodes.empty());
  EXPECT_TRUE(Drain(ownTank_, MSG_MINE_DETONATE).empty());
  UpdateAllMines();
  EXPECT_TRUE(gMineList.empty());
}

TEST_F(MineTest, AnOrderOfAnotherLengthKeepsTheOwnerWord) {
  CMine* mine = Lay(2);
  const std::array<std::uint32_t, 2> words{1, 2};
  mine->Post(kMineId, MSG_MINE_DETONATE, sizeof words, words.data());
  EXPECT_EQ(mine->Update(), 1u);
  EXPECT_EQ(mine->OwnerWord(), kOwnerWord);
  const auto reports = Drain(ownTank_, MSG_MINE_DETONATE);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0][1], KIND_MINE_A | 0x0077);
}

// A kind the game does not know has no blast: even the own tank on the mine hears only the bang.
TEST_F(MineTest, AMineOfAnUnknownKindBlastsNoOne) {
  gOwnTankPlacement.x = 100.0f;
  gOwnTankPlacement.z = 0.1f;  // on the mine itself
  CMine* mine = Lay(9);
  mine->Detonate();
  EXPECT_TRUE(Drain(ownTank_, MSG_MINE_DETONATE).empty());
  EXPECT_EQ(gSoundCodes.size(), 1u);
}

TEST_F(MineTest, AShortRecordIsDroppedAndLogged) {
  test_support::ScratchFolder folder("short_mine");
  const std::filesystem::path log = folder.Path() / "arena.log";
  OpenLog(log.c_str());
  std::vector<std::uint8_t> bytes = RecordBytes(2, 1, 100.0f, 100.0f, 0.1f);
  bytes.pop_back();
  CreateMine(bytes);
  CloseLog();
  EXPECT_TRUE(gMineList.empty());
  EXPECT_EQ(test_support::ReadTestFile(log), "00 short message: type 0x04004001, 27 bytes of 28\n");
}

TEST_F(MineTest, AMineWithoutItsModelStillObeysTheServer) {
  CMine mine(nullptr, std::array<std::uint32_t, 7>{2, kMineId, 1, kOwnerWord,
                                                   std::bit_cast<std::uint32_t>(100.0f),
                                                   std::bit_cast<std::uint32_t>(100.0f),
                                                   std::bit_cast<std::uint32_t>(0.1f)});
  EXPECT_EQ(mine.Actor(), nullptr);
  mine.Post(kMineId, MSG_MINE_DETONATE, 0, nullptr);
  EXPECT_EQ(mine.Update(), 1u);
  EXPECT_EQ(gSoundCodes.size(), 1u);
}

}  // namespace
