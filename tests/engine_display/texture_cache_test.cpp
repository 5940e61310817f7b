#include <cstdint>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "engine/display/glide_texture_internal.h"
#include "tests/engine_display/display_fixture.h"

namespace {

class TextureCacheTest : public DisplayTest {
 protected:
  // Reopens the board with a texture memory of that many bytes.
  void UseTextureMemory(std::size_t bytes) {
    r3xGlideShutdown(glide_);
    platform::glide::SetTextureMemorySize(bytes);
    ASSERT_EQ(r3xGlideInit(&glide_), 0);
  }

  // A registered 8-bit texture whose texels are all `fill`.
  R3xGlideTexture* Register(std::int32_t width, std::int32_t height, std::uint8_t fill) {
    pixels_.emplace_back(static_cast<std::size_t>(width * height), fill);
    bitmaps_.push_back(MakeBitmap(width, height, 8, pixels_.back()));
    EXPECT_EQ(r3xGlideRegisterTexture(glide_, &bitmaps_.back()), 0);
    return static_cast<R3xGlideTexture*>(bitmaps_.back().texture);
  }

  std::deque<std::vector<std::uint8_t>> pixels_;
  std::deque<R3xBitmap> bitmaps_;
};

bool Resident(const R3xGlideTexture* texture) { return texture->start != R3X_GLIDE_NOT_RESIDENT; }

TEST_F(TextureCacheTest, RegistrationCodesFollowTheBitmapShape) {
  struct Case {
    std::int32_t width, height, furtherLevels;
    bool registers;
    int smallLod, largeLod, aspect;
    float texelScale;
  };
  const Case cases[] = {
      {256, 32, 0, true, 0, 0, GR_ASPECT_8x1, 1.0f},
      {32, 256, 0, true, 0, 0, GR_ASPECT_1x8, 1.0f},
      {64, 64, 3, true, 5, 2, GR_ASPECT_1x1, 4.0f},
      {128, 32, 0, true, 1, 1, 1, 2.0f},
      {1, 1, 0, true, 8, 8, GR_ASPECT_1x1, 256.0f},
      {256, 16, 0, false, 0, 0, 0, 0.0f},
      // A smaller side that is no power of two, though the larger divides by it to 2, 4 or 8.
      {256, 96, 0, false, 0, 0, 0, 0.0f},
      {60, 256, 0, false, 0, 0, 0, 0.0f},
      {256, 30, 0, false, 0, 0, 0, 0.0f},
      {3, 4, 0, false, 0, 0, 0, 0.0f},
      {512, 512, 0, false, 0, 0, 0, 0.0f},
      {64, 64, 7, false, 0, 0, 0, 0.0f},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(c.width * c.height) * 2);
    R3xBitmap bitmap = MakeBitmap(c.width, c.height, 8, pixels, c.furtherLevels);
    const std::int32_t result = r3xGlideRegisterTexture(glide_, &bitmap);
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    if (!c.registers) {
      EXPECT_EQ(result, R3X_ERR_FAILED);
      EXPECT_EQ(bitmap.texture, nullptr);
      continue;
    }
    ASSERT_EQ(result, 0);
    auto* texture = static_cast<R3xGlideTexture*>(bitmap.texture);
    EXPECT_EQ(texture->bitmap, &bitmap);
    EXPECT_EQ(texture->info.smallLod, c.smallLod);
    EXPECT_EQ(texture->info.largeLod, c.largeLod);
    EXPECT_EQ(texture->info.aspectRatio, c.aspect);
    EXPECT_EQ(texture->info.format, GR_TEXFMT_P_8);
    EXPECT_EQ(texture->texelScale, c.texelScale);
    EXPECT_FALSE(Resident(texture));
    EXPECT_EQ(glide_->lruHead, texture);
    EXPECT_EQ(glide_->lastRegistered, texture);
    r3xGlideFreeTextures(glide_);
  }
}

TEST_F(TextureCacheTest, BitmapsWithoutTexelsOrShortOfLevelsAreRefused) {
  std::vector<std::uint8_t> pixels(64 * 64 * 2);
  R3xBitmap wide = MakeBitmap(64, 64, 16, pixels);
  EXPECT_EQ(r3xGlideRegisterTexture(glide_, &wide), R3X_ERR_FAILED);
  // Three further levels need 4096 + 1024 + 256 + 64 texels.
  std::vector<std::uint8_t> short_(5439);
  R3xBitmap levels = MakeBitmap(64, 64, 8, short_, 3);
  EXPECT_EQ(r3xGlideRegisterTexture(glide_, &levels), R3X_ERR_FAILED);
  EXPECT_EQ(glide_->firstRegistered, nullptr);
  EXPECT_EQ(glide_->lruHead, nullptr);
}

TEST_F(TextureCacheTest, OwnColourTableConvertsToRgb565) {
  std::vector<std::uint8_t> pixels = {0, 1, 1, 0};
  std::vector<std::uint8_t> table(256 * 4, 0);
  table[4] = 0xFF;
  table[5] = 0x80;
  table[6] = 0x10;
  R3xBitmap bitmap = MakeBitmap(2, 2, 8, pixels);
  bitmap.colourTable = table.data();
  ASSERT_EQ(r3xGlideRegisterTexture(glide_, &bitmap), 0);
  const auto* texture = static_cast<R3xGlideTexture*>(bitmap.texture);
  EXPECT_EQ(texture->info.format, GR_TEXFMT_RGB_565);
  const auto* texels = static_cast<const std::uint16_t*>(texture->info.data);
  EXPECT_EQ(texels[0], 0x0000);
  EXPECT_EQ(texels[1], 0xFC02);
}

