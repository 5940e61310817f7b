#include "battle/effects/sound_front_end.h"

#include <gtest/gtest.h>

#include "battle/arena/arena_geometry.h"
#include "battle/core/sound_code.h"
#include "tests/battle_effects/sound_fixture.h"

namespace {

class SoundFrontEnd : public SoundFixture {
 protected:
  void SetUp() override {
    SoundFixture::SetUp();
    ASSERT_EQ(r3xInit(), R3X_DONE);
    gSound = &Make();
    gListenerPlacement = R3xPlacement{};
  }
  void TearDown() override {
    gSound = nullptr;
    r3xShutdown();
    SoundFixture::TearDown();
  }
};

TEST_F(SoundFrontEnd, DistanceIsOctagonalAndBearingTurnsWithTheListener) {
  const struct {
    float listenerX;
    float listenerY;
    float heading;
    float x;
    float y;
    int distance;
    int bearing;
  } cases[] = {
      {0, 0, 0, 30, 40, 55, 53},     {0, 0, 0, 10, 10, 15, 45},    {0, 0, 0, 0.9f, 0, 0, 0},
      {0, 0, 0, 100, 0, 100, 0},     {0, 0, 0, 0, 100, 100, 90},   {0, 0, 128, 0, 100, 100, 0},
      {50, 50, 0, 50, 150, 100, 90}, {0, 0, 0, -100, 0, 100, 180},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << ", " << c.y << " heading " << c.heading);
    R3xPlacement listener{};
    listener.x = c.listenerX;
    listener.y = c.listenerY;
    listener.heading = c.heading;
    const SoundBearing where = LocateSound(listener, c.x, c.y);
    EXPECT_EQ(where.distance, c.distance);
    EXPECT_EQ(where.bearing, c.bearing);
  }
}

TEST_F(SoundFrontEnd, PlaySoundAtPlacesOneShotsAndLoopsFromTheListener) {
  constexpr int kBumpHard = 14;
  gListenerPlacement.x = 1000;
  gListenerPlacement.y = 1000;
  // Along +y from the listener: bearing 90, panned fully right-attenuated.
  ASSERT_EQ(PlaySoundAt(0, SOUND_POSITIONAL | kBumpHard, 1000, 1100), 1);
  IDirectSoundBuffer* own = gSound->soundBuffer(kBumpHard);
  EXPECT_EQ(VolumeOf(own), -320);
  EXPECT_EQ(PanOf(own), -1000);

  gSound->StopAll();
  ASSERT_EQ(PlaySoundAt(0, kBumpHard, 5000, 1100), 1);  // not positional: x and y ignored
  EXPECT_EQ(VolumeOf(own), 0);
  EXPECT_EQ(PanOf(own), 0);

  ASSERT_EQ(PlaySoundAt(0x20001, SOUND_POSITIONAL | LoopCode(1, 11025), 1000, 1040), 1);
  EXPECT_EQ(gSound->loopSlot(5).owner, 0x20001u);
  EXPECT_EQ(gSound->loopSlot(5).volume, (10 - 40) * 15);
  EXPECT_EQ(PlaySoundAt(0x20001, SOUND_POSITIONAL | LoopCode(1, 11025), 1000, 1151), 0);
  EXPECT_FALSE(gSound->loopSlot(5).inUse);
}

TEST_F(SoundFrontEnd, PlaySoundAtDistancePlaysStraightAheadAndNeverALoop) {
  constexpr int kBumpSqueak3 = 0x11;
  IDirectSoundBuffer* own = gSound->soundBuffer(kBumpSqueak3);
  PlaySoundAtDistance(1, kBumpSqueak3, 600);
  EXPECT_EQ(StatusOf(own), 0u);
  PlaySoundAtDistance(1, SOUND_LOOP | kBumpSqueak3, 100);
  PlaySoundAtDistance(1, SOUND_POSITIONAL | kBumpSqueak3, 100);
  EXPECT_EQ(StatusOf(own), 0u);
  PlaySoundAtDistance(1, kBumpSqueak3, 100);
  EXPECT_EQ(StatusOf(own), DSBSTATUS_PLAYING);
  EXPECT_EQ(VolumeOf(own), -320);
  EXPECT_EQ(PanOf(own), 0);
}

}  // namespace
