// Plain records of several engine types for exercising the object model without the types'
// own modules: a header, and for definitions and instances the links between them.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/core/destroy_table.h"
#include "engine/r3x.h"

struct TestRecord {
  R3xObjectHeader header;
  TestRecord* definition;
  TestRecord* defaultInstance;
};

// Records destroyed through the destroy table since the last TestTypes was made.
inline std::vector<const TestRecord*> gDestroyedRecords;

// Installs destroy operations for the given definition/instance type pairs and plain types
// (regions: records in one block, see makeRegions) while it lives, and puts the destroy table back
// afterwards.
class TestTypes {
 public:
  struct Pair {
    std::int32_t definition;
    std::int32_t instance;
  };
  TestTypes(std::vector<Pair> pairs, std::vector<std::int32_t> plain);
  ~TestTypes();
  TestTypes(const TestTypes&) = delete;
  TestTypes& operator=(const TestTypes&) = delete;

 private:
  R3xTypeDestroy saved_[R3X_TYPE_CODE_COUNT];
};

// A registered record, its tag entered in the dictionary when it has one; null on failure.
TestRecord* makeRecord(R3xWorld* world, std::int32_t type, const char* tag);
// A definition with its default instance of the instance type (count 1).
TestRecord* makeDefinition(R3xWorld* world, std::int32_t type, std::int32_t instanceType,
                           const char* tag);
// A copy of the definition's default instance, untagged, counted in the definition.
TestRecord* makeInstance(R3xWorld* world, TestRecord* definition);
// Count regions registered in one block, as the world loaders make them.
TestRecord* makeRegions(R3xWorld* world, int count);
// The destroy operation of the record's type, as the world would call it.
std::int32_t destroyRecord(R3xWorld* world, TestRecord* record);
