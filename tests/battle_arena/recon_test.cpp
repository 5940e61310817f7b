#include "battle/arena/recon.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>

#include "arena_object_fixture.h"
#include "common/messages.h"
#include "tests/support/word_payload.h"

namespace {

using test_support::WordPayload;

constexpr std::uint32_t kReconId = 0x30005;

std::uint32_t Bits(float value) { return std::bit_cast<std::uint32_t>(value); }

class ReconTest : public ArenaObjectTest {
 protected:
  void SetUp() override {
    ArenaObjectTest::SetUp();
    MakeModel("RECON_DEF", 16);
  }
  void TearDown() override {
    DeleteAllRecons();
    ArenaObjectTest::TearDown();
  }
  static std::vector<std::uint8_t> Record(std::uint32_t team, std::uint32_t deployed = 1,
                                          float z = 10.0f) {
    return WordPayload({Bits(100.0f), Bits(120.0f), Bits(z), kReconId, team, deployed});
  }
  CRecon* Make(std::uint32_t team, std::uint32_t deployed = 1) {
    CreateRecon(Record(team, deployed));
    return FindRecon(kReconId);
  }
  // The frames shown over the next updates, one every 101 ms.
  std::vector<std::int32_t> Frames(const CRecon* recon, int count) {
    std::vector<std::int32_t> frames;
    for (int i = 0; i < count; ++i) {
      Step(101);
      UpdateAllRecons();
      frames.push_back(recon->Actor()->currentActionIndex);
    }
    return frames;
  }
};

TEST_F(ReconTest, ADroneHovers28AboveItsRecordInItsTeamsFirstFrame) {
  const CRecon* recon = Make(1);
  ASSERT_NE(recon, nullptr);
  EXPECT_EQ(PlacementOf(recon->Actor()).z, 38.0f);
  EXPECT_EQ(recon->Actor()->currentActionIndex, 3);
  EXPECT_EQ(r3xGetActorVolume(recon->Actor())->type, R3X_TYPE_NULL);
}

TEST_F(ReconTest, RecordsThatMakeNoDrone) {
  auto shortRecord = Record(1);
  shortRecord.resize(20);
  CreateRecon(shortRecord);
  CreateRecon(Record(1, 1, 90.0f));  // 118 lies above the ceiling, in no region
  CreateRecon(Record(5));
  CreateRecon(Record(0xFFFFFFFF));
  EXPECT_EQ(gReconList, nullptr);
  r3xRemoveTag(world_, "RECON_DEF");
  CreateRecon(Record(1));
  EXPECT_EQ(gReconList, nullptr);
}

TEST_F(ReconTest, VisibilityAndActivity) {
  struct Case {
    std::uint32_t team;
    std::uint32_t deployed;
    bool carried;
    std::array<int, 5> visibleTo;  // teams 0 to 4
    int active;
  };
  const Case cases[] = {
      {4, 1, false, {1, 1, 1, 1, 1}, 1},
      {2, 1, false, {0, 0, 1, 0, 0}, 1},
      {2, 0, false, {0, 0, 1, 0, 0}, 0},
      {4, 1, true, {0, 0, 0, 0, 0}, 0},
  };
  for (const Case& c : cases) {
    CRecon* recon = Make(c.team, c.deployed);
    ASSERT_NE(recon, nullptr);
    recon->SetCarried(c.carried ? 1 : 0);
    for (int team = 0; team < 5; ++team) {
      EXPECT_EQ(recon->IsVisibleToTeam(team), c.visibleTo[team]) << c.team << " " << team;
    }
    EXPECT_EQ(recon->IsActive(), c.active) << c.team;
    DeleteAllRecons();
  }
}

TEST_F(ReconTest, TheTeamFramesCycleAndACaptureAlternatesWithTheNeutralOnes) {
  const CRecon* recon = Make(1);
  ASSERT_NE(recon, nullptr);
  EXPECT_EQ(Frames(recon, 4), (std::vector<std::int32_t>{4, 5, 3, 4}));

  Send(kReconId, MSG_RECON_CAPTURE, WordPayload({1, 2}));
  EXPECT_EQ(Frames(recon, 9), (std::vector<std::int32_t>{7, 8, 13, 14, 15, 7, 8, 13, 14}));
  EXPECT_EQ(recon->Team(), 2);
  EXPECT_EQ(recon->IsActive(), 0);

  // The capture stops: the current team's frames again.
  Send(kReconId, MSG_RECON_CAPTURE, WordPayload({0, 3}));
  EXPECT_EQ(Frames(recon, 4), (std::vector<std::int32_t>{7, 8, 6, 7}));
  EXPECT_EQ(recon->Team(), 2);
  EXPECT_EQ(recon->IsActive(), 1);

  Send(kReconId, MSG_RECON_CAPTURE, WordPayload({1, 0}));
  Send(kReconId, MSG_RECON_TEAM, WordPayload({3}));
  EXPECT_EQ(Frames(recon, 3), (std::vector<std::int32_t>{10, 11, 9}));
  EXPECT_EQ(recon->Capturing(), 0u);
}

TEST_F(ReconTest, TeamsOutsideTheDronesFramesAreIgnored) {
  const CRecon* recon = Make(1);
  ASSERT_NE(recon, nullptr);
  Send(kReconId, MSG_RECON_TEAM, WordPayload({9}));
  Send(kReconId, MSG_RECON_CAPTURE, WordPayload({1, 0x80000000}));
  EXPECT_EQ(Frames(recon, 3), (std::vector<std::int32_t>{4, 5, 3}));
  EXPECT_EQ(recon->Team(), 1);
  EXPECT_EQ(recon->Capturing(), 0u);
}

}  // namespace
