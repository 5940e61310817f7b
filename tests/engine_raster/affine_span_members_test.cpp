#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "engine/raster/raster_numeric_internal.h"
#include "engine/raster/span_size_tables_internal.h"
#include "tests/engine_raster/affine_span_fixture.h"

namespace {

constexpr std::int32_t kSpansPerMember = 60;
constexpr std::uint8_t kKey = 253;

using Pieces = std::vector<std::pair<std::int32_t, std::int32_t>>;

// One family's size members, as its block of the span size tables names them, against the
// block's generic member over random texels, u and v, lights, fog and pieces of a row: the same
// rows and, keyed, the same runs, drawn counts, run flags and results. The size member is called
// with the level's masks in the span state spoiled, so that it shows it uses its own.
class AffineSpanMembersTest : public AffineSpanTest,
                              public ::testing::WithParamInterface<std::int32_t> {
 protected:
  float Uniform(float low, float high) {
    return std::uniform_real_distribution<float>(low, high)(random_);
  }
  std::int32_t Between(std::int32_t low, std::int32_t high) {
    return std::uniform_int_distribution<std::int32_t>(low, high)(random_);
  }

  // A random level, u and v, light, fog and shade data, and the row's pieces, each with the
  // span fields of its own as the drawer sets them for every piece of a span.
  Pieces Randomize(std::uint32_t width, std::uint32_t height) {
    Bytes texels(std::size_t{width} * height);
    for (std::uint8_t& texel : texels) {
      const std::uint32_t bits = random_();
      texel = (bits & 3) == 0 ? kKey : static_cast<std::uint8_t>(bits >> 8);
    }
    SetTexture(texels, width, height);
    const bool flat = Between(0, 4) == 0;
    SetAffine(Uniform(-10.0f, 70.0f), Uniform(-400.0f, 400.0f),
              flat ? 0.0f : Uniform(-10.0f, 10.0f), Uniform(-400.0f, 400.0f),
              flat ? 0.0f : Uniform(-10.0f, 10.0f));
    const float lightStep = Uniform(-0.03f, 0.03f);
    SetLight(Uniform(-0.1f, 1.1f), lightStep, _r3xStepFixed20(lightStep));
    const float fogStep = Uniform(-0.03f, 0.03f);
    SetFog(Uniform(-0.1f, 1.1f), fogStep, _r3xStepFixed20(fogStep));
    if (shades_.empty()) {
      shades_.resize(65536);
      for (std::uint8_t& shade : shades_) {
        shade = static_cast<std::uint8_t>(random_());
      }
    }
    render_->span.shadeData = shades_.data();
    render_->span.shadeRow = shades_.data() + 256 * Between(0, 255);

    Pieces pieces;
    std::int32_t x = Between(0, 20);
    while (x < kWidth && pieces.size() < 4) {
      const std::int32_t count = Between(1, std::min(40, kWidth - x));
      pieces.emplace_back(x, count);
      x += count + Between(0, 1) * Between(0, 6);
    }
    return pieces;
  }

  void SpoilMasks() {
    render_->span.uMask = 0;
    render_->span.vMask = 0;
    render_->span.vShift = 31;
  }

  void DrawOpaque(R3xSpanRoutine routine, std::int32_t row, const Pieces& pieces) {
    SetRow(row);
    for (const auto& [x, count] : pieces) {
      routine(render_, x, count);
    }
  }
  // The keyed calls as the drawer makes them; the results in order.
  std::vector<std::int32_t> DrawKeyed(R3xKeyedSpanRoutine routine, std::int32_t row,
                                      const Pieces& pieces) {
    ResetRuns(row);
    std::vector<std::int32_t> results;
    std::int32_t end = -1;
    for (const auto& [x, count] : pieces) {
      const std::int32_t inside = x == end && keyed_[row].endsInside == 1 ? 1 : 0;
      results.push_back(Keyed(routine, row, x, count, kKey, inside));
      end = x + count;
    }
    return results;
  }

  std::mt19937 random_{46};
};

TEST_P(AffineSpanMembersTest, EverySizeMemberDrawsWhatItsGenericMemberDraws) {
  const std::int32_t b = GetParam();
  const bool keyed = b >= R3X_SPAN_BLOCK_AFFINE_KEYED;
  const R3xSpanSizeBlock& block = _r3xSpanSizeTables[b];
  const R3xSpanSizeEntry& generic = block.square[0];
  std::int32_t members = 0;
  for (std::int32_t i = 0; i < R3X_SPAN_SIZE_SLOTS; ++i) {
    for (const bool tall : {false, true}) {
      const R3xSpanSizeEntry& entry = tall ? block.tall[i] : block.square[i];
      if (keyed ? entry.keyed == generic.keyed || entry.keyed == nullptr
                : entry.opaque == generic.opaque || entry.opaque == nullptr) {
        continue;
      }
      ++members;
      const std::uint32_t width = 1u << i;
      const std::uint32_t height = tall ? 2 * width : width;
      const std::string name = std::to_string(width) + "x" + std::to_string(height);
      for (std::int32_t n = 0; n < kSpansPerMember; ++n) {
        image_.assign(image_.size(), kUntouched);
        const Pieces pieces = Randomize(width, height);
        if (keyed) {
          const std::vector<std::int32_t> results = DrawKeyed(generic.keyed, 0, pieces);
          SpoilMasks();
          ASSERT_EQ(DrawKeyed(entry.keyed, 1, pieces), results) << name;
          ASSERT_EQ(Listed(1), Listed(0)) << name;
          ASSERT_EQ(keyed_[1].drawn, keyed_[0].drawn) << name;
          ASSERT_EQ(keyed_[1].endsInside, keyed_[0].endsInside) << name;
        } else {
          DrawOpaque(generic.opaque, 0, pieces);
          SpoilMasks();
          DrawOpaque(entry.opaque, 1, pieces);
        }
        ASSERT_EQ(Row(1, 0, kWidth), Row(0, 0, kWidth)) << name << " span " << n;
      }
    }
  }
  // An opaque family has 10 size members, a keyed one 5.
  EXPECT_EQ(members, keyed ? 5 : 10);
}

// Blocks 0 to 4: the opaque families of modes 1 to 5; 5 to 8: the keyed ones of modes 1 to 4.
INSTANTIATE_TEST_SUITE_P(
    AffineFamilies, AffineSpanMembersTest,
    ::testing::Range(R3X_SPAN_BLOCK_AFFINE_OPAQUE, R3X_SPAN_BLOCK_PERSP_OPAQUE),
    [](const ::testing::TestParamInfo<std::int32_t>& info) {
      const bool keyed = info.param >= R3X_SPAN_BLOCK_AFFINE_KEYED;
      const std::int32_t mode = info.param - (keyed ? R3X_SPAN_BLOCK_AFFINE_KEYED : 0) + 1;
      return std::string(keyed ? "Keyed" : "Opaque") + "Mode" + std::to_string(mode);
    });

}  // namespace
