#include "engine/collide/sphere_list_member.h"

#include <cstddef>

#include "engine/collide/sweep_query.h"
#include "engine/core/actor.h"
#include "engine/core/actor_rotation.h"
#include "engine/core/sphere_list.h"

void _r3xSphereListMemberPosition(R3xSweepQuery* query, std::uint32_t i, R3xSweepSegment* out) {
  const R3xSphereList* list = query->sphereList;
  R3xActor* actor = list->owner;
  const R3xSphereListDef* definition = list->definition;
  if (i == 0) {
    r3xBuildObjectRotation(actor, actor->scale, &actor->placement);
  }
  const float s = list->scale * actor->scale;
  const float* centre = definition->centres + 3 * static_cast<std::size_t>(i);
  const float c[3] = {centre[0] * s, centre[1] * s, centre[2] * s};
  const float* m = actor->rotation;
  const float position[3] = {actor->placement.x, actor->placement.y, actor->placement.z};
  const R3xSweepSegment& motion = query->segment;
  for (int k = 0; k < 3; ++k) {
    out->start[k] = position[k] + m[k] * c[0] + m[3 + k] * c[1] + m[6 + k] * c[2];
    out->direction[k] = motion.direction[k];
    out->end[k] = out->start[k] + motion.direction[k] * motion.distance;
  }
  out->radius = definition->radii[i] * s + query->memberMargin;
  out->distance = motion.distance;
}
