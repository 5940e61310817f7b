#include "engine/core/sprite_3d.h"

#include <cstddef>
#include <cstdint>

#include "engine/core/definition.h"
#include "engine/core/error.h"
#include "engine/core/math_vector.h"
#include "engine/core/memory.h"
#include "engine/core/render_method_internal.h"
#include "engine/core/sprite_3d_internal.h"
#include "engine/core/surface_internal.h"
#include "engine/core/tree_links.h"
#include "engine/core/volume.h"

namespace {

bool isDefault(const R3x3DSprite* sprite) { return sprite->definition->defaultInstance == sprite; }

// Surfaces of the sprite's own, not shared with the definition.
R3xSurface* ownSurfaces(const R3x3DSprite* sprite) {
  return isDefault(sprite) ? nullptr : sprite->surfaces;
}

bool facesUseVertices(const R3x3DSpriteFace* faces, std::uint32_t faceCount,
                      std::uint32_t vertexCount) {
  for (std::uint32_t f = 0; f < faceCount; ++f) {
    const R3xIndexedPolygon& polygon = faces[f].polygon;
    if (polygon.vertexCount < 0 || (polygon.vertexCount > 0 && polygon.vertexIndexes == nullptr)) {
      return false;
    }
    for (std::int32_t c = 0; c < polygon.vertexCount; ++c) {
      const std::int32_t index = polygon.vertexIndexes[c];
      if (index < 0 || static_cast<std::uint32_t>(index) >= vertexCount) {
        return false;
      }
    }
  }
  return true;
}

// linkIndex of a null link.
constexpr std::int64_t kNoLink = -1;

// The index of the face a link points at, kNoLink for null, faceCount for a pointer outside the
// array.
std::int64_t linkIndex(const R3x3DSpriteFace* faces, std::uint32_t faceCount,
                       const R3x3DSpriteFace* link) {
  if (link == nullptr) {
    return kNoLink;
  }
  // Compared as addresses: a pointer outside the array cannot be subtracted from it.
  const std::uintptr_t offset =
      reinterpret_cast<std::uintptr_t>(link) - reinterpret_cast<std::uintptr_t>(faces);
  if (offset % sizeof(R3x3DSpriteFace) != 0 ||
      offset / sizeof(R3x3DSpriteFace) >= std::uintptr_t{faceCount}) {
    return faceCount;
  }
  return static_cast<std::int64_t>(offset / sizeof(R3x3DSpriteFace));
}

// Every link points into the array and no chain of links comes back to its start.
bool facesFormTree(const R3x3DSpriteFace* faces, std::uint32_t faceCount) {
  for (std::uint32_t f = 0; f < faceCount; ++f) {
    if (linkIndex(faces, faceCount, faces[f].front) == faceCount ||
        linkIndex(faces, faceCount, faces[f].back) == faceCount) {
      return false;
    }
  }
  return _r3xTreeIsAcyclic(faceCount, [&](std::uint32_t f, int side) {
    return linkIndex(faces, faceCount, side == 0 ? faces[f].front : faces[f].back);
  });
}

bool faceUses(const R3xIndexedPolygon& face, std::uint32_t vertex) {
  for (std::int32_t c = 0; c < face.vertexCount; ++c) {
    if (static_cast<std::uint32_t>(face.vertexIndexes[c]) == vertex) {
      return true;
    }
  }
  return false;
}

void computeVertexNormals(const R3x3DSpriteFace* faces, std::uint32_t faceCount,
                          std::uint32_t vertexCount, float* normals) {
  for (std::uint32_t v = 0; v < vertexCount; ++v) {
    float* normal = normals + 3 * std::size_t{v};
    int users = 0;
    for (std::uint32_t f = 0; f < faceCount; ++f) {
      if (faceUses(faces[f].polygon, v)) {
        for (int k = 0; k < 3; ++k) {
          normal[k] += faces[f].polygon.normal[k];
        }
        ++users;
      }
    }
    if (users >= 2) {
      r3xNormalize3(normal, normal);
    }
  }
}

// A copy of the table with copies of its UV arrays, or null.
R3xSurface* copySurfaces(const R3xSurface* source, const R3x3DSpriteDef* definition) {
  const std::uint32_t count = definition->faceCount;
  auto* surfaces = static_cast<R3xSurface*>(r3xMalloc(std::size_t{count} * sizeof(R3xSurface)));
  if (count > 0 && surfaces == nullptr) {
    return nullptr;
  }
  for (std::uint32_t i = 0; i < count; ++i) {
    surfaces[i] = source[i];
    surfaces[i].uv = nullptr;
  }
  for (std::uint32_t i = 0; i < count; ++i) {
    if (source[i].uv == nullptr) {
      continue;
    }
    const std::size_t floats =
        2 * static_cast<std::size_t>(definition->faces[i].polygon.vertexCount);
    surfaces[i].uv = static_cast<float*>(r3xMalloc(floats * sizeof(float)));
    if (floats > 0 && surfaces[i].uv == nullptr) {
      _r3xFreeSurfaceUVs(surfaces, count);
      r3xFree(surfaces);
      return nullptr;
    }
    for (std::size_t k = 0; k < floats; ++k) {
      surfaces[i].uv[k] = source[i].uv[k];
    }
  }
  return surfaces;
}

void freeSurfaces(R3xSurface* surfaces, std::uint32_t count) {
  if (surfaces != nullptr) {
    _r3xFreeSurfaceUVs(surfaces, count);
  }
  r3xFree(surfaces);
}

R3x3DSprite* registerCopy(R3xWorld* world, const R3x3DSprite& source, const R3xVolume* volume) {
  R3x3DSpriteDef* definition = source.definition;
  auto* sprite = static_cast<R3x3DSprite*>(r3xMalloc(sizeof(R3x3DSprite)));
  if (sprite == nullptr) {
    return nullptr;
  }
  *sprite = source;
  sprite->header.refCount = 0;
  sprite->surfaces = nullptr;
  if (const R3xSurface* own = ownSurfaces(&source)) {
    sprite->surfaces = copySurfaces(own, definition);
    if (sprite->surfaces == nullptr && definition->faceCount > 0) {
      r3xFree(sprite);
      return nullptr;
    }
  }
  sprite->volume = r3xCopyVolume(world, volume == nullptr ? source.volume : volume);
  if (sprite->volume == nullptr ||
      _r3xRegisterInstance(world, &sprite->header, &definition->header) != 0) {
    r3xDestroyVolume(world, sprite->volume);
    freeSurfaces(sprite->surfaces, definition->faceCount);
    r3xFree(sprite);
    return nullptr;
  }
  _r3xAddSurfaceTextureRefs(_r3x3DSpriteSurfaces(sprite), definition->faceCount);
  return sprite;
}

}  // namespace

