#include "tests/support/test_world_builder.h"

#include <cstdio>

#include "engine/core/bsp_internal.h"

namespace {

R3xRegionInfo* MakeInfo() {
  auto* info = static_cast<R3xRegionInfo*>(r3xMalloc(sizeof(R3xRegionInfo)));
  if (info == nullptr) {
    return nullptr;
  }
  info->type = R3X_TYPE_REGION_INFO;
  info->objectCapacity = 16;
  info->objects = static_cast<R3xObjectEntry*>(r3xMalloc(16 * sizeof(R3xObjectEntry)));
  info->lightCapacity = 3;
  info->lights = static_cast<R3xObjectHeader**>(r3xMalloc(3 * sizeof(R3xObjectHeader*)));
  return info;
}

bool HasInfo(const TestWorldSpec& spec, std::uint32_t region) {
  for (std::uint32_t plain : spec.regionsWithoutInfo) {
    if (plain == region) {
      return false;
    }
  }
  return true;
}

bool AddRegions(R3xWorld* world, const TestWorldSpec& spec) {
  auto* regions = static_cast<R3xRegion*>(r3xMalloc(spec.regionCount * sizeof(R3xRegion)));
  world->regionWords =
      static_cast<std::uint32_t*>(r3xMalloc(spec.regionCount * sizeof(std::uint32_t)));
  if (regions == nullptr || world->regionWords == nullptr) {
    r3xFree(regions);
    return false;
  }
  for (std::uint32_t i = 0; i < spec.regionCount; ++i) {
    R3xRegion& region = regions[i];
    region.header = {R3X_TYPE_REGION, -1, nullptr, 0, 0};
    region.bounds = {R3X_TYPE_VOLUME_5W, 0, 0, 0, 0};
    region.vertices = world->vertices;
    if (HasInfo(spec, i)) {
      region.info = MakeInfo();
    }
    if (r3xRegisterObject(world, &region.header) != 0) {
      return false;
    }
    if (spec.tagged) {
      char tag[16];
      std::snprintf(tag, sizeof tag, "R%u", i + 1);
      if (r3xSetTag(world, &region.header, tag) != 0 || r3xAddTag(world, &region.header) != 0) {
        return false;
      }
    }
  }
  return true;
}

bool AddTree(R3xWorld* world, const TestWorldSpec& spec) {
  if (spec.nodes.empty()) {
    return true;
  }
  auto* nodes = static_cast<R3xWorldNode*>(r3xMalloc(spec.nodes.size() * sizeof(R3xWorldNode)));
  if (nodes == nullptr) {
    return false;
  }
  const auto child = [&](int index) { return index < 0 ? nullptr : nodes + index; };
  for (std::size_t i = 0; i < spec.nodes.size(); ++i) {
    const TestWorldNode& node = spec.nodes[i];
    nodes[i] = {node.plane[0],     node.plane[1],    node.plane[2], node.plane[3],
                child(node.front), child(node.back), node.leaf};
  }
  world->bspRoot = nodes;
  world->bspOffset = 0;
  return _r3xCheckWorldTree(nodes, static_cast<std::uint32_t>(spec.nodes.size()),
                            spec.regionCount) == 0;
}

// Splits cells [x0, x1) x [y0, y1) along the longer side; returns the subtree's node index.
int AddGridNodes(TestWorldSpec& spec, std::uint32_t nx, float cell, std::uint32_t x0,
                 std::uint32_t x1, std::uint32_t y0, std::uint32_t y1) {
  const int index = static_cast<int>(spec.nodes.size());
  if (x1 - x0 == 1 && y1 - y0 == 1) {
    spec.nodes.push_back(MakeTestLeaf(y0 * nx + x0));
    return index;
  }
  spec.nodes.push_back({});
  TestWorldNode node{};
  if (x1 - x0 >= y1 - y0) {
    const std::uint32_t mid = (x0 + x1) / 2;
    node = MakeTestSplitX(static_cast<float>(mid) * cell,
                          AddGridNodes(spec, nx, cell, mid, x1, y0, y1),
                          AddGridNodes(spec, nx, cell, x0, mid, y0, y1));
  } else {
    const std::uint32_t mid = (y0 + y1) / 2;
    node = {{0, 1, 0, -static_cast<float>(mid) * cell},
            AddGridNodes(spec, nx, cell, x0, x1, mid, y1),
            AddGridNodes(spec, nx, cell, x0, x1, y0, mid),
            0};
  }
  spec.nodes[static_cast<std::size_t>(index)] = node;
  return index;
}

}  // namespace

