#include "battle/effects/atmosphere.h"

#include <bit>
#include <cmath>
#include <optional>
#include <utility>

#include "battle/core/global_params.h"
#include "battle/core/sound_code.h"
#include "battle/core/sound_table.h"
#include "battle/effects/ambient_table.h"
#include "battle/effects/sound_front_end.h"
#include "common/messages.h"
#include "engine/r3x_core.h"
#include "engine/r3x_display.h"

namespace {

// The rain loop belongs to the session's address; a loop frequency of 0 stops it.
constexpr std::uint32_t kRainSound = 6;
constexpr std::uint32_t kRainFrequency = 11000;
constexpr std::uint32_t kRainStart = LoopCode(kRainSound, kRainFrequency);
constexpr std::uint32_t kRainStop = LoopCode(kRainSound, 0);
static_assert(kSoundTable[kRainSound].name == "LOOPRAIN");
static_assert(kRainStart == 0x202AF806 && kRainStop == 0x20000006);

// Where the sky words of the global parameters keep what the day and the clouds use.
constexpr std::size_t kMoonOrbitWord = 3;
constexpr std::size_t kNearCloudVelocityWord = 7;
constexpr std::size_t kFarCloudVelocityWord = 9;
// ... and the sizes of the sun and the moon.
constexpr std::size_t kSunScaleWord = 1;
constexpr std::size_t kMoonScaleWord = 4;
// The first flare element's type, distance and scale follow the ten sky words; each colour group
// holds an element's colour and the next element's three words, the last group the two fog
// scales, of which the second enlarges the sun and the flare in weather.
constexpr std::size_t kFirstFlareWord = 10;
constexpr std::size_t kFogScaleWord = 1;

constexpr std::uint8_t kWhite = 255;
constexpr float kFullLight = 1.0f;
// After a flash the fog and the clear colour take greys of the step's ambient level.
constexpr float kFogGreyOfAmbient = 120.0f;
constexpr float kClearGreyOfAmbient = 180.0f;

// How far a fade has run at the day clock, 0 to 1. A clock before the start (a time base or the
// global parameters may set it back) counts as the start and one at or past the end as the end,
// so the level stays within 0 to 1; a fade that does not end after it starts has run whole.
float FadeFraction(std::uint32_t dayClock, const WeatherEvent& event) {
  if (event.end <= event.start || dayClock >= event.end) {
    return 1.0f;
  }
  if (dayClock <= event.start) {
    return 0.0f;
  }
  return static_cast<float>(static_cast<double>(dayClock - event.start) /
                            static_cast<double>(event.end - event.start));
}

std::uint8_t GreyOf(float level, float scale) {
  return static_cast<std::uint8_t>(std::trunc(level * scale));
}

}  // namespace

CAtmosphere::CAtmosphere()
    : CAtmosphere(PlaySoundAt, CLightning::RandomSource{}, CParticlePool::RandomSource{}) {}

CAtmosphere::CAtmosphere(SoundPlayer sound, CLightning::RandomSource lightningRandom,
                         CParticlePool::RandomSource particleRandom)
    : sound_(std::move(sound)),
      particles_(particleRandom ? CParticlePool(std::move(particleRandom)) : CParticlePool()),
      lightning_(lightningRandom ? CLightning(std::move(lightningRandom)) : CLightning()) {
  sky_.particles = &particles_;
}

void CAtmosphere::Attach(R3xWorld* world, R3xRenderContext* context, const R3xCamera* camera) {
  sky_.world = world;
  sky_.renderContext = context;
  sky_.camera = camera;
}

void CAtmosphere::SyncTime(std::span<const std::uint8_t> payload) { day_.SyncTime(payload); }

void CAtmosphere::SetTimeOfDay(std::span<const std::uint8_t> payload, std::uint32_t frameTime) {
  day_.SetTimeOfDay(payload, frameTime, Targets());
}

void CAtmosphere::QueueWeather(std::span<const std::uint8_t> payload) {
  const std::optional<WeatherEvent> event = ReadWeatherEvent(payload);
  if (!event) {
    return;
  }
  if (event->start > sky_.dayClock) {
    queue_.Push(*event);
    return;
  }
  if (sky_.weather.type == kWeatherFull) {
    StopRain();
  }
  ApplyWeather(*event);
}

void CAtmosphere::EnableWeather(std::span<const std::uint8_t> payload, std::uint32_t frameTime) {
  const std::optional<bool> enable = ReadWeatherEnable(payload);
  if (!enable) {
    return;
  }
  if (*enable) {
    BeginWeather(frameTime);
  } else {
    EndWeather();
  }
}

