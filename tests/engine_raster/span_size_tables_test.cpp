#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <vector>

#include "engine/raster/affine_spans_internal.h"
#include "engine/raster/exact_spans_internal.h"
#include "engine/raster/persp_spans_internal.h"
#include "engine/raster/span_size_tables_internal.h"

namespace {

struct OpaqueMember {
  std::uint32_t width;
  std::uint32_t height;
  R3xSpanRoutine routine;
};
struct KeyedMember {
  std::uint32_t width;
  std::uint32_t height;
  R3xKeyedSpanRoutine routine;
};

// The size members each family has, as the routines name them.
template <int Mode>
std::vector<OpaqueMember> PerspOpaqueMembers() {
  return {{8, 16, &_r3xSpanPerspOpaque<Mode, 8, 16>},
          {16, 16, &_r3xSpanPerspOpaque<Mode, 16, 16>},
          {16, 32, &_r3xSpanPerspOpaque<Mode, 16, 32>},
          {32, 32, &_r3xSpanPerspOpaque<Mode, 32, 32>},
          {32, 64, &_r3xSpanPerspOpaque<Mode, 32, 64>},
          {64, 64, &_r3xSpanPerspOpaque<Mode, 64, 64>},
          {64, 128, &_r3xSpanPerspOpaque<Mode, 64, 128>},
          {128, 128, &_r3xSpanPerspOpaque<Mode, 128, 128>},
          {128, 256, &_r3xSpanPerspOpaque<Mode, 128, 256>},
          {256, 256, &_r3xSpanPerspOpaque<Mode, 256, 256>}};
}
template <int Mode>
std::vector<KeyedMember> PerspKeyedMembers() {
  return {{32, 32, &_r3xSpanPerspKeyed<Mode, 32, 32>},
          {32, 64, &_r3xSpanPerspKeyed<Mode, 32, 64>},
          {64, 64, &_r3xSpanPerspKeyed<Mode, 64, 64>},
          {64, 128, &_r3xSpanPerspKeyed<Mode, 64, 128>},
          {128, 128, &_r3xSpanPerspKeyed<Mode, 128, 128>}};
}

template <int Mode>
std::vector<OpaqueMember> AffineOpaqueMembers() {
  return {{8, 16, &_r3xSpanAffineOpaque<Mode, 8, 16>},
          {16, 16, &_r3xSpanAffineOpaque<Mode, 16, 16>},
          {16, 32, &_r3xSpanAffineOpaque<Mode, 16, 32>},
          {32, 32, &_r3xSpanAffineOpaque<Mode, 32, 32>},
          {32, 64, &_r3xSpanAffineOpaque<Mode, 32, 64>},
          {64, 64, &_r3xSpanAffineOpaque<Mode, 64, 64>},
          {64, 128, &_r3xSpanAffineOpaque<Mode, 64, 128>},
          {128, 128, &_r3xSpanAffineOpaque<Mode, 128, 128>},
          {128, 256, &_r3xSpanAffineOpaque<Mode, 128, 256>},
          {256, 256, &_r3xSpanAffineOpaque<Mode, 256, 256>}};
}
template <int Mode>
std::vector<KeyedMember> AffineKeyedMembers() {
  return {{32, 32, &_r3xSpanAffineKeyed<Mode, 32, 32>},
          {32, 64, &_r3xSpanAffineKeyed<Mode, 32, 64>},
          {64, 64, &_r3xSpanAffineKeyed<Mode, 64, 64>},
          {64, 128, &_r3xSpanAffineKeyed<Mode, 64, 128>},
          {128, 128, &_r3xSpanAffineKeyed<Mode, 128, 128>}};
}

// What a slot of a family's block holds: the member of its size, the generic member for a size
// without one, nothing for 512 x 1024.
template <class Member, class Routine>
Routine Expected(const std::vector<Member>& members, Routine generic, std::int32_t index,
                 bool tall) {
  const std::uint32_t width = 1u << index;
  const std::uint32_t height = tall ? 2 * width : width;
  if (height > 512) {
    return nullptr;
  }
  for (const Member& member : members) {
    if (member.width == width && member.height == height) {
      return member.routine;
    }
  }
  return generic;
}

void ExpectOpaqueBlock(std::int32_t b, R3xSpanRoutine generic,
                       const std::vector<OpaqueMember>& members) {
  for (std::int32_t i = 0; i < R3X_SPAN_SIZE_SLOTS; ++i) {
    EXPECT_EQ(_r3xSpanSizeTables[b].square[i].opaque, Expected(members, generic, i, false))
        << "block " << b << " square " << i;
    EXPECT_EQ(_r3xSpanSizeTables[b].tall[i].opaque, Expected(members, generic, i, true))
        << "block " << b << " tall " << i;
  }
}
void ExpectKeyedBlock(std::int32_t b, R3xKeyedSpanRoutine generic,
                      const std::vector<KeyedMember>& members) {
  for (std::int32_t i = 0; i < R3X_SPAN_SIZE_SLOTS; ++i) {
    EXPECT_EQ(_r3xSpanSizeTables[b].square[i].keyed, Expected(members, generic, i, false))
        << "block " << b << " square " << i;
    EXPECT_EQ(_r3xSpanSizeTables[b].tall[i].keyed, Expected(members, generic, i, true))
        << "block " << b << " tall " << i;
  }
}

TEST(SpanSizeTablesTest, EveryPerspectiveBlockNamesItsFamilysMembers) {
  ExpectOpaqueBlock(9, _r3xSpanPerspOpaqueMode1, PerspOpaqueMembers<1>());
  ExpectOpaqueBlock(10, _r3xSpanPerspOpaqueMode2, PerspOpaqueMembers<2>());
  ExpectOpaqueBlock(11, _r3xSpanPerspOpaqueMode3, PerspOpaqueMembers<3>());
  ExpectOpaqueBlock(12, _r3xSpanPerspOpaqueMode4, PerspOpaqueMembers<4>());
  ExpectOpaqueBlock(13, _r3xSpanPerspOpaqueMode5, PerspOpaqueMembers<5>());
  ExpectKeyedBlock(14, _r3xSpanPerspKeyedMode1, PerspKeyedMembers<1>());
  ExpectKeyedBlock(15, _r3xSpanPerspKeyedMode2, PerspKeyedMembers<2>());
  ExpectKeyedBlock(16, _r3xSpanPerspKeyedMode3, PerspKeyedMembers<3>());
  ExpectKeyedBlock(17, _r3xSpanPerspKeyedMode4, PerspKeyedMembers<4>());
  ExpectOpaqueBlock(19, _r3xSpanPerspOpaqueMode1, PerspOpaqueMembers<1>());
}

TEST(SpanSizeTablesTest, EveryAffineBlockNamesItsFamilysMembers) {
  ExpectOpaqueBlock(0, _r3xSpanAffineOpaqueMode1, AffineOpaqueMembers<1>());
  ExpectOpaqueBlock(1, _r3xSpanAffineOpaqueMode2, AffineOpaqueMembers<2>());
  ExpectOpaqueBlock(2, _r3xSpanAffineOpaqueMode3, AffineOpaqueMembers<3>());
  ExpectOpaqueBlock(3, _r3xSpanAffineOpaqueMode4, AffineOpaqueMembers<4>());
  ExpectOpaqueBlock(4, _r3xSpanAffineOpaqueMode5, AffineOpaqueMembers<5>());
  ExpectKeyedBlock(5, _r3xSpanAffineKeyedMode1, AffineKeyedMembers<1>());
  ExpectKeyedBlock(6, _r3xSpanAffineKeyedMode2, AffineKeyedMembers<2>());
  ExpectKeyedBlock(7, _r3xSpanAffineKeyedMode3, AffineKeyedMembers<3>());
  ExpectKeyedBlock(8, _r3xSpanAffineKeyedMode4, AffineKeyedMembers<4>());
  ExpectOpaqueBlock(18, _r3xSpanAffineOpaqueMode1, AffineOpaqueMembers<1>());
}

R3xSpanState Level(std::uint32_t width, std::uint32_t height, std::int32_t widthShift) {
  R3xSpanState span{};
  span.textureWidth = width;
  span.textureHeight = height;
  span.widthShift = widthShift;
  return span;
}
R3xSpanState Level(std::uint32_t width, std::uint32_t height) {
  return Level(width, height, std::countr_zero(width));
}

TEST(SpanSizeTablesTest, ALookUpFindsTheMemberOfTheLevelsSizeOrKeepsTheRoutine) {
  struct OpaqueCase {
    std::uint32_t width;
    std::uint32_t height;
    R3xSpanRoutine routine;
    R3xSpanRoutine found;
  };
  const std::vector<OpaqueCase> opaque = {
      {64, 64, _r3xSpanPerspOpaqueMode3, &_r3xSpanPerspOpaque<3, 64, 64>},
      {64, 128, _r3xSpanPerspOpaqueMode3, &_r3xSpanPerspOpaque<3, 64, 128>},
      {8, 16, _r3xSpanPerspOpaqueMode1, &_r3xSpanPerspOpaque<1, 8, 16>},
      {16, 16, _r3xSpanPerspOpaqueMode2, &_r3xSpanPerspOpaque<2, 16, 16>},
      {128, 256, _r3xSpanPerspOpaqueMode4, &_r3xSpanPerspOpaque<4, 128, 256>},
      {256, 256, _r3xSpanPerspOpaqueMode5, &_r3xSpanPerspOpaque<5, 256, 256>},
      {256, 512, _r3xSpanPerspOpaqueMode1, _r3xSpanPerspOpaqueMode1},
      {512, 512, _r3xSpanPerspOpaqueMode2, _r3xSpanPerspOpaqueMode2},
      {8, 8, _r3xSpanPerspOpaqueMode3, _r3xSpanPerspOpaqueMode3},
      {4, 8, _r3xSpanPerspOpaqueMode3, _r3xSpanPerspOpaqueMode3},
      {32, 16, _r3xSpanPerspOpaqueMode1, _r3xSpanPerspOpaqueMode1},
      {16, 64, _r3xSpanPerspOpaqueMode1, _r3xSpanPerspOpaqueMode1},
      // A routine that no block holds as its generic member.
      {64, 64, _r3xSpanExactOpaqueMode1, _r3xSpanExactOpaqueMode1},
      {64, 64, &_r3xSpanPerspOpaque<1, 32, 32>, &_r3xSpanPerspOpaque<1, 32, 32>},
  };
  for (const OpaqueCase& c : opaque) {
    EXPECT_EQ(_r3xSpanSizeMemberOpaque(Level(c.width, c.height), c.routine), c.found)
        << c.width << "x" << c.height;
  }
  struct KeyedCase {
    std::uint32_t width;
    std::uint32_t height;
    R3xKeyedSpanRoutine routine;
    R3xKeyedSpanRoutine found;
  };
  const std::vector<KeyedCase> keyed = {
      {8, 16, _r3xSpanPerspKeyedMode1, _r3xSpanPerspKeyedMode1},
      {16, 16, _r3xSpanPerspKeyedMode2, _r3xSpanPerspKeyedMode2},
      {32, 64, _r3xSpanPerspKeyedMode3, &_r3xSpanPerspKeyed<3, 32, 64>},
      {128, 128, _r3xSpanPerspKeyedMode4, &_r3xSpanPerspKeyed<4, 128, 128>},
      {128, 256, _r3xSpanPerspKeyedMode1, _r3xSpanPerspKeyedMode1},
      {256, 256, _r3xSpanPerspKeyedMode2, _r3xSpanPerspKeyedMode2},
      {64, 64, _r3xSpanExactKeyedMode1, _r3xSpanExactKeyedMode1},
  };
  for (const KeyedCase& c : keyed) {
    EXPECT_EQ(_r3xSpanSizeMemberKeyed(Level(c.width, c.height), c.routine), c.found)
        << c.width << "x" << c.height;
  }
  // The colour drawer looks up its own block only.
  EXPECT_EQ(_r3xSpanSizeMemberColour(Level(64, 128), _r3xSpanPerspOpaqueMode1),
            (&_r3xSpanPerspOpaque<1, 64, 128>));
  EXPECT_EQ(_r3xSpanSizeMemberColour(Level(64, 128), _r3xSpanPerspOpaqueMode3),
            _r3xSpanPerspOpaqueMode3);
}

TEST(SpanSizeTablesTest, AnAffineLookUpFindsTheMemberOfTheLevelsSize) {
  struct OpaqueCase {
    std::uint32_t width;
    std::uint32_t height;
    R3xSpanRoutine routine;
    R3xSpanRoutine found;
  };
  const std::vector<OpaqueCase> opaque = {
      {64, 64, _r3xSpanAffineOpaqueMode5, &_r3xSpanAffineOpaque<5, 64, 64>},
      {64, 128, _r3xSpanAffineOpaqueMode5, &_r3xSpanAffineOpaque<5, 64, 128>},
      {8, 16, _r3xSpanAffineOpaqueMode1, &_r3xSpanAffineOpaque<1, 8, 16>},
      {256, 256, _r3xSpanAffineOpaqueMode3, &_r3xSpanAffineOpaque<3, 256, 256>},
      {8, 8, _r3xSpanAffineOpaqueMode2, _r3xSpanAffineOpaqueMode2},
      {256, 512, _r3xSpanAffineOpaqueMode4, _r3xSpanAffineOpaqueMode4},
      {512, 512, _r3xSpanAffineOpaqueMode1, _r3xSpanAffineOpaqueMode1},
      {4, 4, _r3xSpanAffineOpaqueMode1, _r3xSpanAffineOpaqueMode1},
      {32, 16, _r3xSpanAffineOpaqueMode1, _r3xSpanAffineOpaqueMode1},
      {16, 64, _r3xSpanAffineOpaqueMode5, _r3xSpanAffineOpaqueMode5},
      {512, 1024, _r3xSpanAffineOpaqueMode3, _r3xSpanAffineOpaqueMode3},
  };
  for (const OpaqueCase& c : opaque) {
    EXPECT_EQ(_r3xSpanSizeMemberOpaque(Level(c.width, c.height), c.routine), c.found)
        << c.width << "x" << c.height;
  }
  struct KeyedCase {
    std::uint32_t width;
    std::uint32_t height;
    R3xKeyedSpanRoutine routine;
    R3xKeyedSpanRoutine found;
  };
  const std::vector<KeyedCase> keyed = {
      {8, 16, _r3xSpanAffineKeyedMode1, _r3xSpanAffineKeyedMode1},
      {32, 32, _r3xSpanAffineKeyedMode2, &_r3xSpanAffineKeyed<2, 32, 32>},
      {64, 128, _r3xSpanAffineKeyedMode3, &_r3xSpanAffineKeyed<3, 64, 128>},
      {128, 128, _r3xSpanAffineKeyedMode4, &_r3xSpanAffineKeyed<4, 128, 128>},
      {128, 256, _r3xSpanAffineKeyedMode4, _r3xSpanAffineKeyedMode4},
      {256, 256, _r3xSpanAffineKeyedMode1, _r3xSpanAffineKeyedMode1},
      {512, 1024, _r3xSpanAffineKeyedMode2, _r3xSpanAffineKeyedMode2},
  };
  for (const KeyedCase& c : keyed) {
    EXPECT_EQ(_r3xSpanSizeMemberKeyed(Level(c.width, c.height), c.routine), c.found)
        << c.width << "x" << c.height;
  }
  // The colour drawer gets from its affine block what the 8-bit drawer gets from block 0, and
  // nothing for another family.
  for (const std::uint32_t width : {4u, 8u, 16u, 64u, 256u}) {
    for (const std::uint32_t height : {width, 2 * width}) {
      EXPECT_EQ(_r3xSpanSizeMemberColour(Level(width, height), _r3xSpanAffineOpaqueMode1),
                _r3xSpanSizeMemberOpaque(Level(width, height), _r3xSpanAffineOpaqueMode1));
    }
  }
  EXPECT_EQ(_r3xSpanSizeMemberColour(Level(64, 64), _r3xSpanAffineOpaqueMode2),
            _r3xSpanAffineOpaqueMode2);
}

// The original called whatever a slot held: 512 x 1024's empty slot, or a word past the arrays
// for a log2 width above 9. The look-up keeps the generic member there instead.
TEST(SpanSizeTablesTest, AnEmptySlotOrAnIndexPastTheArraysKeepsTheGenericMember) {
  EXPECT_EQ(_r3xSpanSizeMemberOpaque(Level(512, 1024), _r3xSpanPerspOpaqueMode1),
            _r3xSpanPerspOpaqueMode1);
  EXPECT_EQ(_r3xSpanSizeMemberKeyed(Level(512, 1024), _r3xSpanPerspKeyedMode2),
            _r3xSpanPerspKeyedMode2);
  EXPECT_EQ(_r3xSpanSizeMemberColour(Level(512, 1024), _r3xSpanPerspOpaqueMode1),
            _r3xSpanPerspOpaqueMode1);
  EXPECT_EQ(_r3xSpanSizeMemberOpaque(Level(1024, 1024), _r3xSpanPerspOpaqueMode2),
            _r3xSpanPerspOpaqueMode2);
  EXPECT_EQ(_r3xSpanSizeMemberOpaque(Level(64, 64, 4096), _r3xSpanPerspOpaqueMode5),
            _r3xSpanPerspOpaqueMode5);
}

}  // namespace
