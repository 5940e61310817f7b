// GLOBAL_PARAMS_PASS words 11 to 70 give the sky its sun and moon sizes, the eight flare elements
// and the fog scale that enlarges the sun and the flare in weather.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/byte_writer.h"
#include "battle/core/global_params.h"
#include "battle/effects/atmosphere.h"

namespace {

TEST(SkyParamsTest, GlobalParamsWordsGiveTheSunMoonFlareAndFogScale) {
  std::vector<std::uint32_t> words(GLOBAL_PARAMS_SIZE / 4, 0);
  words[12] = std::bit_cast<std::uint32_t>(150.0f);  // sunScale
  words[15] = std::bit_cast<std::uint32_t>(45.0f);   // moonScale
  // Element i: type, distance, scale, red, green, blue from word 21 on.
  for (std::uint32_t i = 0; i < 8; ++i) {
    const std::size_t first = 21 + 6 * i;
    words[first] = i % 2;
    words[first + 1] = std::bit_cast<std::uint32_t>(0.1f * static_cast<float>(i));
    words[first + 2] = std::bit_cast<std::uint32_t>(0.5f + static_cast<float>(i));
    words[first + 3] = 10 + i;
    words[first + 4] = 20 + i;
    words[first + 5] = 30 + i;
  }
  words[69] = std::bit_cast<std::uint32_t>(1.2f);  // not read
  words[70] = std::bit_cast<std::uint32_t>(1.5f);  // fogScale
  arena::ByteWriter payload;
  for (std::uint32_t word : words) {
    payload.U32(word);
  }
  GlobalParamValues values;
  ASSERT_TRUE(ApplyGlobalParams(values, payload.bytes()));

  CAtmosphere atmosphere([](std::uint32_t, std::uint32_t, float, float) { return 1; }, {}, {});
  atmosphere.ApplyGlobalParams(values);
  const SkyState& sky = atmosphere.Sky();
  EXPECT_FLOAT_EQ(sky.sunScale, 150.0f);
  EXPECT_FLOAT_EQ(sky.moonScale, 45.0f);
  EXPECT_FLOAT_EQ(sky.fogScale, 1.5f);
  for (std::uint32_t i = 0; i < 8; ++i) {
    const FlareElement& element = sky.flare[i];
    EXPECT_EQ(element.type, i % 2) << i;
    EXPECT_FLOAT_EQ(element.distance, 0.1f * static_cast<float>(i)) << i;
    EXPECT_FLOAT_EQ(element.scale, 0.5f + static_cast<float>(i)) << i;
    EXPECT_EQ(element.red, 10 + i) << i;
    EXPECT_EQ(element.green, 20 + i) << i;
    EXPECT_EQ(element.blue, 30 + i) << i;
  }
  // The sky drawing reaches the atmosphere's own pool.
  EXPECT_EQ(sky.particles, &atmosphere.Particles());
}

}  // namespace
