// The engine world: the root of every engine object, with one slot table per registered type
// and the tag dictionary. Destroying the world destroys every object in it.
// Results: an object, or null; 0 or a negative R3X_ERR_ code.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/core/load_error.h"
#include "engine/core/object.h"

struct R3xTagDictionary;
struct R3xWorldNode;
struct R3xRenderDevice;

// A vertex array that was replaced while regions pointed into it; freed with the world.
struct R3xRetiredVertices {
  R3xRetiredVertices* next;
  float* vertices;
};

struct R3xWorld {
  std::int32_t type;
  // Owned block of a precompiled world's tag strings, or null.
  void* nameBlock;
  // Animation clock in milliseconds.
  std::uint32_t time;
  // Root of the BSP tree; its block is allocated bspOffset bytes before the root.
  R3xWorldNode* bspRoot;
  std::size_t bspOffset;
  // Non-zero when two nodes of the tree share a child (a world file may build it so): sphere
  // walks then keep a record of the nodes they reach, so that each is walked once.
  std::uint32_t bspSharesNodes;
  // Owned, or null.
  void* worldString;
  R3xSlotTable regions;
  R3xTagDictionary* dictionary;
  // Non-zero: 8-bit bitmaps loaded afterwards keep a copy of their file's colour table.
  std::int32_t bitmapColourTableFlag;
  std::uint32_t bspStackCapacity;
  R3xWorldNode** bspStack;
  // Kept for the creator, never interpreted.
  void* creator;
  // Owned copy, or null.
  char* defaultPalette;
  R3xRenderDevice* device;
  R3xSlotTable sphereListDefs;
  R3xSlotTable polyhedronDefs;
  R3xSlotTable simpleSpriteDefs;
  R3xSlotTable sprite2DDefs;
  R3xSlotTable sprite3DDefs;
  R3xSlotTable actorDefs;
  R3xSlotTable sphereLists;
  R3xSlotTable polyhedra;
  R3xSlotTable simpleSprites;
  R3xSlotTable sprites2D;
  R3xSlotTable sprites3D;
  R3xSlotTable actors;
  R3xSlotTable bitmaps;
  R3xSlotTable lightDefs;
  R3xSlotTable lights;
  R3xSlotTable pointLights;
  R3xSlotTable directionalLights;
  R3xSlotTable palettes;
  R3xSlotTable shadeTables;
  std::uint32_t vertexCount;
  // xyz triples.
  float* vertices;
  // Earlier vertex arrays that regions may still point into; owned.
  R3xRetiredVertices* retiredVertices;
  // One word per region, made by the world loaders; owned.
  std::uint32_t* regionWords;
  // Cleared when a world-file load starts; holds that load's first error.
  R3xLoadError loadError;
};

inline constexpr std::uint32_t R3X_WORLD_INITIAL_VERTICES = 20000;
inline constexpr std::uint32_t R3X_WORLD_INITIAL_BSP_STACK = 8;

// A new world with every slot table and the tag dictionary, or null (nothing left allocated).
// The second argument is not used. Given a render device, creation fails: attaching a world to
// a device's Direct3D block belongs to the display drivers, which the world does not reach.
R3xWorld* r3xCreateWorld(void* creator, std::uintptr_t unused, R3xRenderDevice* device);

// Destroys every object type by type, then the world. Returns 0.
std::int32_t r3xDestroyWorld(R3xWorld* world);

std::int32_t r3xSetWorldTime(R3xWorld* world, std::uint32_t time);
// Takes ownership of the block and frees the previous one.
std::int32_t r3xSetWorldString(R3xWorld* world, void* block);
std::int32_t r3xSetWorldFlag(R3xWorld* world, std::int32_t flag);

// Replaces the stored copy of the default palette file name; null clears it. 0, or
// R3X_ERR_FAILED when the copy cannot be made (the old name is then kept).
std::int32_t r3xSetDefaultPalette(R3xWorld* world, const char* fileName);