TestWorldNode MakeTestLeaf(std::uint32_t region) { return {{0, 0, 0, 0}, -1, -1, region + 1}; }

TestWorldNode MakeTestSplitX(float at, int front, int back) {
  return {{1, 0, 0, -at}, front, back, 0};
}

R3xWorld* MakeTestWorld(const TestWorldSpec& spec) {
  R3xWorld* world = r3xCreateWorld(nullptr, 0, nullptr);
  if (world == nullptr) {
    return nullptr;
  }
  if (!AddRegions(world, spec) || !AddTree(world, spec)) {
    r3xDestroyWorld(world);
    return nullptr;
  }
  return world;
}

TestWorldSpec MakeThreeSlabs() {
  TestWorldSpec spec{3, {}, {}};
  spec.nodes = {MakeTestSplitX(0, 1, 2), MakeTestSplitX(10, 3, 4), MakeTestLeaf(0), MakeTestLeaf(2),
                MakeTestLeaf(1)};
  return spec;
}

TestWorldSpec MakeComb(std::uint32_t planes) {
  TestWorldSpec spec{planes + 1, {}, {}};
  // Node k is at index 2k and its back leaf (region k) at 2k + 1.
  for (std::uint32_t k = 0; k < planes; ++k) {
    const int front = static_cast<int>(2 * k + 2);
    spec.nodes.push_back(MakeTestSplitX(static_cast<float>(k), front, front - 1));
    spec.nodes.push_back(MakeTestLeaf(k));
  }
  spec.nodes.push_back(MakeTestLeaf(planes));
  return spec;
}

TestWorldSpec MakeGrid(std::uint32_t nx, std::uint32_t ny, float cell) {
  TestWorldSpec spec{nx * ny, {}, {}};
  AddGridNodes(spec, nx, cell, 0, nx, 0, ny);
  return spec;
}

std::vector<std::int32_t> FindRegionsInSphere(R3xWorld* world, const float* centre, float radius) {
  std::vector<std::int32_t> reached;
  r3xQueryRegionsInSphere(
      world, centre, radius,
      [](R3xWorld*, R3xRegion* region, void* user) {
        static_cast<std::vector<std::int32_t>*>(user)->push_back(region->header.slot);
        return std::int32_t{0};
      },
      &reached);
  return reached;
}

R3xActorDef* MakeTestActorModel(R3xWorld* world, const char* tag, std::uint32_t actions,
                                float partRadius, float volumeRadius) {
  std::vector<R3xObjectHeader*> parts;
  auto* actionArray = static_cast<R3xAction*>(r3xMalloc(actions * sizeof(R3xAction)));
  if (actionArray == nullptr) {
    return nullptr;
  }
  const float offset[3] = {0.0f, 0.0f, 0.0f};
  for (std::uint32_t i = 0; i < actions; ++i) {
    R3xVolume* volume = volumeRadius > 0.0f
                            ? reinterpret_cast<R3xVolume*>(r3xCreateSphereVolume(volumeRadius))
                            : nullptr;
    R3x2DSpriteDef* sprite = r3xCreate2DSpriteDef(world, nullptr, 0, 0, nullptr, 1.0f, 1.0f, 1.0f,
                                                  nullptr, 0, 0, 0, offset, volume, partRadius);
    parts.push_back(&r3xCreate2DSprite(world, sprite, nullptr)->header);
    actionArray[i].levelCount = 1;
    actionArray[i].levels = static_cast<R3xLodLevel*>(r3xMalloc(sizeof(R3xLodLevel)));
    actionArray[i].levels[0] = {0.0f, R3X_LOD_LAST_UPPER, static_cast<std::int32_t>(i)};
  }
  const R3xPlacement origin{0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, -1};
  return r3xCreateActorDef(world, tag, actions, actionArray, nullptr, &origin, nullptr, nullptr,
                           1.0f, partRadius, 0, parts.data(), 0);
}

TestWorldSpec MakeFloorToCeiling(float ceiling) {
  TestWorldSpec spec{1, {}, {}, false};
  spec.nodes.push_back({{0.0f, 0.0f, 1.0f, 0.0f}, 1, -1, 0});
  spec.nodes.push_back({{0.0f, 0.0f, 1.0f, -ceiling}, -1, 2, 0});
  spec.nodes.push_back(MakeTestLeaf(0));
  return spec;
}
