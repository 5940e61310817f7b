// The object-kind table drives the dispatch of creations, the frame's updates with their timing
// phases, the world start's pools and the world stop's teardown, each in the order the game
// gives them. The table's rows get recording functions here; the classes fill the real ones.
#include "battle/main/object_kinds.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "battle/main/game_session.h"
#include "common/messages.h"
#include "platform/kernel/clock.h"

namespace {

constexpr std::size_t kRows = std::size(kObjectKinds);

struct Call {
  ObjectKind kind;
  const char* what;
  std::vector<std::uint8_t> payload;
  bool operator==(const Call&) const = default;
};

std::vector<Call> gCalls;
platform::VirtualClock* gClock = nullptr;

// Row I's functions record themselves; each update takes 1 << I milliseconds of the clock.
template <std::size_t I>
void Update(CGameSession&) {
  gCalls.push_back({kObjectKinds[I].kind, "update", {}});
  gClock->Advance(1u << I);
}
template <std::size_t I>
void Create(CGameSession&, std::span<const std::uint8_t> payload) {
  gCalls.push_back({kObjectKinds[I].kind, "create", {payload.begin(), payload.end()}});
}
template <std::size_t I>
void Remove(CGameSession&, std::span<const std::uint8_t> payload) {
  gCalls.push_back({kObjectKinds[I].kind, "remove", {payload.begin(), payload.end()}});
}
template <std::size_t I>
void MakePool(CGameSession&) {
  gCalls.push_back({kObjectKinds[I].kind, "pool", {}});
}
template <std::size_t I>
void TearDown(CGameSession&) {
  gCalls.push_back({kObjectKinds[I].kind, "teardown", {}});
}

template <std::size_t... I>
std::array<ObjectKindRow, kRows> RecordingRows(std::index_sequence<I...>) {
  std::array<ObjectKindRow, kRows> rows{kObjectKinds[I]...};
  ((rows[I].create = &Create<I>, rows[I].remove = &Remove<I>, rows[I].update = &Update<I>,
    rows[I].makePool = &MakePool<I>, rows[I].teardown = &TearDown<I>),
   ...);
  return rows;
}

std::vector<ObjectKind> KindsOf(const std::vector<Call>& calls) {
  std::vector<ObjectKind> kinds;
  for (const Call& call : calls) {
    kinds.push_back(call.kind);
  }
  return kinds;
}

class ObjectKindsTest : public testing::Test {
 protected:
  ObjectKindsTest() {
    gCalls.clear();
    gClock = &clock_;
    gGameSession.timing = {};
  }
  ~ObjectKindsTest() override {
    gGameSession.inPlay = 0;
    gGameSession.timing = {};
    gClock = nullptr;
  }

