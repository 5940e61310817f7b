#include "test_records.h"

#include <algorithm>
#include <cstring>

#include "engine/core/object_internal.h"
#include "engine/core/string_copy.h"

namespace {

R3xSlot* slotOf(R3xWorld* world, const TestRecord* record) {
  return &_r3xSlotTableOf(world, record->header.type)->slots[record->header.slot];
}

std::int32_t destroyPlain(R3xWorld* world, R3xSlot* slot) {
  auto* record = reinterpret_cast<TestRecord*>(slot->object);
  if (record->definition != nullptr) {
    r3xRelease(&record->definition->header);
  }
  if ((record->header.flags & R3X_FLAG_IN_DICTIONARY) != 0) {
    r3xRemoveTag(world, record->header.tag);
  }
  const std::int32_t result = r3xUnregisterObject(world, &record->header);
  gDestroyedRecords.push_back(record);
  r3xFree(record->header.tag);
  r3xFree(record);
  return result;
}

std::int32_t destroyDefinition(R3xWorld* world, R3xSlot* slot) {
  auto* definition = reinterpret_cast<TestRecord*>(slot->object);
  if (definition->header.refCount != 1) {
    return R3X_ERR_DEF_IN_USE;
  }
  definition->defaultInstance->definition = nullptr;
  destroyPlain(world, slotOf(world, definition->defaultInstance));
  return destroyPlain(world, slot);
}

// Regions live in one block that the world frees after their data.
std::int32_t destroyRegionData(R3xWorld*, R3xSlot* slot) {
  gDestroyedRecords.push_back(reinterpret_cast<TestRecord*>(slot->object));
  return 0;
}

bool isDefaultInstance(const R3xObjectHeader* object) {
  const auto* record = reinterpret_cast<const TestRecord*>(object);
  return record->definition != nullptr && record->definition->defaultInstance == record;
}

}  // namespace

TestTypes::TestTypes(std::vector<Pair> pairs, std::vector<std::int32_t> plain) {
  std::copy(std::begin(_r3xDestroyTable), std::end(_r3xDestroyTable), saved_);
  for (const Pair& pair : pairs) {
    _r3xDestroyTable[pair.definition] = {destroyDefinition, nullptr};
    _r3xDestroyTable[pair.instance] = {destroyPlain, isDefaultInstance};
  }
  for (std::int32_t type : plain) {
    _r3xDestroyTable[type] = {type == R3X_TYPE_REGION ? destroyRegionData : destroyPlain, nullptr};
  }
  gDestroyedRecords.clear();
}

TestTypes::~TestTypes() { std::copy(std::begin(saved_), std::end(saved_), _r3xDestroyTable); }

TestRecord* makeRecord(R3xWorld* world, std::int32_t type, const char* tag) {
  auto* record = static_cast<TestRecord*>(r3xMalloc(sizeof(TestRecord)));
  if (record == nullptr) {
    return nullptr;
  }
  record->header.type = type;
  record->header.tag = _r3xCopyString(tag);
  if (r3xRegisterObject(world, &record->header) != 0) {
    r3xFree(record->header.tag);
    r3xFree(record);
    return nullptr;
  }
  if (tag != nullptr) {
    r3xAddTag(world, &record->header);
  }
  return record;
}

TestRecord* makeDefinition(R3xWorld* world, std::int32_t type, std::int32_t instanceType,
                           const char* tag) {
  TestRecord* definition = makeRecord(world, type, tag);
  TestRecord* instance = makeRecord(world, instanceType, nullptr);
  definition->defaultInstance = instance;
  definition->header.refCount = 1;
  instance->definition = definition;
  return definition;
}

TestRecord* makeInstance(R3xWorld* world, TestRecord* definition) {
  auto* instance = static_cast<TestRecord*>(r3xMalloc(sizeof(TestRecord)));
  std::memcpy(instance, definition->defaultInstance, sizeof(TestRecord));
  instance->header.tag = nullptr;
  instance->header.flags = 0;
  instance->header.refCount = 0;
  if (r3xRegisterObject(world, &instance->header) != 0) {
    r3xFree(instance);
    return nullptr;
  }
  r3xAddRef(&definition->header);
  return instance;
}

std::int32_t destroyRecord(R3xWorld* world, TestRecord* record) {
  return _r3xDestroyTable[record->header.type].destroy(world, slotOf(world, record));
}

TestRecord* makeRegions(R3xWorld* world, int count) {
  auto* block = static_cast<TestRecord*>(r3xMalloc(sizeof(TestRecord) * count));
  for (int i = 0; i < count; ++i) {
    block[i].header.type = R3X_TYPE_REGION;
    r3xRegisterObject(world, &block[i].header);
  }
  return block;
}
