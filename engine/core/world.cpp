#include "engine/core/world.h"

#include "engine/core/error.h"
#include "engine/core/memory.h"
#include "engine/core/object_internal.h"
#include "engine/core/string_copy.h"
#include "engine/core/tag_dictionary.h"
#include "engine/core/world_internal.h"

namespace {

struct TableCapacity {
  std::int32_t type;
  std::uint32_t capacity;
};

// In creation order.
constexpr TableCapacity kInitialCapacities[] = {
    {R3X_TYPE_SPHERE_LIST_DEF, 20},
    {R3X_TYPE_POLYHEDRON_DEF, 20},
    {R3X_TYPE_SIMPLE_SPRITE_DEF, 20},
    {R3X_TYPE_2D_SPRITE_DEF, 20},
    {R3X_TYPE_3D_SPRITE_DEF, 20},
    {R3X_TYPE_LIGHT_DEF, 20},
    {R3X_TYPE_SPHERE_LIST, 100},
    {R3X_TYPE_POLYHEDRON, 100},
    {R3X_TYPE_SIMPLE_SPRITE, 100},
    {R3X_TYPE_2D_SPRITE, 100},
    {R3X_TYPE_3D_SPRITE, 100},
    {R3X_TYPE_ACTOR_DEF, 100},
    {R3X_TYPE_ACTOR, 100},
    {R3X_TYPE_REGION, 100},
    {R3X_TYPE_BITMAP, 800},
    {R3X_TYPE_LIGHT, 100},
    {R3X_TYPE_POINT_LIGHT, 100},
    {R3X_TYPE_DIRECTIONAL_LIGHT, 100},
    {R3X_TYPE_PALETTE, 20},
    {R3X_TYPE_SHADE_TABLE, 20},
};

// Instances go before their definitions, which destroy their default instances; objects
// that others reference go after those that reference them.
constexpr std::int32_t kDestroyOrder[] = {
    R3X_TYPE_ACTOR,          R3X_TYPE_ACTOR_DEF,         R3X_TYPE_3D_SPRITE,
    R3X_TYPE_3D_SPRITE_DEF,  R3X_TYPE_2D_SPRITE,         R3X_TYPE_2D_SPRITE_DEF,
    R3X_TYPE_POINT_LIGHT,    R3X_TYPE_DIRECTIONAL_LIGHT, R3X_TYPE_REGION,
    R3X_TYPE_LIGHT,          R3X_TYPE_SIMPLE_SPRITE,     R3X_TYPE_SIMPLE_SPRITE_DEF,
    R3X_TYPE_BITMAP,         R3X_TYPE_LIGHT_DEF,         R3X_TYPE_POLYHEDRON,
    R3X_TYPE_POLYHEDRON_DEF, R3X_TYPE_SPHERE_LIST,       R3X_TYPE_SPHERE_LIST_DEF,
    R3X_TYPE_SHADE_TABLE,    R3X_TYPE_PALETTE,
};

}  // namespace

bool _r3xIsRegisteredType(std::int32_t type) {
  for (const TableCapacity& table : kInitialCapacities) {
    if (table.type == type) {
      return true;
    }
  }
  return false;
}

R3xSlotTable* _r3xSlotTableOf(R3xWorld* world, std::int32_t type) {
  if (world == nullptr) {
    return nullptr;
  }
  switch (type) {
    case R3X_TYPE_POLYHEDRON_DEF:
      return &world->polyhedronDefs;
    case R3X_TYPE_POLYHEDRON:
      return &world->polyhedra;
    case R3X_TYPE_SPHERE_LIST_DEF:
      return &world->sphereListDefs;
    case R3X_TYPE_SPHERE_LIST:
      return &world->sphereLists;
    case R3X_TYPE_SIMPLE_SPRITE_DEF:
      return &world->simpleSpriteDefs;
    case R3X_TYPE_SIMPLE_SPRITE:
      return &world->simpleSprites;
    case R3X_TYPE_2D_SPRITE_DEF:
      return &world->sprite2DDefs;
    case R3X_TYPE_2D_SPRITE:
      return &world->sprites2D;
    case R3X_TYPE_3D_SPRITE_DEF:
      return &world->sprite3DDefs;
    case R3X_TYPE_3D_SPRITE:
      return &world->sprites3D;
    case R3X_TYPE_ACTOR_DEF:
      return &world->actorDefs;
    case R3X_TYPE_ACTOR:
      return &world->actors;
    case R3X_TYPE_REGION:
      return &world->regions;
    case R3X_TYPE_BITMAP:
      return &world->bitmaps;
    case R3X_TYPE_LIGHT_DEF:
      return &world->lightDefs;
    case R3X_TYPE_LIGHT:
      return &world->lights;
    case R3X_TYPE_POINT_LIGHT:
      return &world->pointLights;
    case R3X_TYPE_DIRECTIONAL_LIGHT:
      return &world->directionalLights;
    case R3X_TYPE_PALETTE:
      return &world->palettes;
    case R3X_TYPE_SHADE_TABLE:
      return &world->shadeTables;
    default:
      return nullptr;
  }
}

