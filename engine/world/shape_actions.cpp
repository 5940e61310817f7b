#include "engine/world/shape_actions.h"

#include <cstddef>

#include "engine/core/math_plane.h"
#include "engine/core/memory.h"
#include "engine/core/object.h"
#include "engine/core/polyhedron.h"
#include "engine/core/sphere_list.h"
#include "engine/core/tag_dictionary.h"
#include "engine/core/volume.h"
#include "engine/world/obstacle_actions.h"
#include "engine/world/parse_context.h"
#include "engine/world/parse_list.h"
#include "engine/world/parse_result.h"

namespace {

struct FaceItem {
  float plane[4];
  // 0-based indexes into the polyhedron's vertices.
  R3xParseList indexes;
};

void freeFace(void* item) { parListFree(&static_cast<FaceItem*>(item)->indexes); }

void freeSphereVolume(void* volume) { r3xFreeVolumeRecord(static_cast<R3xVolume*>(volume)); }

bool isSet(const R3xParserValue* scale) { return parHasValue(scale) && scale->real != 0.0f; }

}  // namespace

std::int32_t parDefineSphereList(R3xParseContext* context, R3xParserValue* tag, float radius,
                                 float scale, R3xParserValue* spheres) {
  const std::uint32_t count = parValueCount(spheres);
  const auto* given = static_cast<const float*>(parValueList(spheres)->data);
  auto* centres = static_cast<float*>(r3xMalloc(std::size_t{count} * 3 * sizeof(float)));
  auto* radii = static_cast<float*>(r3xMalloc(std::size_t{count} * sizeof(float)));
  std::int32_t result = 0;
  if (centres == nullptr || radii == nullptr) {
    parError(context, "out of memory");
    result = PAR_STOP;
  } else {
    for (std::uint32_t i = 0; i < count; ++i) {
      for (int k = 0; k < 3; ++k) {
        centres[3 * i + k] = given[4 * i + k];
      }
      radii[i] = given[4 * i + 3];
    }
    if (r3xCreateSphereListDef(context->world, tag->text, radius, count, centres, radii, scale) ==
        nullptr) {
      parError(context, "cannot define sphere list: %s", tag->text);
      result = PAR_STOP;
    }
  }
  r3xFree(centres);
  r3xFree(radii);
  parFreeParserValue(tag);
  parFreeParserValue(spheres);
  return result;
}

std::int32_t parAppendFace(R3xParseContext* context, R3xParserValue* faces, R3xParserValue* plane,
                           R3xParserValue* vertexNumbers) {
  FaceItem face{};
  if (parHasValue(plane)) {
    for (int i = 0; i < 4; ++i) {
      face.plane[i] = plane->vector[i];
    }
  }
  face.indexes.elementSize = sizeof(std::int32_t);
  if (R3xParseList* numbers = parValueList(vertexNumbers); numbers != nullptr) {
    face.indexes.count = numbers->count;
    face.indexes.capacity = numbers->count;
    face.indexes.data = parListDetach(numbers);
    for (std::uint32_t i = 0; i < face.indexes.count; ++i) {
      // Vertex numbers count from 1; 0 becomes -1, which the edge builder refuses.
      --*static_cast<std::int32_t*>(parListAt(&face.indexes, i));
    }
  }
  parFreeParserValue(vertexNumbers);
  if (parAppendItem(context, faces, sizeof face, &face, freeFace) != 0) {
    freeFace(&face);
    return PAR_STOP;
  }
  return 0;
}

