// The texture cache: registration of bitmaps as textures, placement by address in texture
// memory, least-recently-used eviction, selection and release.
#include <cstddef>
#include <cstdint>

#include "base/pixel16.h"
#include "engine/core/bitmap.h"
#include "engine/core/memory.h"
#include "engine/display/glide_context.h"
#include "engine/display/glide_texture_internal.h"

namespace {

constexpr std::uint32_t kLargestSide = 256;

// The level-of-detail code of a side (256 -> 0 ... 1 -> 8), or -1 when the side is not a power
// of two from 1 to 256.
int LodOfSide(std::uint32_t side) {
  for (int lod = GR_LOD_256; lod <= GR_LOD_1; ++lod) {
    if (side == kLargestSide >> lod) {
      return lod;
    }
  }
  return -1;
}

// The aspect code of width : height, or -1 for a ratio the board does not have. The larger
// side must be exactly 2, 4 or 8 times the smaller: a smaller side that only rounds down to
// such a quotient (256 x 96) is no power of two, and the board would read the 256 x 128
// texels of the aspect from pixels that hold fewer.
int AspectOf(std::uint32_t width, std::uint32_t height) {
  if (width == height) {
    return GR_ASPECT_1x1;
  }
  const std::uint32_t larger = width > height ? width : height;
  const std::uint32_t smaller = width > height ? height : width;
  const std::uint32_t quotient = larger / smaller;
  const int steps = quotient == 2 ? 1 : quotient == 4 ? 2 : quotient == 8 ? 3 : 0;
  if (steps == 0 || quotient * smaller != larger) {
    return -1;
  }
  return width > height ? GR_ASPECT_1x1 - steps : GR_ASPECT_1x1 + steps;
}

// Texels in all levels, each level half the one before it on both sides, at least 1.
std::size_t TexelsOfLevels(std::uint32_t width, std::uint32_t height, int levels) {
  std::size_t texels = 0;
  for (int level = 0; level < levels; ++level) {
    const std::size_t w = width >> level == 0 ? 1 : width >> level;
    const std::size_t h = height >> level == 0 ? 1 : height >> level;
    texels += w * h;
  }
  return texels;
}

bool IsResident(const R3xGlideTexture* texture) { return texture->start != R3X_GLIDE_NOT_RESIDENT; }

void UnlinkLru(R3xGlideContext* context, R3xGlideTexture* texture) {
  (texture->lruPrevious != nullptr ? texture->lruPrevious->lruNext : context->lruHead) =
      texture->lruNext;
  (texture->lruNext != nullptr ? texture->lruNext->lruPrevious : context->lruTail) =
      texture->lruPrevious;
  texture->lruPrevious = nullptr;
  texture->lruNext = nullptr;
}

void PushLruHead(R3xGlideContext* context, R3xGlideTexture* texture) {
  texture->lruNext = context->lruHead;
  (context->lruHead != nullptr ? context->lruHead->lruPrevious : context->lruTail) = texture;
  context->lruHead = texture;
}

void PushLruTail(R3xGlideContext* context, R3xGlideTexture* texture) {
  texture->lruPrevious = context->lruTail;
  (context->lruTail != nullptr ? context->lruTail->lruNext : context->lruHead) = texture;
  context->lruTail = texture;
}

// Links a texture into the address list between two neighbours (either may be null).
void LinkBetween(R3xGlideContext* context, R3xGlideTexture* texture, R3xGlideTexture* lower,
                 R3xGlideTexture* higher) {
  texture->lower = lower;
  texture->higher = higher;
  (lower != nullptr ? lower->higher : context->lowestResident) = texture;
  (higher != nullptr ? higher->lower : context->highestResident) = texture;
}

void UnlinkAddress(R3xGlideContext* context, R3xGlideTexture* texture) {
  (texture->lower != nullptr ? texture->lower->higher : context->lowestResident) = texture->higher;
  (texture->higher != nullptr ? texture->higher->lower : context->highestResident) = texture->lower;
  texture->lower = nullptr;
  texture->higher = nullptr;
}

std::int32_t Place(R3xGlideContext* context, R3xGlideTexture* texture, std::uint32_t start,
                   R3xGlideTexture* lower, R3xGlideTexture* higher) {
  LinkBetween(context, texture, lower, higher);
  texture->start = start;
  grTexDownloadMipMap(GR_TMU0, start, GR_MIPMAPLEVELMASK_BOTH, &texture->info);
  return R3X_GLIDE_LOADED;
}

// Evicts resident textures from the least recently used on, widening the hole each leaves
// towards lower addresses first, until the texture fits.
std::int32_t PlaceByEviction(R3xGlideContext* context, R3xGlideTexture* texture) {
  const std::uint32_t need = texture->size;
  R3xGlideTexture* victim = context->lruTail;
  while (victim != nullptr && !IsResident(victim)) {
    victim = victim->lruPrevious;
  }
  while (victim != nullptr) {
    R3xGlideTexture* lower = victim->lower;
    R3xGlideTexture* higher = victim->higher;
    UnlinkLru(context, victim);
    PushLruTail(context, victim);
    victim->start = R3X_GLIDE_NOT_RESIDENT;
    UnlinkAddress(context, victim);
    const std::uint32_t holeStart =
        lower != nullptr ? lower->start + lower->size : context->memoryBottom;
    const std::uint32_t holeEnd = higher != nullptr ? higher->start : context->memoryTop;
    if (holeEnd - holeStart >= need) {
      return Place(context, texture, holeStart, lower, higher);
    }
    victim = lower != nullptr ? lower : higher;
  }
  return R3X_GLIDE_NOT_PLACED;
}

}  // namespace

