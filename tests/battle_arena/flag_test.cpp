#include "battle/arena/flag.h"

#include <gtest/gtest.h>

#include "arena_object_fixture.h"
#include "base/byte_reader.h"
#include "common/messages.h"
#include "tests/support/word_payload.h"

namespace {

using test_support::WordPayload;

constexpr std::uint32_t kFlagId = KIND_FLAG | 3;
constexpr std::uint32_t kCarrierId = KIND_TANK | 7;

std::uint32_t Bits(float value) { return std::bit_cast<std::uint32_t>(value); }

class FlagTest : public ArenaObjectTest {
 protected:
  void SetUp() override {
    ArenaObjectTest::SetUp();
    MakeModel("FLAG_DEF", 4);
    carrier_ = std::make_unique<CMailbox>(kCarrierId);
  }
  void TearDown() override {
    DeleteAllFlags();
    carrier_.reset();
    ArenaObjectTest::TearDown();
  }
  static std::vector<std::uint8_t> Record(std::uint32_t team, float x, float y, float z,
                                          std::uint32_t carrier = 0) {
    return WordPayload({kFlagId, team, Bits(x), Bits(y), Bits(z), carrier});
  }
  CFlag* MakeFlag(float x = 100.0f, float y = 120.0f, float z = 30.0f) {
    CreateFlag(Record(1, x, y, z));
    return FindFlag(kFlagId);
  }
  // Takes the flag for the carrier, as the server does.
  void Take(CFlag* flag) {
    Send(kFlagId, MSG_FLAG_TAKEN, WordPayload({kCarrierId}));
    flag->Update();
  }

  std::unique_ptr<CMailbox> carrier_;
};

TEST_F(FlagTest, TheTeamPicksTheColourAndOnlyTeams0To15MakeAFlag) {
  struct Case {
    std::uint32_t team;
    bool listed;
    std::int32_t action;
  };
  for (const Case& c : {Case{0, true, 0}, Case{5, true, 1}, Case{15, true, 3}, Case{16, false, 0},
                        Case{0xFFFFFFFF, false, 0}}) {
    CreateFlag(Record(c.team, 100.0f, 100.0f, 10.0f));
    const CFlag* flag = FindFlag(kFlagId);
    ASSERT_EQ(flag != nullptr, c.listed) << c.team;
    if (flag != nullptr) {
      EXPECT_EQ(flag->Action(), c.action);
      EXPECT_EQ(flag->Actor()->currentActionIndex, c.action);
    }
    DeleteAllFlags();
  }
}

TEST_F(FlagTest, AShortRecordOrAMissingModelMakesNoFlag) {
  auto shortRecord = Record(1, 100.0f, 100.0f, 10.0f);
  shortRecord.resize(20);
  CreateFlag(shortRecord);
  EXPECT_EQ(FindFlag(kFlagId), nullptr);

  r3xRemoveTag(world_, "FLAG_DEF");
  CreateFlag(Record(1, 100.0f, 100.0f, 10.0f));
  EXPECT_EQ(gFlagList, nullptr);
}

TEST_F(FlagTest, ARecordWithACarrierTellsItTheFlagsIdYetTheFlagStartsFree) {
  CreateFlag(Record(2, 100.0f, 120.0f, 30.0f, kCarrierId));
  const CFlag* flag = FindFlag(kFlagId);
  ASSERT_NE(flag, nullptr);
  EXPECT_TRUE(flag->IsFree());
  const auto told = Drain(*carrier_);
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0].type, MSG_FLAG_TAKEN);
  EXPECT_EQ(told[0].payload, WordPayload({kFlagId}));
}

TEST_F(FlagTest, ADroppedFlagStands4AboveTheGroundFromTheNextFrame) {
  CFlag* flag = MakeFlag(100.0f, 120.0f, 30.0f);
  ASSERT_NE(flag, nullptr);
  EXPECT_EQ(flag->Pose().z, 30.0f);
  Step(16);
  UpdateAllFlags();
  EXPECT_EQ(flag->Pose().z, 4.0f);  // the demo's floor is at 0
  EXPECT_EQ(PlacementOf(flag->Actor()).z, 4.0f);

  // Put down elsewhere by the server: there, one frame later.
  Send(kFlagId, MSG_CREATE_FLAG, FloatPayload({150.0f, 160.0f, 50.0f}));
  Step(16);
  UpdateAllFlags();
  EXPECT_EQ(flag->Pose().z, 50.0f);
  Step(16);
  UpdateAllFlags();
  EXPECT_EQ(flag->Pose().x, 150.0f);
  EXPECT_EQ(flag->Pose().z, 4.0f);
}

