// The engine's object model: the header every registered object starts with, type codes,
// header flags, the per-type slot tables of a world, registration, tags and reference counts.
// Results: 0 or a negative R3X_ERR_ code.
#pragma once

#include <cstdint>

struct R3xWorld;

inline constexpr std::int32_t R3X_TYPE_NULL = 0;
inline constexpr std::int32_t R3X_TYPE_POLYHEDRON_DEF = 1;
inline constexpr std::int32_t R3X_TYPE_POLYHEDRON = 2;
inline constexpr std::int32_t R3X_TYPE_SPHERE_LIST_DEF = 3;
inline constexpr std::int32_t R3X_TYPE_SPHERE_LIST = 4;
inline constexpr std::int32_t R3X_TYPE_SIMPLE_SPRITE_DEF = 5;
inline constexpr std::int32_t R3X_TYPE_SIMPLE_SPRITE = 6;
inline constexpr std::int32_t R3X_TYPE_2D_SPRITE_DEF = 9;
inline constexpr std::int32_t R3X_TYPE_2D_SPRITE = 10;
inline constexpr std::int32_t R3X_TYPE_3D_SPRITE_DEF = 11;
inline constexpr std::int32_t R3X_TYPE_3D_SPRITE = 12;
inline constexpr std::int32_t R3X_TYPE_ACTOR_DEF = 23;
inline constexpr std::int32_t R3X_TYPE_ACTOR = 24;
inline constexpr std::int32_t R3X_TYPE_REGION = 25;
inline constexpr std::int32_t R3X_TYPE_BITMAP = 27;
inline constexpr std::int32_t R3X_TYPE_LIGHT_DEF = 28;
inline constexpr std::int32_t R3X_TYPE_LIGHT = 29;
inline constexpr std::int32_t R3X_TYPE_POINT_LIGHT = 30;
inline constexpr std::int32_t R3X_TYPE_DIRECTIONAL_LIGHT = 31;
inline constexpr std::int32_t R3X_TYPE_PALETTE = 35;
inline constexpr std::int32_t R3X_TYPE_SHADE_TABLE = 36;
inline constexpr std::int32_t R3X_TYPE_MESH_GEOMETRY = 37;
inline constexpr std::int32_t R3X_TYPE_OBSTACLE_LIST = 38;
inline constexpr std::int32_t R3X_TYPE_REGION_INFO = 39;
inline constexpr std::int32_t R3X_TYPE_INDEXED_GEOMETRY = 40;
inline constexpr std::int32_t R3X_TYPE_REGION_INFO_B = 41;
inline constexpr std::int32_t R3X_TYPE_SPHERE_VOLUME = 42;
inline constexpr std::int32_t R3X_TYPE_VOLUME_5W = 43;
inline constexpr std::int32_t R3X_TYPE_TWO_VALUE_VOLUME = 44;
inline constexpr std::int32_t R3X_TYPE_NO_COLLISION_VOLUME = 46;
inline constexpr std::int32_t R3X_TYPE_PLANE = 47;
inline constexpr std::int32_t R3X_TYPE_XY_LINE = 48;
inline constexpr std::int32_t R3X_TYPE_XY_EDGE = 49;
inline constexpr std::int32_t R3X_TYPE_XYZ_EDGE = 50;
inline constexpr std::int32_t R3X_TYPE_EDGE_POLYGON = 51;
inline constexpr std::int32_t R3X_TYPE_3D_SPRITE_FACE = 52;
inline constexpr std::int32_t R3X_TYPE_XY_VERTEX = 53;
inline constexpr std::int32_t R3X_TYPE_XYZ_VERTEX = 54;
inline constexpr std::int32_t R3X_TYPE_SURFACE = 55;
inline constexpr std::int32_t R3X_TYPE_OBSTACLE = 56;
inline constexpr std::int32_t R3X_TYPE_CAMERA = 57;
inline constexpr std::int32_t R3X_TYPE_WORLD = 58;

inline constexpr std::uint32_t R3X_FLAG_IN_DICTIONARY = 0x00000001;
inline constexpr std::uint32_t R3X_FLAG_TRANSFORM_DIRTY = 0x20000000;
inline constexpr std::uint32_t R3X_FLAG_HIDDEN = 0x40000000;
inline constexpr std::uint32_t R3X_FLAG_STATIC_INFLUENCE = 0x40000000;
inline constexpr std::uint32_t R3X_FLAG_STATIC = 0x80000000;

// The first fields of every registered object; the type's own fields follow.
struct R3xObjectHeader {
  std::int32_t type;
  // Index in the world's slot table of this type; -1 for an object made without a world.
  std::int32_t slot;
  // Owned, NUL-terminated, or null.
  char* tag;
  std::uint32_t flags;
  // The reference count of the counted types; every other type uses this word as its own.
  std::int32_t refCount;
};

// One slot of a slot table: a used slot holds its object, a free slot null and the index of
// the next free slot. A bitmap is handed out as the address of its slot.
struct R3xSlot {
  R3xObjectHeader* object;
  std::uint32_t nextFree;
};

// The registered objects of one type. The free chain ends at the index equal to the capacity.
struct R3xSlotTable {
  std::uint32_t count;
  std::uint32_t capacity;
  std::uint32_t freeHead;
  R3xSlot* slots;
};

// Takes a free slot of the object's type for it, growing the table by a quarter when full.
// 0, or R3X_ERR_FAILED (table unchanged) when the type is not registered, the table has no
// array, or it cannot grow. The bitmap table never grows while a bitmap is alive: bitmap
// handles point into its array.
std::int32_t r3xRegisterObject(R3xWorld* world, R3xObjectHeader* object);

// Gives the object's slot back and sets its slot field to -1: 0, or R3X_ERR_FAILED when the
// slot does not hold this object.
std::int32_t r3xUnregisterObject(R3xWorld* world, R3xObjectHeader* object);

// Destroys every object of one type with the type's destroy operation, passing over default
// instances, and frees the slot array once the table is empty. Returns the last destroy
// operation's result (0 when none ran), or R3X_ERR_FAILED, with nothing destroyed, for a type
// that is not registered or whose destroy operation is not available while objects exist.
std::int32_t r3xDestroyAllOfType(R3xWorld* world, std::int32_t type);

// Renames a registered object, keeping it in the world's tag dictionary under the new tag
// when it was entered and no other object holds that tag. 0, or R3X_ERR_FAILED for a type
// that is not registered, when the copy cannot be made (object unchanged), or when the
// object cannot be entered again under its new tag (it is then renamed but not entered).
std::int32_t r3xSetTag(R3xWorld* world, R3xObjectHeader* object, const char* tag);

// Add 1 to or subtract 1 from the reference count of an object of a counted type. 0, or
// R3X_ERR_FAILED for other types, and, with the count unchanged, for a release at 0 or an
// add at the largest count.
std::int32_t r3xAddRef(R3xObjectHeader* object);
std::int32_t r3xRelease(R3xObjectHeader* object);