void CAtmosphere::ApplyGlobalParams(const GlobalParamValues& values) {
  sky_.moonOrbitPeriod = values.skyWords[kMoonOrbitWord];
  sky_.nearCloudVelocity = std::bit_cast<float>(values.skyWords[kNearCloudVelocityWord]);
  sky_.farCloudVelocity = std::bit_cast<float>(values.skyWords[kFarCloudVelocityWord]);
  sky_.sunScale = std::bit_cast<float>(values.skyWords[kSunScaleWord]);
  sky_.moonScale = std::bit_cast<float>(values.skyWords[kMoonScaleWord]);
  // An element's type, distance and scale words, then its colour.
  auto setWords = [](FlareElement& element, const std::uint32_t* words) {
    element.type = words[0];
    element.distance = std::bit_cast<float>(words[1]);
    element.scale = std::bit_cast<float>(words[2]);
  };
  setWords(sky_.flare[0], &values.skyWords[kFirstFlareWord]);
  for (std::size_t i = 0; i < sky_.flare.size(); ++i) {
    const SkyColourGroup& group = values.colourGroups[i];
    sky_.flare[i].red = group.colour[0];
    sky_.flare[i].green = group.colour[1];
    sky_.flare[i].blue = group.colour[2];
    if (i + 1 < sky_.flare.size()) {
      setWords(sky_.flare[i + 1], group.words.data());
    }
  }
  sky_.fogScale = std::bit_cast<float>(values.colourGroups.back().words[kFogScaleWord]);
  ambient_.SetAmbientLight(sky_.world, AmbientTable[day_.TimeOfDayStep()]);
  sky_.dayClock = 0;
  sky_.weatherLevel = 0.0f;
}

void CAtmosphere::UpdateAtmosphere(std::uint32_t frameTime, bool infraRed) {
  const bool phaseRan = day_.UpdateAtmosphere(Targets(), infraRed);

  WeatherEvent& weather = sky_.weather;
  if (weather.type != kWeatherNone) {
    if (sky_.dayClock >= weather.end) {
      // The level stays where the event left it.
      if (weather.type == kWeatherFull) {
        StopRain();
      }
      weather.type = kWeatherNone;
    } else if (weather.type == kWeatherFadeIn) {
      sky_.weatherLevel = FadeFraction(sky_.dayClock, weather);
    } else if (weather.type == kWeatherFull) {
      UpdateLightning(frameTime, phaseRan);
    } else if (weather.type == kWeatherFadeOut) {
      sky_.weatherLevel = 1.0f - FadeFraction(sky_.dayClock, weather);
    }
  }

  if (const std::optional<WeatherEvent> due = queue_.TakeDue(sky_.dayClock)) {
    if (weather.type == kWeatherFull) {
      StopRain();
    }
    ApplyWeather(*due);
  }
}

bool CAtmosphere::EndLightningFlash(std::uint32_t frameTime) {
  if (!lightning_.EndFlashAfterFrame(frameTime)) {
    return false;
  }
  RestoreAfterFlash();
  return true;
}

void CAtmosphere::ApplyWeather(const WeatherEvent& event) {
  sky_.weather = event;
  switch (event.type) {
    case kWeatherFadeIn:
      sky_.weatherLevel = FadeFraction(sky_.dayClock, event);
      break;
    case kWeatherFull:
      sky_.weatherLevel = 1.0f;
      // Rain already falling is not started again; without a camera no drops fall.
      if (sky_.camera != nullptr) {
        particles_.StartWeatherParticles(*sky_.camera, WeatherMode::kRain);
      }
      sound_(KIND_SESSION, kRainStart, 0.0f, 0.0f);
      break;
    case kWeatherFadeOut:
      sky_.weatherLevel = 1.0f - FadeFraction(sky_.dayClock, event);
      break;
    default:
      break;
  }
}

void CAtmosphere::BeginWeather(std::uint32_t frameTime) {
  day_.TakeTargetStep();
  ambient_.SetAmbientLight(sky_.world, AmbientTable[day_.TimeOfDayStep()]);
  lightning_.StrikeAt(frameTime);
}

void CAtmosphere::EndWeather() {
  particles_.StopWeatherParticles();
  sound_(KIND_SESSION, kRainStop, 0.0f, 0.0f);
}

void CAtmosphere::UpdateLightning(std::uint32_t frameTime, bool phaseRan) {
  // A day phase has set the light of this frame already; without one nothing else would give
  // back what the flash whitened.
  if (lightning_.EndFlash(frameTime) && !phaseRan) {
    RestoreAfterFlash();
  }
  const std::optional<LightningStrike> strike = lightning_.Strike(frameTime);
  if (!strike) {
    return;
  }
  sound_(KIND_SESSION, strike->thunderCode, 0.0f, 0.0f);
  if (strike->flash) {
    SetFog(0, kWhite);
    day_.SetSkyClearGrey(kWhite);
    ambient_.SetAmbientLight(sky_.world, kFullLight);
  }
}

void CAtmosphere::StopRain() {
  sound_(KIND_SESSION, kRainStop, 0.0f, 0.0f);
  particles_.StopWeatherParticles();
}

void CAtmosphere::SetFog(std::int32_t level, std::uint8_t grey) {
  if (sky_.renderContext != nullptr && sky_.renderContext->glide != nullptr) {
    r3xGlideSetFog(sky_.renderContext->glide, 1, level, grey, grey, grey);
  }
}

void CAtmosphere::RestoreAfterFlash() {
  const float level = AmbientTable[day_.TimeOfDayStep()];
  SetFog(0, GreyOf(level, kFogGreyOfAmbient));
  day_.SetSkyClearGrey(GreyOf(level, kClearGreyOfAmbient));
  ambient_.SetAmbientLight(sky_.world, level);
}
