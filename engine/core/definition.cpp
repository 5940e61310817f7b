#include "engine/core/definition.h"

#include "engine/core/error.h"
#include "engine/core/memory.h"
#include "engine/core/object.h"
#include "engine/core/string_copy.h"
#include "engine/core/tag_dictionary.h"

R3xTagLookup _r3xLookUpDefinitionTag(R3xWorld* world, const char* tag, std::int32_t type) {
  R3xObjectHeader* found = tag == nullptr ? nullptr : r3xFindTag(world, tag);
  if (found == nullptr) {
    return {nullptr, false};
  }
  if (found->type != type) {
    return {nullptr, true};
  }
  return {found, false};
}

std::int32_t _r3xRegisterTagged(R3xWorld* world, R3xObjectHeader* object, const char* tag) {
  if (tag != nullptr) {
    object->tag = _r3xCopyString(tag);
    if (object->tag == nullptr) {
      return R3X_ERR_FAILED;
    }
  }
  if (r3xRegisterObject(world, object) != 0) {
    r3xFree(object->tag);
    object->tag = nullptr;
    return R3X_ERR_FAILED;
  }
  if (tag != nullptr && r3xAddTag(world, object) != 0) {
    r3xUnregisterObject(world, object);
    r3xFree(object->tag);
    object->tag = nullptr;
    return R3X_ERR_FAILED;
  }
  return 0;
}

void _r3xUnregisterTagged(R3xWorld* world, R3xObjectHeader* object) {
  if ((object->flags & R3X_FLAG_IN_DICTIONARY) != 0) {
    r3xRemoveTag(world, object->tag);
  }
  r3xUnregisterObject(world, object);
  r3xFree(object->tag);
  object->tag = nullptr;
}

std::int32_t _r3xRegisterInstance(R3xWorld* world, R3xObjectHeader* instance,
                                  R3xObjectHeader* definition) {
  // The copy shares its source's tag pointer until it is cleared here.
  instance->tag = nullptr;
  instance->flags = 0;
  if (r3xRegisterObject(world, instance) != 0) {
    return R3X_ERR_FAILED;
  }
  if (r3xAddRef(definition) != 0) {
    r3xUnregisterObject(world, instance);
    return R3X_ERR_FAILED;
  }
  return 0;
}

void _r3xUnregisterInstance(R3xWorld* world, R3xObjectHeader* instance,
                            R3xObjectHeader* definition) {
  r3xRelease(definition);
  _r3xUnregisterTagged(world, instance);
}