R3xWorld* r3xCreateWorld(void* creator, std::uintptr_t, R3xRenderDevice* device) {
  // Attaching a world to a render device's Direct3D block belongs to the display drivers, above
  // the world. The game makes its world without a device.
  if (device != nullptr) {
    return nullptr;
  }
  auto* world = static_cast<R3xWorld*>(r3xMalloc(sizeof(R3xWorld)));
  if (world == nullptr) {
    return nullptr;
  }
  world->type = R3X_TYPE_WORLD;
  world->creator = creator;
  world->bspStack =
      static_cast<R3xWorldNode**>(r3xMalloc(R3X_WORLD_INITIAL_BSP_STACK * sizeof(R3xWorldNode*)));
  bool built = world->bspStack != nullptr;
  world->bspStackCapacity = built ? R3X_WORLD_INITIAL_BSP_STACK : 0;
  for (const TableCapacity& table : kInitialCapacities) {
    built = built && _r3xInitSlotTable(world, table.type, table.capacity) == 0;
  }
  built = built && r3xCreateTagDictionary(world) == 0;
  if (built) {
    world->vertices =
        static_cast<float*>(r3xMalloc(std::size_t{R3X_WORLD_INITIAL_VERTICES} * 3 * sizeof(float)));
    built = world->vertices != nullptr;
  }
  if (!built) {
    r3xDestroyWorld(world);
    return nullptr;
  }
  return world;
}

std::int32_t r3xDestroyWorld(R3xWorld* world) {
  if (world == nullptr) {
    return 0;
  }
  r3xFree(world->bspStack);
  for (std::int32_t type : kDestroyOrder) {
    const R3xSlotTable* table = _r3xSlotTableOf(world, type);
    if (table->slots != nullptr) {
      r3xDestroyAllOfType(world, type);
    }
  }
  // What is left: instance tables whose default instances went with their definitions, and
  // tables whose objects refused to go.
  for (const TableCapacity& entry : kInitialCapacities) {
    R3xSlotTable* table = _r3xSlotTableOf(world, entry.type);
    r3xFree(table->slots);
    *table = R3xSlotTable{};
  }
  r3xFree(world->defaultPalette);
  r3xFree(world->nameBlock);
  r3xDestroyTagDictionary(world);
  if (world->bspRoot != nullptr) {
    r3xFree(reinterpret_cast<unsigned char*>(world->bspRoot) - world->bspOffset);
  }
  r3xFree(world->worldString);
  r3xFree(world->vertices);
  while (world->retiredVertices != nullptr) {
    R3xRetiredVertices* retired = world->retiredVertices;
    world->retiredVertices = retired->next;
    r3xFree(retired->vertices);
    r3xFree(retired);
  }
  r3xFree(world->regionWords);
  r3xFree(world);
  return 0;
}

std::int32_t r3xSetWorldTime(R3xWorld* world, std::uint32_t time) {
  world->time = time;
  return 0;
}

std::int32_t r3xSetWorldString(R3xWorld* world, void* block) {
  if (block != world->worldString) {
    r3xFree(world->worldString);
    world->worldString = block;
  }
  return 0;
}

std::int32_t r3xSetWorldFlag(R3xWorld* world, std::int32_t flag) {
  world->bitmapColourTableFlag = flag;
  return 0;
}

std::int32_t _r3xReplaceWorldVertices(R3xWorld* world, float* vertices, std::uint32_t count) {
  if (world->regions.count == 0) {
    r3xFree(world->vertices);
  } else if (world->vertices != nullptr) {
    auto* retired = static_cast<R3xRetiredVertices*>(r3xMalloc(sizeof(R3xRetiredVertices)));
    if (retired == nullptr) {
      return R3X_ERR_FAILED;
    }
    *retired = {world->retiredVertices, world->vertices};
    world->retiredVertices = retired;
  }
  world->vertices = vertices;
  world->vertexCount = count;
  return 0;
}

std::int32_t r3xSetDefaultPalette(R3xWorld* world, const char* fileName) {
  char* copy = nullptr;
  if (fileName != nullptr) {
    copy = _r3xCopyString(fileName);
    if (copy == nullptr) {
      return R3X_ERR_FAILED;
    }
  }
  r3xFree(world->defaultPalette);
  world->defaultPalette = copy;
  return 0;
}