void _r3xConvertTexelsTo565(const std::uint8_t* texels, std::size_t count,
                            const std::uint8_t* colourTable, std::uint16_t* out) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* entry = colourTable + 4 * static_cast<std::size_t>(texels[i]);
    out[i] = static_cast<std::uint16_t>(arena::Pack565(arena::Rgb(entry[0], entry[1], entry[2])));
  }
}

std::int32_t r3xGlideRegisterTexture(R3xGlideContext* context, R3xBitmap* bitmap) {
  const auto width = static_cast<std::uint32_t>(bitmap->width);
  const auto height = static_cast<std::uint32_t>(bitmap->height);
  const std::int32_t furtherLevels = bitmap->lastFrame;
  const std::uint32_t larger = width > height ? width : height;
  const int aspect = width == 0 || height == 0 ? -1 : AspectOf(width, height);
  const int largeLod = LodOfSide(larger);
  const int smallLod =
      furtherLevels < 0 || furtherLevels > GR_LOD_1 ? -1 : LodOfSide(larger >> furtherLevels);
  // Texels are palette indices or bytes to convert: an image of another depth has none, unless
  // it brings a colour table to read its bytes through.
  const bool hasTexels = bitmap->bitCount == 8 || bitmap->colourTable != nullptr;
  if (aspect < 0 || largeLod < 0 || smallLod < 0 || !hasTexels) {
    return R3X_ERR_FAILED;
  }
  // The board reads every level from the pixel data: it must hold them all.
  if (bitmap->pixels == nullptr ||
      bitmap->pixelBytes < TexelsOfLevels(width, height, furtherLevels + 1)) {
    return R3X_ERR_FAILED;
  }
  auto* texture = static_cast<R3xGlideTexture*>(r3xMalloc(sizeof(R3xGlideTexture)));
  if (texture == nullptr) {
    return R3X_ERR_FAILED;
  }
  texture->bitmap = bitmap;
  texture->start = R3X_GLIDE_NOT_RESIDENT;
  texture->texelScale = static_cast<float>(kLargestSide) / static_cast<float>(larger);
  texture->info = {smallLod, largeLod, aspect, GR_TEXFMT_P_8, bitmap->pixels};
  if (bitmap->colourTable != nullptr) {
    auto* converted = static_cast<std::uint16_t*>(r3xMalloc(2 * bitmap->pixelBytes));
    if (converted == nullptr) {
      r3xFree(texture);
      return R3X_ERR_FAILED;
    }
    _r3xConvertTexelsTo565(bitmap->pixels, bitmap->pixelBytes, bitmap->colourTable, converted);
    texture->info.format = GR_TEXFMT_RGB_565;
    texture->info.data = converted;
  }
  texture->size = grTexTextureMemRequired(GR_MIPMAPLEVELMASK_BOTH, &texture->info);
  PushLruHead(context, texture);
  (context->lastRegistered != nullptr ? context->lastRegistered->nextRegistered
                                      : context->firstRegistered) = texture;
  context->lastRegistered = texture;
  bitmap->texture = texture;
  return 0;
}

std::int32_t r3xGlideLoadTexture(R3xGlideContext* context, R3xGlideTexture* texture) {
  if (context->memoryTop == 0) {
    context->memoryTop = grTexMaxAddress(GR_TMU0) + 8;
    context->memoryBottom = grTexMinAddress(GR_TMU0);
  }
  const std::uint32_t need = texture->size;
  std::uint32_t limit = context->memoryTop;
  for (R3xGlideTexture* resident = context->highestResident; resident != nullptr;
       resident = resident->lower) {
    const std::uint32_t end = resident->start + resident->size;
    if (limit - end >= need) {
      return Place(context, texture, end, resident, resident->higher);
    }
    limit = resident->start;
  }
  if (limit - context->memoryBottom >= need) {
    return Place(context, texture, context->memoryBottom, nullptr, context->lowestResident);
  }
  return PlaceByEviction(context, texture);
}

std::int32_t _r3xGlideSelectTexture(R3xGlideContext* context, R3xGlideTexture* texture) {
  if (!IsResident(texture) && r3xGlideLoadTexture(context, texture) == R3X_GLIDE_NOT_PLACED) {
    return R3X_GLIDE_NOT_SELECTED;
  }
  UnlinkLru(context, texture);
  PushLruHead(context, texture);
  grTexSource(GR_TMU0, texture->start, GR_MIPMAPLEVELMASK_BOTH, &texture->info);
  return R3X_GLIDE_SELECTED;
}

std::int32_t r3xGlideSelectBitmap(R3xGlideContext* context, R3xBitmap* bitmap) {
  if (bitmap == nullptr) {
    return R3X_ERR_FAILED;
  }
  if (bitmap->texture == nullptr && r3xGlideRegisterTexture(context, bitmap) != 0) {
    return R3X_ERR_FAILED;
  }
  auto* texture = static_cast<R3xGlideTexture*>(bitmap->texture);
  return _r3xGlideSelectTexture(context, texture) == R3X_GLIDE_SELECTED ? 0 : R3X_ERR_FAILED;
}

std::int32_t r3xGlideFreeTextures(R3xGlideContext* context) {
  R3xGlideTexture* texture = context->firstRegistered;
  while (texture != nullptr) {
    R3xGlideTexture* next = texture->nextRegistered;
    if (texture->info.format == GR_TEXFMT_RGB_565) {
      r3xFree(texture->info.data);
    }
    texture->bitmap->texture = nullptr;
    r3xFree(texture);
    texture = next;
  }
  context->lruHead = nullptr;
  context->lruTail = nullptr;
  context->lowestResident = nullptr;
  context->highestResident = nullptr;
  context->firstRegistered = nullptr;
  context->lastRegistered = nullptr;
  context->memoryBottom = 0;
  context->memoryTop = 0;
  return 0;
}
