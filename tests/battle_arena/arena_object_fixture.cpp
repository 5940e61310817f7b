#include "arena_object_fixture.h"

#include "base/byte_writer.h"
#include "battle/arena/arena_sound.h"
#include "battle/arena/arena_world.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_params.h"
#include "battle/core/global_params.h"
#include "common/messages.h"
#include "tests/support/test_world_builder.h"
#include "tools/mkdata/arena_map_writer.h"
#include "tools/mkdata/demo_arena_map.h"

namespace {

std::vector<PlayedSound> gPlayed;

int RecordSound(std::uint32_t owner, std::uint32_t code, float x, float y) {
  gPlayed.push_back({owner, code, x, y});
  return 1;
}

}  // namespace

void ArenaObjectTest::SetUp() {
  ASSERT_EQ(r3xInit(), R3X_DONE);
  InitGameParams();
  world_ = MakeTestWorld(MakeFloorToCeiling(kCeiling));
  ASSERT_NE(world_, nullptr);
  map_ = std::make_unique<CArenaMap>(mkdata::EncodeArenaMap(mkdata::BuildDemoArenaMap()));
  ASSERT_TRUE(map_->IsValid());
  gWorld = world_;
  gArenaMap = map_.get();
  gWorldCeiling = kCeiling;
  mover_ = std::make_unique<CMover>();
  gMover = mover_.get();
  network_ = std::make_unique<CMailbox>(kNetworkAddress);
  gPlayed.clear();
  gArenaSound.playAt = RecordSound;
  SetFrameTime(10000);
}

void ArenaObjectTest::TearDown() {
  gArenaSound = {};
  network_.reset();
  gMover = nullptr;
  mover_.reset();
  gWorld = nullptr;
  gArenaMap = nullptr;
  gWorldCeiling = 0.0f;
  gFrameTime = 0;
  if (world_ != nullptr) {
    r3xDestroyWorld(world_);
  }
  r3xShutdown();
}

R3xActorDef* ArenaObjectTest::MakeModel(const char* tag, std::uint32_t actions, float partRadius,
                                        float volumeRadius) {
  R3xActorDef* definition = MakeTestActorModel(world_, tag, actions, partRadius, volumeRadius);
  EXPECT_NE(definition, nullptr);
  return definition;
}

void ArenaObjectTest::SetFrameTime(std::uint32_t time) {
  frameTime_ = time;
  gFrameTime = time;
}

void ArenaObjectTest::Send(std::uint32_t address, std::uint32_t type,
                           std::span<const std::uint8_t> bytes) {
  CMailbox::PostAnonymous(address, type, static_cast<std::uint32_t>(bytes.size()), bytes.data());
}

R3xPlacement ArenaObjectTest::PlacementOf(const R3xActor* actor) {
  R3xPlacement placement{};
  r3xGetActorPlacement(actor, &placement);
  return placement;
}

std::vector<PlayedSound> ArenaObjectTest::TakeSounds() {
  std::vector<PlayedSound> played;
  played.swap(gPlayed);
  return played;
}

std::vector<std::uint8_t> FloatPayload(std::initializer_list<float> values) {
  arena::ByteWriter writer;
  for (const float value : values) {
    writer.F32(value);
  }
  return writer.Take();
}

std::vector<ReceivedMessage> Drain(CMailbox& mailbox) {
  std::vector<ReceivedMessage> messages;
  std::uint32_t length = 0;
  while (const MailboxMessagePtr message = mailbox.Receive(length)) {
    messages.push_back({message->type, {message->Bytes().begin(), message->Bytes().end()}});
  }
  return messages;
}