  const std::array<ObjectKindRow, kRows> rows_ = RecordingRows(std::make_index_sequence<kRows>());
  platform::VirtualClock clock_{5000};
  platform::ScopedProcessClock scopedClock_{clock_};
};

using enum ObjectKind;

TEST_F(ObjectKindsTest, NotInPlayEveryKindButTheBulletsIsUpdatedAndNothingIsTimed) {
  gGameSession.inPlay = 0;
  gGameSession.timing.on = 1;
  UpdateObjects(gGameSession, rows_);
  EXPECT_EQ(
      KindsOf(gCalls),
      (std::vector<ObjectKind>{kDefenseTowers, kReconGuns, kMissiles, kMines, kReconDrones, kFlags,
                               kFlares, kSmoke, kExplosions, kOwnTank, kTanks, kOwnTankMessages}));
  EXPECT_EQ(gGameSession.timing.current, PhaseTable{});
}

TEST_F(ObjectKindsTest, InPlayEachGroupClosesItsTimingEntry) {
  gGameSession.inPlay = 1;
  gGameSession.timing.on = 1;
  gGameSession.timing.phaseStart = clock_.Milliseconds();
  UpdateObjects(gGameSession, rows_);
  EXPECT_EQ(KindsOf(gCalls),
            (std::vector<ObjectKind>{kDefenseTowers, kReconGuns, kMissiles, kBullets, kMines,
                                     kReconDrones, kFlags, kFlares, kSmoke, kExplosions, kOwnTank,
                                     kTanks, kOwnTankMessages}));
  // Row I took 1 << I ms: each entry holds the times of its group's rows.
  std::array<std::uint32_t, kPhaseEntries> expected{};
  for (std::size_t i = 0; i < kRows; ++i) {
    expected[rows_[i].phase] += 1u << i;
  }
  EXPECT_EQ(gGameSession.timing.current, expected);
  EXPECT_EQ(gGameSession.timing.current[kPhaseSmallObjects],
            (1u << 3) + (1u << 4) + (1u << 5) + (1u << 6) + (1u << 7))
      << "bullets, mines, recon drones, flags and flares share one entry";
}

TEST_F(ObjectKindsTest, TimingOffLeavesTheEntriesAlone) {
  gGameSession.inPlay = 1;
  gGameSession.timing.on = 0;
  UpdateObjects(gGameSession, rows_);
  EXPECT_EQ(gCalls.size(), kRows);
  EXPECT_EQ(gGameSession.timing.current, PhaseTable{});
}

TEST_F(ObjectKindsTest, TheWorldStartFillsThePoolsAndTheStopDeletesEveryKindInOrder) {
  MakeObjectPools(gGameSession, rows_);
  EXPECT_EQ(KindsOf(gCalls), (std::vector<ObjectKind>{kSmoke, kBullets, kExplosions}));
  gCalls.clear();
  TearDownObjects(gGameSession, rows_);
  EXPECT_EQ(KindsOf(gCalls), (std::vector<ObjectKind>{kOwnTank, kTanks, kSmoke, kExplosions, kMines,
                                                      kFlags, kReconGuns, kFlares, kReconDrones,
                                                      kDefenseTowers, kMissiles}));
}

struct DispatchCase {
  std::uint32_t type;
  ObjectKind kind;
  const char* what;
};

TEST_F(ObjectKindsTest, CreationsAndRemovalsGoToTheirKindsWithThePayload) {
  const DispatchCase cases[] = {
      {MSG_CREATE_PLAYER_TANK, kOwnTank, "create"},
      {MSG_CREATE_TANK, kTanks, "create"},
      {MSG_REMOVE_TANK, kTanks, "remove"},
      {MSG_CREATE_MINE, kMines, "create"},
      {MSG_CREATE_DEFENSE, kDefenseTowers, "create"},
      {MSG_CREATE_FLAG, kFlags, "create"},
      {MSG_CREATE_MISSILE, kMissiles, "create"},
      {MSG_CREATE_RECON, kReconDrones, "create"},
      {MSG_CREATE_RECON_GUN, kReconGuns, "create"},
  };
  const std::vector<std::uint8_t> payload{1, 2, 3, 4};
  for (const DispatchCase& c : cases) {
    gCalls.clear();
    EXPECT_TRUE(DispatchObjectMessage(gGameSession, c.type, payload, rows_));
    EXPECT_EQ(gCalls, (std::vector<Call>{{c.kind, c.what, payload}})) << std::hex << c.type;
  }
  gCalls.clear();
  EXPECT_FALSE(DispatchObjectMessage(gGameSession, MSG_QUIT, payload, rows_));
  EXPECT_FALSE(DispatchObjectMessage(gGameSession, 0, payload, rows_));
  EXPECT_TRUE(gCalls.empty());
}

// Until a kind's class exists its row has no functions: its messages are taken and do nothing.
TEST_F(ObjectKindsTest, AKindWithoutItsClassTakesItsMessagesQuietly) {
  EXPECT_TRUE(DispatchObjectMessage(gGameSession, MSG_CREATE_TANK, {}));
  gGameSession.inPlay = 1;
  UpdateObjects(gGameSession);
  TearDownObjects(gGameSession);
  EXPECT_TRUE(gCalls.empty());
}

// The table's compile-time checks refuse the tables they are there to refuse.
TEST_F(ObjectKindsTest, TheTableChecksRefuseAMissingRowPhasesOutOfOrderAndRepeatedRanks) {
  namespace detail = object_kinds_detail;
  std::array<ObjectKindRow, kRows> rows = rows_;
  ASSERT_TRUE(detail::EachCreatingMessageHasOneRow(rows));
  ASSERT_TRUE(detail::EachPhaseOnceInOrder(rows));
  ASSERT_TRUE(detail::RanksAreAnOrder<&ObjectKindRow::teardownRank>(rows));

  rows[6].createMessage = 0;  // the flags' row
  EXPECT_FALSE(detail::EachCreatingMessageHasOneRow(rows));
  rows[6].createMessage = MSG_CREATE_MINE;  // a second row for the mines
  EXPECT_FALSE(detail::EachCreatingMessageHasOneRow(rows));

  rows = rows_;
  std::swap(rows[0].phase, rows[1].phase);
  EXPECT_FALSE(detail::EachPhaseOnceInOrder(rows));
  rows = rows_;
  rows[kRows - 1].phase = kPhaseTanks;  // no row left for the own tank's messages
  EXPECT_FALSE(detail::EachPhaseOnceInOrder(rows));

  rows = rows_;
  rows[0].teardownRank = rows[1].teardownRank;
  EXPECT_FALSE(detail::RanksAreAnOrder<&ObjectKindRow::teardownRank>(rows));
}

}  // namespace
