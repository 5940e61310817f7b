// The span size tables are built here from the families' templates, so that every entry names an
// instantiation and the sizes are written once per kind of block: every opaque family, affine or
// perspective, has the same ten size members, every keyed family the same five.
#include <bit>
#include <cstdint>

#include "engine/raster/affine_spans_internal.h"
#include "engine/raster/persp_spans_internal.h"
#include "engine/raster/span_size_tables_internal.h"

namespace {

// The slot of a Width x Height level: square, or twice as high as wide.
template <std::uint32_t Width, std::uint32_t Height>
constexpr R3xSpanSizeEntry& Slot(R3xSpanSizeBlock& block) {
  static_assert(Height == Width || Height == 2 * Width);
  constexpr std::int32_t index = std::countr_zero(Width);
  if constexpr (Height == Width) {
    return block.square[index];
  } else {
    return block.tall[index];
  }
}

// Every slot the generic member, but 512 x 1024, which no routine serves.
constexpr R3xSpanSizeBlock OpaqueGenericBlock(R3xSpanRoutine generic) {
  R3xSpanSizeBlock block{};
  for (std::int32_t i = 0; i < R3X_SPAN_SIZE_SLOTS; ++i) {
    block.square[i].opaque = generic;
    block.tall[i].opaque = i + 1 < R3X_SPAN_SIZE_SLOTS ? generic : nullptr;
  }
  return block;
}
constexpr R3xSpanSizeBlock KeyedGenericBlock(R3xKeyedSpanRoutine generic) {
  R3xSpanSizeBlock block{};
  for (std::int32_t i = 0; i < R3X_SPAN_SIZE_SLOTS; ++i) {
    block.square[i].keyed = generic;
    block.tall[i].keyed = i + 1 < R3X_SPAN_SIZE_SLOTS ? generic : nullptr;
  }
  return block;
}

// A family, for the block builders: its member for a Width x Height level (0 x 0 the generic).
template <int Mode>
struct AffineOpaqueFamily {
  template <std::uint32_t Width, std::uint32_t Height>
  static constexpr R3xSpanRoutine kMember = &_r3xSpanAffineOpaque<Mode, Width, Height>;
};
template <int Mode>
struct AffineKeyedFamily {
  template <std::uint32_t Width, std::uint32_t Height>
  static constexpr R3xKeyedSpanRoutine kMember = &_r3xSpanAffineKeyed<Mode, Width, Height>;
};
template <int Mode>
struct PerspOpaqueFamily {
  template <std::uint32_t Width, std::uint32_t Height>
  static constexpr R3xSpanRoutine kMember = &_r3xSpanPerspOpaque<Mode, Width, Height>;
};
template <int Mode>
struct PerspKeyedFamily {
  template <std::uint32_t Width, std::uint32_t Height>
  static constexpr R3xKeyedSpanRoutine kMember = &_r3xSpanPerspKeyed<Mode, Width, Height>;
};

// Opaque families: 16 x 16 to 256 x 256, and 8 x 16 to 128 x 256.
template <class Family>
constexpr R3xSpanSizeBlock OpaqueBlock() {
  R3xSpanSizeBlock block = OpaqueGenericBlock(Family::template kMember<0, 0>);
  Slot<8, 16>(block).opaque = Family::template kMember<8, 16>;
  Slot<16, 16>(block).opaque = Family::template kMember<16, 16>;
  Slot<16, 32>(block).opaque = Family::template kMember<16, 32>;
  Slot<32, 32>(block).opaque = Family::template kMember<32, 32>;
  Slot<32, 64>(block).opaque = Family::template kMember<32, 64>;
  Slot<64, 64>(block).opaque = Family::template kMember<64, 64>;
  Slot<64, 128>(block).opaque = Family::template kMember<64, 128>;
  Slot<128, 128>(block).opaque = Family::template kMember<128, 128>;
  Slot<128, 256>(block).opaque = Family::template kMember<128, 256>;
  Slot<256, 256>(block).opaque = Family::template kMember<256, 256>;
  return block;
}

// Keyed families: 32 x 32 to 128 x 128, 32 x 64 and 64 x 128.
template <class Family>
constexpr R3xSpanSizeBlock KeyedBlock() {
  R3xSpanSizeBlock block = KeyedGenericBlock(Family::template kMember<0, 0>);
  Slot<32, 32>(block).keyed = Family::template kMember<32, 32>;
  Slot<32, 64>(block).keyed = Family::template kMember<32, 64>;
  Slot<64, 64>(block).keyed = Family::template kMember<64, 64>;
  Slot<64, 128>(block).keyed = Family::template kMember<64, 128>;
  Slot<128, 128>(block).keyed = Family::template kMember<128, 128>;
  return block;
}

// The level's slot of a block, or null for a level of another shape or an index past the arrays.
const R3xSpanSizeEntry* LevelSlot(const R3xSpanState& span, const R3xSpanSizeBlock& block) {
  const std::int32_t index = span.widthShift;
  if (index < 0 || index >= R3X_SPAN_SIZE_SLOTS) {
    return nullptr;
  }
  if (span.textureHeight == span.textureWidth) {
    return &block.square[index];
  }
  if (span.textureHeight == 2 * span.textureWidth) {
    return &block.tall[index];
  }
  return nullptr;
}

// The member for the level of the family whose generic member is `routine`, from the blocks
// first .. end - 1 of one kind.
template <class Routine>
Routine Member(const R3xSpanState& span, Routine routine, Routine R3xSpanSizeEntry::*kind,
               std::int32_t first, std::int32_t end) {
  for (std::int32_t b = first; b < end; ++b) {
    const R3xSpanSizeBlock& block = _r3xSpanSizeTables[b];
    if (routine == nullptr || block.square[0].*kind != routine) {
      continue;
    }
    const R3xSpanSizeEntry* slot = LevelSlot(span, block);
    return slot != nullptr && slot->*kind != nullptr ? slot->*kind : routine;
  }
  return routine;
}

}  // namespace