std::int32_t parDefinePolyhedron(R3xParseContext* context, R3xParserValue* tag, float radius,
                                 float scale, R3xParserValue* vertices, R3xParserValue* faces) {
  const std::uint32_t vertexCount = parValueCount(vertices);
  const auto* vertexData =
      vertexCount == 0 ? nullptr : static_cast<const float*>(parValueList(vertices)->data);
  const std::uint32_t faceCount = parValueCount(faces);
  auto* polygons =
      static_cast<R3xEdgePolygon*>(r3xMalloc(std::size_t{faceCount} * sizeof(R3xEdgePolygon) + 1));
  std::int32_t result = 0;
  std::uint32_t built = 0;
  if (polygons == nullptr) {
    parError(context, "out of memory");
    result = PAR_STOP;
  }
  for (; result == 0 && built < faceCount; ++built) {
    const auto* face = static_cast<const FaceItem*>(parListAt(parValueList(faces), built));
    result = CreateEdgePolygon(context, &polygons[built], &face->indexes, vertexData, vertexCount,
                               face->plane);
  }
  if (result == 0 && r3xDefinePolyhedron(context->world, tag->text, radius, faceCount, polygons,
                                         vertexCount, vertexData, scale) == nullptr) {
    parError(context, "cannot define polyhedron: %s", tag->text);
    result = PAR_STOP;
  }
  // The definition keeps copies: the edges built here are freed either way.
  for (std::uint32_t i = 0; polygons != nullptr && i < faceCount; ++i) {
    r3xFree(polygons[i].edges);
  }
  r3xFree(polygons);
  parFreeParserValue(tag);
  parFreeParserValue(vertices);
  parFreeParserValue(faces);
  return result;
}

R3xVolume* parNoCollisionVolume() { return r3xNoCollisionVolume(); }

std::int32_t parSphereVolume(R3xParseContext* context, float radius, R3xParserValue* out) {
  R3xSphereVolume* volume = r3xCreateSphereVolume(radius);
  if (volume == nullptr) {
    parError(context, "could not allocate collision volume");
    return PAR_STOP;
  }
  *out = parRecordValue(volume, freeSphereVolume);
  return 0;
}

std::int32_t parInstanceSphereList(R3xParseContext* context, R3xParserValue* name,
                                   R3xParserValue* tag, R3xParserValue* scale,
                                   R3xParserValue* out) {
  R3xObjectHeader* found = r3xFindTag(context->world, name->text);
  std::int32_t result = 0;
  R3xSphereList* instance = nullptr;
  if (found == nullptr || found->type != R3X_TYPE_SPHERE_LIST_DEF) {
    parError(context, "no definition for sphere list: %s", name->text);
    result = PAR_STOP;
  } else if ((instance = r3xCreateSphereList(
                  context->world, reinterpret_cast<R3xSphereListDef*>(found))) == nullptr) {
    parError(context, "could not create sphere list");
    result = PAR_STOP;
  } else if (tag->text != nullptr && r3xSetSphereListTag(context->world, instance, tag->text) < 0) {
    parError(context, "cannot set sphere list tag");
    result = PAR_STOP;
  } else if (isSet(scale) && r3xSetSphereListScale(instance, scale->real) < 0) {
    parError(context, "cannot set sphere list scale factor");
    result = PAR_STOP;
  }
  // A registered instance belongs to the world even when the statement fails.
  *out = parRecordValue(instance, nullptr);
  parFreeParserValue(name);
  parFreeParserValue(tag);
  return result;
}

std::int32_t parInstancePolyhedron(R3xParseContext* context, R3xParserValue* name,
                                   R3xParserValue* tag, R3xParserValue* scale,
                                   R3xParserValue* out) {
  R3xObjectHeader* found = r3xFindTag(context->world, name->text);
  std::int32_t result = 0;
  R3xPolyhedron* instance = nullptr;
  if (found == nullptr || found->type != R3X_TYPE_POLYHEDRON_DEF) {
    parError(context, "no definition for polyhedron: %s", name->text);
    result = PAR_STOP;
  } else if ((instance = r3xCreatePolyhedron(
                  context->world, reinterpret_cast<R3xPolyhedronDef*>(found))) == nullptr) {
    parError(context, "could not create polyhedron");
    result = PAR_STOP;
  } else if (tag->text != nullptr && r3xSetPolyhedronTag(context->world, instance, tag->text) < 0) {
    parError(context, "cannot set polyhedron tag");
    result = PAR_STOP;
  } else if (isSet(scale) && r3xSetPolyhedronScale(instance, scale->real) < 0) {
    parError(context, "cannot set polyhedron scale factor");
    result = PAR_STOP;
  }
  *out = parRecordValue(instance, nullptr);
  parFreeParserValue(name);
  parFreeParserValue(tag);
  return result;
}