TEST_F(TextureCacheTest, PlacesFromTheBottomThenEvictsLeastRecentlyUsed) {
  UseTextureMemory(3 * 4096);
  R3xGlideTexture* a = Register(64, 64, 0xA1);
  R3xGlideTexture* b = Register(64, 64, 0xB2);
  R3xGlideTexture* c = Register(64, 64, 0xC3);
  R3xGlideTexture* d = Register(64, 64, 0xD4);
  ASSERT_EQ(a->size, 4096u);

  Record();
  ASSERT_EQ(_r3xGlideSelectTexture(glide_, a), R3X_GLIDE_SELECTED);
  const std::vector<std::string> firstLoad = {"grTexMaxAddress(0)", "grTexMinAddress(0)",
                                              "grTexDownloadMipMap(0, 0, 3)",
                                              "grTexSource(0, 0, 3)"};
  EXPECT_EQ(Calls(), firstLoad);
  EXPECT_EQ(glide_->memoryTop, 3u * 4096);
  ASSERT_EQ(_r3xGlideSelectTexture(glide_, b), R3X_GLIDE_SELECTED);
  ASSERT_EQ(_r3xGlideSelectTexture(glide_, c), R3X_GLIDE_SELECTED);
  EXPECT_EQ(a->start, 0u);
  EXPECT_EQ(b->start, 4096u);
  EXPECT_EQ(c->start, 8192u);
  EXPECT_EQ(platform::glide::TextureMemory()[4096], 0xB2);

  // Memory is full: a, the least recently used, makes room, an exact fit.
  ASSERT_EQ(_r3xGlideSelectTexture(glide_, d), R3X_GLIDE_SELECTED);
  EXPECT_FALSE(Resident(a));
  EXPECT_EQ(d->start, 0u);
  EXPECT_EQ(glide_->lruTail, a);
  EXPECT_EQ(glide_->lowestResident, d);
  EXPECT_EQ(platform::glide::TextureMemory()[0], 0xD4);

  // Twice the size: b goes first, its hole is too small, so d below it goes next.
  R3xGlideTexture* e = Register(128, 64, 0xE5);
  ASSERT_EQ(r3xGlideLoadTexture(glide_, e), R3X_GLIDE_LOADED);
  EXPECT_EQ(e->start, 0u);
  EXPECT_FALSE(Resident(b));
  EXPECT_FALSE(Resident(d));
  EXPECT_EQ(c->start, 8192u);
  EXPECT_EQ(glide_->lowestResident, e);
  EXPECT_EQ(e->higher, c);
  EXPECT_EQ(glide_->highestResident, c);

  // Larger than the whole memory: everything is evicted and the load fails.
  R3xGlideTexture* huge = Register(256, 256, 0xFF);
  EXPECT_EQ(_r3xGlideSelectTexture(glide_, huge), R3X_GLIDE_NOT_SELECTED);
  for (const R3xGlideTexture* t : {a, b, c, d, e, huge}) {
    EXPECT_FALSE(Resident(t));
  }
  EXPECT_EQ(glide_->lowestResident, nullptr);
  EXPECT_EQ(glide_->highestResident, nullptr);
}

TEST_F(TextureCacheTest, ReselectedTexturesOutliveTheLeastRecentlyUsed) {
  UseTextureMemory(4 * 4096);
  R3xGlideTexture* a = Register(64, 64, 1);
  R3xGlideTexture* b = Register(64, 64, 2);
  R3xGlideTexture* c = Register(64, 64, 3);
  R3xGlideTexture* d = Register(64, 64, 4);
  for (R3xGlideTexture* t : {a, b, c, d}) {
    ASSERT_EQ(_r3xGlideSelectTexture(glide_, t), R3X_GLIDE_SELECTED);
  }
  // Select b, c and d again: a is least recently used and leaves the bottom 4096 bytes.
  for (R3xGlideTexture* t : {b, c, d}) {
    _r3xGlideSelectTexture(glide_, t);
  }
  R3xGlideTexture* e = Register(64, 64, 5);
  ASSERT_EQ(_r3xGlideSelectTexture(glide_, e), R3X_GLIDE_SELECTED);
  EXPECT_EQ(e->start, 0u);
  EXPECT_FALSE(Resident(a));
  EXPECT_EQ(glide_->lruHead, e);
}

TEST_F(TextureCacheTest, FreeingForgetsTexturesAndTheMemoryBounds) {
  UseTextureMemory(3 * 4096);
  R3xGlideTexture* a = Register(64, 64, 7);
  _r3xGlideSelectTexture(glide_, a);
  R3xBitmap& bitmap = bitmaps_.back();
  EXPECT_EQ(r3xGlideFreeTextures(glide_), 0);
  EXPECT_EQ(bitmap.texture, nullptr);
  EXPECT_EQ(glide_->memoryTop, 0u);
  EXPECT_EQ(glide_->lruHead, nullptr);
  EXPECT_EQ(glide_->firstRegistered, nullptr);

  ASSERT_EQ(r3xGlideRegisterTexture(glide_, &bitmap), 0);
  Record();
  ASSERT_EQ(r3xGlideLoadTexture(glide_, static_cast<R3xGlideTexture*>(bitmap.texture)),
            R3X_GLIDE_LOADED);
  EXPECT_EQ(Calls().front(), "grTexMaxAddress(0)");
  EXPECT_EQ(static_cast<R3xGlideTexture*>(bitmap.texture)->start, 0u);
}

}  // namespace
