#include "region_fixture.h"

#include <cstring>

#include "engine/core/math_tables.h"
#include "engine/core/math_tables_internal.h"
#include "engine/core/memory.h"
#include "world_fixture.h"

namespace world_test {

namespace {

constexpr Vertex kVertices[] = {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0},
                                {0, 0, 4}, {0, 2, 0}, {0, 0, 0}, {0, 0, 4}};

}  // namespace

char* Text(const char* text) {
  auto* copy = static_cast<char*>(r3xMalloc(std::strlen(text) + 1));
  std::strcpy(copy, text);
  return copy;
}

RegionFixture::RegionFixture() {
  _r3xInitMathTables();
  world_ = r3xCreateWorld(nullptr, 0, nullptr);
  r3xFree(world_->vertices);
  world_->vertexCount = sizeof kVertices / sizeof kVertices[0];
  world_->vertices = static_cast<float*>(r3xMalloc(sizeof kVertices));
  std::memcpy(world_->vertices, kVertices, sizeof kVertices);
  context_ = parCreateContext(world_, nullptr);
  TakeMessages();
}

RegionFixture::~RegionFixture() {
  parFreeRegionWork(context_);
  parDestroyContext(context_);
  r3xDestroyWorld(world_);
  _r3xFreeMathTables();
  for (R3xParseList* list : lists_) {
    parListFree(list);
    delete list;
  }
}

R3xParseList* RegionFixture::Ints(std::initializer_list<std::int32_t> values) {
  auto* list = new R3xParseList{};
  lists_.push_back(list);
  parListInit(list, sizeof(std::int32_t), static_cast<std::uint32_t>(values.size()));
  for (std::int32_t value : values) {
    parListAppend(list, &value);
  }
  return list;
}

R3xSurface RegionFixture::Surface(std::uint32_t pen) {
  R3xSurface surface{};
  surface.type = R3X_TYPE_SURFACE;
  surface.pen = pen;
  return surface;
}

void RegionFixture::BeginBlock(std::int32_t count) {
  ASSERT_EQ(parBeginRegionBlock(context_, count), 0);
}

void RegionFixture::BeginRegion(const char* tag) {
  ASSERT_EQ(parBeginRegion(context_, R3X_TYPE_REGION_INFO, Text(tag)), 0);
  ASSERT_EQ(parSetRenderVertexCount(context_, 8), 0);
}

void RegionFixture::Walls(const std::vector<std::vector<std::int32_t>>& walls) {
  ASSERT_EQ(parBeginWalls(context_, static_cast<std::int32_t>(walls.size())), 0);
  const float none[4] = {0, 0, 0, 0};
  for (const std::vector<std::int32_t>& wall : walls) {
    R3xParseList* numbers = Ints({});
    for (std::int32_t number : wall) {
      parListAppend(numbers, &number);
    }
    numbers->declared = numbers->count;
    R3xSurface surface = Surface(1);
    ASSERT_EQ(parAddWall(context_, 0, none, numbers, &surface), 0);
  }
  ASSERT_EQ(parEndWalls(context_), 0);
}

std::int32_t RegionFixture::EndRegion(bool sphere) {
  const float none[4] = {0, 0, 0, 0};
  if (parBeginObstacles(context_, 0, 0) != 0 || parEndObstacles(context_) != 0 ||
      parBeginVisTree(context_, 1, 1) != 0 || parAddVisNode(context_, none, 1, 0, 0) != 0 ||
      parAddVisibleList(context_, 1, Ints({1})) != 0 || parEndVisTree(context_) != 0) {
    return 1;
  }
  R3xRegionTail tail{};
  tail.sphereGiven = sphere ? 1 : 0;
  tail.sphere[3] = 1;
  return parEndRegion(context_, &tail);
}

std::int32_t RegionFixture::SimpleRegion(const char* tag) {
  if (parBeginRegion(context_, R3X_TYPE_REGION_INFO, Text(tag)) != 0 ||
      parSetRenderVertexCount(context_, 8) != 0) {
    return 1;
  }
  Walls({{1, 2, 3}});
  return EndRegion(true);
}

std::int32_t RegionFixture::Obstacle(std::int32_t kind, std::initializer_list<std::int32_t> numbers,
                                     std::int32_t nextRegion, std::int32_t regionField) {
  R3xParsedObstacle parsed{};
  parsed.kind = kind;
  parsed.regionField = regionField;
  parsed.nextRegion = nextRegion;
  parListInit(&parsed.numbers, sizeof(std::int32_t), static_cast<std::uint32_t>(numbers.size()));
  for (std::int32_t number : numbers) {
    parListAppend(&parsed.numbers, &number);
  }
  parsed.declaredVertices = static_cast<std::int32_t>(numbers.size());
  return parAddObstacle(context_, &parsed);
}

}  // namespace world_test