TEST_F(FlagTest, ACarriedFlagHasNoVolumeAndRidesAboveItsCarrier) {
  CFlag* flag = MakeFlag();
  ASSERT_NE(flag, nullptr);
  Step(16);
  flag->Update();
  Drain(*carrier_);
  Take(flag);
  EXPECT_FALSE(flag->IsFree());
  EXPECT_EQ(r3xGetActorVolume(flag->Actor())->type, R3X_TYPE_NULL);
  EXPECT_EQ(Drain(*carrier_).size(), 1u);

  flag->PlaceAt({200.0f, 210.0f, 1.0f, 64.0f, 0.0f, 0.0f, 0});
  EXPECT_EQ(flag->Pose().x, 200.0f);
  EXPECT_EQ(flag->Pose().z, 4.0f);
  EXPECT_EQ(flag->Pose().heading, 64.0f);
  EXPECT_EQ(PlacementOf(flag->Actor()).y, 210.0f);

  // Under the ceiling (112) the flag comes down in steps of 0.2 into the world.
  flag->PlaceAt({200.0f, 210.0f, 109.9f, 0.0f, 0.0f, 0.0f, 0});
  EXPECT_LT(flag->Pose().z, kCeiling);
  EXPECT_GT(flag->Pose().z, kCeiling - 0.2f);
}

TEST_F(FlagTest, ACarrierOutsideTheWorldLeavesTheFlagWhereItWasPlacedLast) {
  CFlag* flag = MakeFlag();
  ASSERT_NE(flag, nullptr);
  Take(flag);
  flag->PlaceAt({200.0f, 210.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0});
  flag->PlaceAt({200.0f, 210.0f, -500.0f, 0.0f, 0.0f, 0.0f, 0});
  EXPECT_EQ(flag->Pose().z, 4.0f);
  EXPECT_EQ(PlacementOf(flag->Actor()).z, 4.0f);
}

TEST_F(FlagTest, ACarrierIdNamingTheFlagItselfEndsTheUpdate) {
  CFlag* flag = MakeFlag();
  ASSERT_NE(flag, nullptr);
  Send(kFlagId, MSG_FLAG_TAKEN, WordPayload({kFlagId}));
  flag->Update();  // handles the server's message and leaves its own post for the next frame
  EXPECT_FALSE(flag->IsFree());
  EXPECT_EQ(flag->Count(), 1u);
  flag->Update();
  EXPECT_EQ(flag->Count(), 1u);
}

TEST_F(FlagTest, AFreeFlagIgnoresItsCarriersPose) {
  CFlag* flag = MakeFlag();
  ASSERT_NE(flag, nullptr);
  flag->PlaceAt({200.0f, 210.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0});
  EXPECT_EQ(flag->Pose().x, 100.0f);
}

TEST_F(FlagTest, ADropReportsThePointAndRestoresTheVolumeAfterThePickUpDelay) {
  CFlag* flag = MakeFlag();
  ASSERT_NE(flag, nullptr);
  Take(flag);
  flag->PlaceAt({200.0f, 210.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0});
  const std::uint32_t dropTime = FrameTime();
  flag->Drop(1);
  EXPECT_TRUE(flag->IsFree());
  EXPECT_EQ(flag->PickUpTimer(), dropTime + CFlag::kPickUpDelay);
  const auto reports = Drain(*network_);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].type, MSG_FLAG_DROPPED);
  EXPECT_EQ(reports[0].payload, FloatPayload({200.0f, 210.0f, 4.0f}));

  // The fall gives the volume back; the delay's end does so once more and clears the timer.
  Step(16);
  flag->Update();
  EXPECT_NE(r3xGetActorVolume(flag->Actor())->type, R3X_TYPE_NULL);
  SetFrameTime(dropTime + CFlag::kPickUpDelay);
  flag->Update();
  EXPECT_EQ(flag->PickUpTimer(), dropTime + CFlag::kPickUpDelay);
  Step(1);
  flag->Update();
  EXPECT_EQ(flag->PickUpTimer(), 0u);
}

TEST_F(FlagTest, TheWorldStopDeletesEveryFlag) {
  CreateFlag(Record(1, 100.0f, 100.0f, 10.0f));
  CreateFlag(WordPayload({kFlagId + 1, 2, Bits(120.0f), Bits(100.0f), Bits(10.0f), 0}));
  ASSERT_NE(FindFlag(kFlagId + 1), nullptr);
  DeleteAllFlags();
  EXPECT_EQ(gFlagList, nullptr);
  EXPECT_EQ(FindFlag(kFlagId), nullptr);
}

}  // namespace