R3x3DSpriteDef* r3xCreate3DSpriteDef(R3xWorld* world, const char* tag, std::uint32_t vertexCount,
                                     const float* vertices, std::uint32_t faceCount,
                                     R3x3DSpriteFace* faces, bool computeNormals,
                                     const float* offset, R3xSurface* surfaces, R3xVolume* volume,
                                     float radius) {
  R3x3DSpriteDef* definition = nullptr;
  if (!_r3xBeginDefinition(world, tag, R3X_TYPE_3D_SPRITE_DEF, &definition, [&] {
        return facesUseVertices(faces, faceCount, vertexCount) && facesFormTree(faces, faceCount) &&
               (faceCount == 0 || surfaces != nullptr);
      })) {
    return definition;
  }
  definition->radius = radius;
  const std::size_t floats = std::size_t{vertexCount} * 3;
  definition->vertices = static_cast<float*>(r3xMalloc(floats * sizeof(float)));
  if (computeNormals) {
    definition->normals = static_cast<float*>(r3xMalloc(floats * sizeof(float)));
  }
  auto* instance = static_cast<R3x3DSprite*>(r3xMalloc(sizeof(R3x3DSprite)));
  const bool made =
      instance != nullptr && (floats == 0 || (definition->vertices != nullptr &&
                                              (!computeNormals || definition->normals != nullptr)));
  if (made) {
    *instance = {{R3X_TYPE_3D_SPRITE, -1, nullptr, 0, 1},
                 volume == nullptr ? r3xEmptyVolume() : volume,
                 surfaces,
                 {0.0f, 0.0f, 0.0f},
                 0,
                 definition};
    if (r3xRegisterObject(world, &instance->header) == 0) {
      for (std::size_t i = 0; i < floats; ++i) {
        definition->vertices[i] = vertices[i];
      }
      for (int k = 0; offset != nullptr && k < 3; ++k) {
        instance->offset[k] = offset[k];
      }
      definition->vertexCount = vertexCount;
      definition->faceCount = faceCount;
      definition->faces = faces;
      definition->root = faceCount == 0 ? nullptr : faces;
      for (std::uint32_t f = 0; f < faceCount; ++f) {
        faces[f].polygon.type = R3X_TYPE_3D_SPRITE_FACE;
        faces[f].polygon.vertices = definition->vertices;
        faces[f].index = f;
        surfaces[f].type = R3X_TYPE_SURFACE;
      }
      if (computeNormals) {
        computeVertexNormals(faces, faceCount, vertexCount, definition->normals);
      }
      definition->defaultInstance = instance;
      _r3xAddSurfaceTextureRefs(surfaces, faceCount);
      return definition;
    }
  }
  r3xFree(instance);
  r3xFree(definition->vertices);
  r3xFree(definition->normals);
  _r3xUnregisterTagged(world, &definition->header);
  r3xFree(definition);
  return nullptr;
}

