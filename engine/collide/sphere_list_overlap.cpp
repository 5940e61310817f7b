#include "engine/collide/sphere_list_overlap.h"

#include <cstddef>

#include "engine/collide/frames.h"
#include "engine/collide/sphere_overlap.h"
#include "engine/core/actor.h"
#include "engine/core/sphere_list.h"

namespace {

struct ListAtRest {
  const R3xSphereListDef* definition;
  const R3xActor* actor;
  float position[3];
  // The list's scale times the actor's.
  float s;
};

ListAtRest atRest(const R3xSphereList* list) {
  const R3xActor* actor = list->owner;
  return {list->definition,
          actor,
          {actor->placement.x, actor->placement.y, actor->placement.z},
          list->scale * actor->scale};
}

const float* centreOf(const R3xSphereListDef* definition, std::uint32_t i) {
  return definition->centres + 3 * static_cast<std::size_t>(i);
}

// The vertex in the list's frame against every member there.
template <typename Test>
std::int32_t membersAroundPoint(const ListAtRest& list, const float* point, float extraRadius,
                                Test test) {
  float matrix[9];
  float inverseScale = 1.0f;
  _r3xRotationFromAngles(&list.actor->placement, list.s, matrix, &inverseScale);
  float local[3];
  _r3xWorldToLocal(point, list.position, matrix, local);
  const float extra = extraRadius * inverseScale;
  for (std::uint32_t i = 0; i < list.definition->sphereCount; ++i) {
    if (test(centreOf(list.definition, i), list.definition->radii[i] + extra, local) != 0) {
      return 1;
    }
  }
  return 0;
}

// Every member's world centre against the geometry.
template <typename Geometry>
std::int32_t membersInWorld(const ListAtRest& list, const Geometry* geometry,
                            std::int32_t (*test)(const float*, float, const Geometry*)) {
  if (test(list.position, list.definition->radius * list.s, geometry) == 0) {
    return 0;
  }
  for (std::uint32_t i = 0; i < list.definition->sphereCount; ++i) {
    float centre[3];
    _r3xLocalToWorld(centreOf(list.definition, i), list.position, list.s, list.actor->rotation,
                     centre);
    if (test(centre, list.definition->radii[i] * list.s, geometry) != 0) {
      return 1;
    }
  }
  return 0;
}

}  // namespace

std::int32_t _r3xSphereListHitsPoint2D(const R3xSphereList* list, const float* point) {
  const ListAtRest rest = atRest(list);
  if (_r3xCircleHitsPoint2D(rest.position, rest.definition->radius * rest.s, point) == 0) {
    return 0;
  }
  return membersAroundPoint(rest, point, 0.0f, _r3xCircleHitsPoint2D);
}

std::int32_t _r3xSphereListHitsPoint(const R3xSphereList* list, float extraRadius,
                                     const float* point) {
  const ListAtRest rest = atRest(list);
  if (_r3xSphereHitsPoint(rest.position, rest.definition->radius * rest.s + extraRadius, point) ==
      0) {
    return 0;
  }
  return membersAroundPoint(rest, point, extraRadius, _r3xSphereHitsPoint);
}

std::int32_t _r3xSphereListHitsLine2D(const R3xSphereList* list, const R3xXYLine* line) {
  return membersInWorld(atRest(list), line, _r3xCircleHitsLine2D);
}

std::int32_t _r3xSphereListHitsPlane(const R3xSphereList* list, const R3xPlane* plane) {
  return membersInWorld(atRest(list), plane, _r3xSphereHitsPlane);
}

std::int32_t _r3xSphereListHitsEdge2D(const R3xSphereList* list, const R3xXYLine* edge) {
  return membersInWorld(atRest(list), edge, _r3xCircleHitsEdge2D);
}

std::int32_t _r3xSphereListHitsEdge(const R3xSphereList* list, const R3xXYZEdge* edge) {
  return membersInWorld(atRest(list), edge, _r3xSphereHitsEdge);
}

std::int32_t _r3xSphereListHitsEdgePolygon(const R3xSphereList* list,
                                           const R3xEdgePolygon* polygon) {
  return membersInWorld(atRest(list), polygon, _r3xSphereHitsEdgePolygon);
}