constexpr R3xSpanSizeBlock _r3xSpanSizeTables[R3X_SPAN_SIZE_BLOCKS] = {
    // 0 to 8: the 8-bit drawer's affine families.
    OpaqueBlock<AffineOpaqueFamily<1>>(),
    OpaqueBlock<AffineOpaqueFamily<2>>(),
    OpaqueBlock<AffineOpaqueFamily<3>>(),
    OpaqueBlock<AffineOpaqueFamily<4>>(),
    OpaqueBlock<AffineOpaqueFamily<5>>(),
    KeyedBlock<AffineKeyedFamily<1>>(),
    KeyedBlock<AffineKeyedFamily<2>>(),
    KeyedBlock<AffineKeyedFamily<3>>(),
    KeyedBlock<AffineKeyedFamily<4>>(),
    // 9 to 17: its perspective families.
    OpaqueBlock<PerspOpaqueFamily<1>>(),
    OpaqueBlock<PerspOpaqueFamily<2>>(),
    OpaqueBlock<PerspOpaqueFamily<3>>(),
    OpaqueBlock<PerspOpaqueFamily<4>>(),
    OpaqueBlock<PerspOpaqueFamily<5>>(),
    KeyedBlock<PerspKeyedFamily<1>>(),
    KeyedBlock<PerspKeyedFamily<2>>(),
    KeyedBlock<PerspKeyedFamily<3>>(),
    KeyedBlock<PerspKeyedFamily<4>>(),
    // 18 and 19: the colour drawer's texel fetch.
    OpaqueBlock<AffineOpaqueFamily<1>>(),
    OpaqueBlock<PerspOpaqueFamily<1>>(),
};

R3xSpanRoutine _r3xSpanSizeMemberOpaque(const R3xSpanState& span, R3xSpanRoutine routine) {
  const R3xSpanRoutine affine = Member(span, routine, &R3xSpanSizeEntry::opaque,
                                       R3X_SPAN_BLOCK_AFFINE_OPAQUE, R3X_SPAN_BLOCK_AFFINE_KEYED);
  return affine != routine ? affine
                           : Member(span, routine, &R3xSpanSizeEntry::opaque,
                                    R3X_SPAN_BLOCK_PERSP_OPAQUE, R3X_SPAN_BLOCK_PERSP_KEYED);
}

R3xKeyedSpanRoutine _r3xSpanSizeMemberKeyed(const R3xSpanState& span, R3xKeyedSpanRoutine routine) {
  const R3xKeyedSpanRoutine affine =
      Member(span, routine, &R3xSpanSizeEntry::keyed, R3X_SPAN_BLOCK_AFFINE_KEYED,
             R3X_SPAN_BLOCK_PERSP_OPAQUE);
  return affine != routine ? affine
                           : Member(span, routine, &R3xSpanSizeEntry::keyed,
                                    R3X_SPAN_BLOCK_PERSP_KEYED, R3X_SPAN_BLOCK_COLOUR_AFFINE);
}

R3xSpanRoutine _r3xSpanSizeMemberColour(const R3xSpanState& span, R3xSpanRoutine routine) {
  return Member(span, routine, &R3xSpanSizeEntry::opaque, R3X_SPAN_BLOCK_COLOUR_AFFINE,
                R3X_SPAN_SIZE_BLOCKS);
}
