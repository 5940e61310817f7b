#include "platform/kernel/random.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> Draw(int count) {
  std::vector<int> values;
  for (int i = 0; i < count; ++i) {
    values.push_back(platform::CrtRand());
  }
  return values;
}

TEST(RandomTest, SeedOneGivesTheUnseededSequence) {
  platform::CrtSrand(1);
  EXPECT_EQ(Draw(3), (std::vector<int>{16838, 5758, 10113}));
}

TEST(RandomTest, ReseedingRepeatsTheSequence) {
  platform::CrtSrand(4321);
  const std::vector<int> first = Draw(20);
  platform::CrtSrand(4321);
  EXPECT_EQ(Draw(20), first);
  platform::CrtSrand(4322);
  EXPECT_NE(Draw(20), first);
}

TEST(RandomTest, ValuesStayInTheRuntimesRange) {
  platform::CrtSrand(7);
  for (int value : Draw(10000)) {
    ASSERT_GE(value, 0);
    ASSERT_LE(value, platform::kRandMax);
  }
}

class ScriptedRandom : public platform::RandomSource {
 public:
  int Next() override { return next_++; }
  void Seed(std::uint32_t seed) override { next_ = static_cast<int>(seed); }

 private:
  int next_ = 0;
};

TEST(RandomTest, AReplacementServesUntilItsScopeEnds) {
  platform::CrtSrand(99);
  const std::vector<int> builtIn = Draw(2);
  platform::CrtSrand(99);
  {
    ScriptedRandom scripted;
    platform::ScopedRandomSource scope(scripted);
    platform::CrtSrand(40);
    EXPECT_EQ(Draw(3), (std::vector<int>{40, 41, 42}));
  }
  // The built-in generator kept its state while replaced.
  EXPECT_EQ(Draw(2), builtIn);
}

}  // namespace
