// A world with a few vertices and a parse context over it, for calling the region, obstacle
// and world-tree rule actions directly.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "engine/core/obstacle.h"
#include "engine/core/region.h"
#include "engine/core/surface.h"
#include "engine/core/world.h"
#include "engine/world/obstacle_actions.h"
#include "engine/world/parse_context.h"
#include "engine/world/parse_list.h"
#include "engine/world/region_actions.h"

namespace world_test {

struct Vertex {
  float x, y, z;
};

class RegionFixture : public ::testing::Test {
 public:
  // Vertices 1-8: the corners (0,0,0) (4,0,0) (4,4,0) (0,4,0) (0,0,4) (0,2,0), a copy of
  // vertex 1, and (0,0,4) again for a third face through vertex 1.
  RegionFixture();
  ~RegionFixture() override;

  // A list of 32-bit integers, owned by the fixture until an action takes it.
  R3xParseList* Ints(std::initializer_list<std::int32_t> values);
  // An untextured surface.
  static R3xSurface Surface(std::uint32_t pen);

  // NUMREGIONS count, then REGION up to its walls (none yet): NUMRENDERVERTICES 8.
  void BeginBlock(std::int32_t count);
  void BeginRegion(const char* tag);
  // NUMWALLS of the walls given as vertex numbers; planes all computed.
  void Walls(const std::vector<std::vector<std::int32_t>>& walls);
  // NUMOBSTACLES 0, a one-node visibility tree, ENDREGION with the sphere.
  std::int32_t EndRegion(bool sphere);
  // A whole plain region with one triangle wall and nothing else.
  std::int32_t SimpleRegion(const char* tag);

  // An obstacle statement of the current region.
  std::int32_t Obstacle(std::int32_t kind, std::initializer_list<std::int32_t> numbers,
                        std::int32_t nextRegion = 0, std::int32_t regionField = 0);

  R3xWorld* world_;
  R3xParseContext* context_;

 private:
  std::vector<R3xParseList*> lists_;
};

char* Text(const char* text);

}  // namespace world_test
