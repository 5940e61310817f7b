// The reader of a record that only names a definition and makes one instance of it.
// Results: the instance made, or null.
#pragma once

#include <cstdint>

#include "engine/world/precompiled_records.h"

// i32 tag field, i32 reference to a definition of the given type; make(definition) creates the
// instance, which is then tagged. Null when the payload is malformed, the reference gives no
// definition or make gives null.
template <typename Definition, typename Make>
void* _r3xReadInstanceRecord(R3xWorldReader* reader, std::int32_t definitionType, Make make) {
  arena::ByteReader in = _r3xPayload(reader);
  const char* tag = _r3xTagName(reader, in, in.I32());
  auto* definition =
      static_cast<Definition*>(_r3xResolveObject(reader, in, in.I32(), {definitionType}));
  if (in.failed() || definition == nullptr) {
    return nullptr;
  }
  auto* instance = make(definition);
  if (instance != nullptr) {
    _r3xTagInstance(reader, &instance->header, tag);
  }
  return instance;
}
