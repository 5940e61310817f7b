// Records that set the world's own fields: the palette file name, the world string, the shared
// vertex array and the world tree.
#include <cstddef>
#include <cstdint>

#include "engine/core/bsp.h"
#include "engine/core/bsp_internal.h"
#include "engine/core/memory.h"
#include "engine/core/world.h"
#include "engine/core/world_internal.h"
#include "engine/world/precompiled_records.h"
#include "engine/world/world_reader.h"

namespace {

constexpr std::size_t kNodeAlignment = 32;
constexpr std::uint32_t kNodeBytes = 28;

// The node with that 1-based number, or null outside 1 to count: such numbers lead nowhere.
R3xWorldNode* nodeAt(R3xWorldNode* nodes, std::uint32_t count, std::uint32_t number) {
  return number >= 1 && number <= count ? nodes + (number - 1) : nullptr;
}

}  // namespace

void* _r3xReadPaletteFileRecord(R3xWorldReader* reader) {
  arena::ByteReader in = _r3xPayload(reader);
  char* name = _r3xReadScrambledText(in, in.U16());
  if (name == nullptr) {
    return nullptr;
  }
  const std::int32_t result = r3xSetDefaultPalette(reader->world, name);
  r3xFree(name);
  return result == 0 ? reader->world->defaultPalette : nullptr;
}

void* _r3xReadWorldStringRecord(R3xWorldReader* reader) {
  arena::ByteReader in = _r3xPayload(reader);
  char* text = _r3xReadScrambledText(in, in.U32());
  if (text == nullptr) {
    return nullptr;
  }
  r3xSetWorldString(reader->world, text);
  return text;
}

void* _r3xReadVertexArrayRecord(R3xWorldReader* reader) {
  R3xWorld* world = reader->world;
  arena::ByteReader in = _r3xPayload(reader);
  const std::uint32_t n = in.U32();
  if (!_r3xCountFits(in, n, 3 * sizeof(float))) {
    return nullptr;
  }
  auto* vertices = static_cast<float*>(r3xMalloc(std::size_t{n} * 3 * sizeof(float) + 1));
  if (vertices == nullptr) {
    return nullptr;
  }
  for (std::size_t i = 0; i < std::size_t{n} * 3; ++i) {
    vertices[i] = in.F32();
  }
  // Regions made earlier keep pointing into the array this one replaces.
  if (_r3xReplaceWorldVertices(world, vertices, n) != 0) {
    r3xFree(vertices);
    return nullptr;
  }
  return vertices;
}

void* _r3xReadWorldNodesRecord(R3xWorldReader* reader) {
  R3xWorld* world = reader->world;
  arena::ByteReader in = _r3xPayload(reader);
  in.U32();
  const std::uint32_t n = in.U32();
  if (!_r3xCountFits(in, n, kNodeBytes) || n == 0) {
    return nullptr;
  }
  auto* block = static_cast<unsigned char*>(
      r3xMalloc(std::size_t{n} * sizeof(R3xWorldNode) + kNodeAlignment));
  if (block == nullptr) {
    return nullptr;
  }
  const std::size_t offset =
      kNodeAlignment - reinterpret_cast<std::uintptr_t>(block) % kNodeAlignment;
  auto* nodes = reinterpret_cast<R3xWorldNode*>(block + offset);
  for (std::uint32_t i = 0; i < n; ++i) {
    R3xWorldNode& node = nodes[i];
    node.a = in.F32();
    node.b = in.F32();
    node.c = in.F32();
    node.d = in.F32();
    node.leaf = in.U32();
    node.front = nodeAt(nodes, n, in.U32());
    node.back = nodeAt(nodes, n, in.U32());
  }
  // The leaves name regions of this file, or of the world when the file brings none.
  const std::uint32_t regions =
      reader->regionCount != 0 ? reader->regionCount : world->regions.count;
  if (in.failed() || _r3xCheckWorldTree(nodes, n, regions) != 0) {
    r3xFree(block);
    return nullptr;
  }
  if (world->bspRoot != nullptr) {
    r3xFree(reinterpret_cast<unsigned char*>(world->bspRoot) - world->bspOffset);
  }
  world->bspRoot = nodes;
  world->bspOffset = offset;
  world->bspSharesNodes = _r3xWorldTreeSharesNodes(nodes, n) ? 1 : 0;
  return nodes;
}
