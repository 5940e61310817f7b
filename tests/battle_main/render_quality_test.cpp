// The render-quality presets: the words of the render context's indirect entries.
#include "battle/main/render_quality.h"

#include <gtest/gtest.h>

#include <memory>

#include "battle/arena/arena_view.h"
#include "battle/main/game_session.h"
#include "engine/r3x.h"

namespace {

struct ContextDeleter {
  void operator()(R3xRenderContext* context) const { r3xDestroyRenderContext(nullptr, context, 0); }
};
using ContextPtr = std::unique_ptr<R3xRenderContext, ContextDeleter>;

constexpr std::uint32_t kEntries = 16;
constexpr R3xRenderMethod kUntouched = 0x1234;

ContextPtr MakeContext() {
  ContextPtr context(CreateRenderContext(kEntries, nullptr));
  for (std::uint32_t i = 0; i < kEntries; ++i) {
    context->indirect.methods[i] = kUntouched;
  }
  r3xSetDynamicLighting(context.get(), 0);
  return context;
}

TEST(RenderQualityTest, PresetWordsAsTheTableGives) {
  // Entry, preset 0, preset 1.
  struct Word {
    std::uint32_t entry;
    R3xRenderMethod low;
    R3xRenderMethod high;
  };
  const Word words[] = {
      {0, 0, 6},     {1, 0x553, 6}, {2, 0x53, 6},  {3, 0x53, 6},  {4, 0x53, 6},   {5, 0x53, 7},
      {6, 0x553, 6}, {7, 0x553, 6}, {8, 0x553, 6}, {9, 0x553, 6}, {10, 0x507, 6},
  };
  ContextPtr context = MakeContext();
  ApplyRenderQuality(context.get(), 1);
  for (const Word& word : words) {
    EXPECT_EQ(context->indirect.methods[word.entry], word.high) << word.entry;
  }
  ApplyRenderQuality(context.get(), 0);
  for (const Word& word : words) {
    EXPECT_EQ(context->indirect.methods[word.entry], word.low) << word.entry;
  }
  // Entries past 0x8000000A are not the presets'.
  for (std::uint32_t i = kQualityEntryCount; i < kEntries; ++i) {
    EXPECT_EQ(context->indirect.methods[i], kUntouched) << i;
  }
  EXPECT_EQ(context->dynamicLighting, 1);
}

TEST(RenderQualityTest, TheSessionSetsTheWorldStartsContextAndAnswersZero) {
  ContextPtr context = MakeContext();
  gRenderContext = context.get();
  EXPECT_EQ(gGameSession.SetRenderQuality(1), 0);
  gRenderContext = nullptr;
  EXPECT_EQ(context->indirect.methods[5], 7u);
  EXPECT_EQ(context->dynamicLighting, 1);
  // Without a context nothing is set, and the answer is still 0.
  EXPECT_EQ(gGameSession.SetRenderQuality(0), 0);
}

}  // namespace
