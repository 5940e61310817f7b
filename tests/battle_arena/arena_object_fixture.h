// The arena objects' tests: a world of one region from the floor z = 0 to the ceiling z = 112
// (no region below or above) with the demo arena's height map (ground 0 inside its walls), the
// shared mover, the game parameters' defaults, a stepped frame clock, small models made in code
// under the tags the objects look up, and the sounds the objects play recorded.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "battle/arena/arena_map.h"
#include "battle/arena/mover.h"
#include "common/mailbox.h"
#include "engine/r3x.h"

struct PlayedSound {
  std::uint32_t owner;
  std::uint32_t code;
  float x;
  float y;
};

class ArenaObjectTest : public ::testing::Test {
 protected:
  static constexpr float kCeiling = 112.0f;

  void SetUp() override;
  void TearDown() override;

  // A model of `actions` actions, each shown by a part of its own with this radius and, when
  // given, a sphere volume of `volumeRadius`.
  R3xActorDef* MakeModel(const char* tag, std::uint32_t actions, float partRadius = 1.0f,
                         float volumeRadius = 0.0f);
  // Advances the frame clock.
  void Step(std::uint32_t ms) { SetFrameTime(frameTime_ + ms); }
  void SetFrameTime(std::uint32_t time);
  std::uint32_t FrameTime() const { return frameTime_; }
  // Posts a server message to an object's mailbox.
  static void Send(std::uint32_t address, std::uint32_t type, std::span<const std::uint8_t> bytes);
  static R3xPlacement PlacementOf(const R3xActor* actor);

  // The sounds played since the last call.
  std::vector<PlayedSound> TakeSounds();

  R3xWorld* world_ = nullptr;
  std::unique_ptr<CArenaMap> map_;
  std::unique_ptr<CMover> mover_;
  // A mailbox that receives what the objects post to the server and to carriers.
  std::unique_ptr<CMailbox> network_;

 private:
  std::uint32_t frameTime_ = 0;
};

// The payload of a few floats, as the wire carries them.
std::vector<std::uint8_t> FloatPayload(std::initializer_list<float> values);
// The messages queued in a mailbox, as (type, payload) pairs.
struct ReceivedMessage {
  std::uint32_t type;
  std::vector<std::uint8_t> payload;
};
std::vector<ReceivedMessage> Drain(CMailbox& mailbox);