std::int32_t r3xDestroy3DSpriteDef(R3xWorld* world, R3x3DSpriteDef* definition) {
  if (definition == nullptr) {
    return R3X_ERR_FAILED;
  }
  R3x3DSprite* instance = definition->defaultInstance;
  if (definition->header.refCount != 1 || instance->header.refCount != 1) {
    return R3X_ERR_DEF_IN_USE;
  }
  r3xDestroyVolume(world, instance->volume);
  _r3xReleaseSurfaceTextures(world, instance->surfaces, definition->faceCount);
  freeSurfaces(instance->surfaces, definition->faceCount);
  for (std::uint32_t f = 0; f < definition->faceCount; ++f) {
    r3xFree(definition->faces[f].polygon.vertexIndexes);
  }
  r3xFree(definition->faces);
  r3xFree(definition->normals);
  r3xFree(definition->vertices);
  _r3xUnregisterTagged(world, &instance->header);
  r3xFree(instance);
  _r3xUnregisterTagged(world, &definition->header);
  r3xFree(definition);
  return 0;
}

R3x3DSprite* r3xCreate3DSprite(R3xWorld* world, R3x3DSpriteDef* definition,
                               const R3xVolume* volume) {
  return definition == nullptr ? nullptr
                               : registerCopy(world, *definition->defaultInstance, volume);
}

R3x3DSprite* r3xCopy3DSprite(R3xWorld* world, const R3x3DSprite* sprite, const R3xVolume* volume) {
  return sprite == nullptr ? nullptr : registerCopy(world, *sprite, volume);
}

std::int32_t r3xDestroy3DSprite(R3xWorld* world, R3x3DSprite* sprite) {
  if (sprite == nullptr) {
    return R3X_ERR_FAILED;
  }
  if (sprite->header.refCount != 0 || isDefault(sprite)) {
    return R3X_ERR_DEFAULT_INSTANCE;
  }
  R3x3DSpriteDef* definition = sprite->definition;
  r3xDestroyVolume(world, sprite->volume);
  _r3xUnregisterInstance(world, &sprite->header, &definition->header);
  _r3xReleaseSurfaceTextures(world, _r3x3DSpriteSurfaces(sprite), definition->faceCount);
  freeSurfaces(sprite->surfaces, definition->faceCount);
  r3xFree(sprite);
  return 0;
}

R3x3DSpriteDef* r3xGet3DSpriteDef(const R3x3DSprite* sprite) { return sprite->definition; }

std::uint32_t r3xGet3DSpriteFaceCount(const R3x3DSpriteDef* definition) {
  return definition->faceCount;
}

float r3xGet3DSpriteRadius(const R3x3DSpriteDef* definition) { return definition->radius; }

R3xSurface* _r3x3DSpriteSurfaces(const R3x3DSprite* sprite) {
  return sprite->surfaces != nullptr ? sprite->surfaces
                                     : sprite->definition->defaultInstance->surfaces;
}

R3xRenderMethod r3xGet3DSpriteFaceRenderMethod(const R3x3DSprite* sprite, std::uint32_t face) {
  if (face >= sprite->definition->faceCount) {
    return 0;
  }
  return _r3x3DSpriteSurfaces(sprite)[face].renderMethod;
}

std::int32_t r3xSet3DSpriteFaceRenderMethod(const R3xIndirectRenderMethods* indirect,
                                            R3x3DSprite* sprite, std::uint32_t face,
                                            R3xRenderMethod method) {
  if (face >= sprite->definition->faceCount || !_r3xIsRenderMethodResolvable(indirect, method)) {
    return R3X_ERR_FAILED;
  }
  if (sprite->surfaces == nullptr && _r3xCopyFaceSurfaces(sprite) != 0) {
    return R3X_ERR_FAILED;
  }
  sprite->surfaces[face].renderMethod = method;
  return 0;
}

std::int32_t _r3xCopyFaceSurfaces(R3x3DSprite* sprite) {
  const R3x3DSpriteDef* definition = sprite->definition;
  R3xSurface* copy = copySurfaces(definition->defaultInstance->surfaces, definition);
  if (copy == nullptr) {
    return R3X_ERR_FAILED;
  }
  sprite->surfaces = copy;
  return 0;
}
