// Steps shared by the engine's definitions and their instances: a definition is found again
// under its tag, is counted once for its default instance and once for every other instance.
// Results: 0 or a negative R3X_ERR_ code; objects or null; the begin step gives true or false.
#pragma once

#include <cstdint>

#include "engine/core/error.h"
#include "engine/core/memory.h"
#include "engine/core/object.h"

struct R3xWorld;

// What a tag names when a definition of `type` is to be made under it.
struct R3xTagLookup {
  // The definition of that type already known under the tag, or null.
  R3xObjectHeader* existing;
  // Another kind of object holds the tag: no definition may be made under it.
  bool clash;
};

R3xTagLookup _r3xLookUpDefinitionTag(R3xWorld* world, const char* tag, std::int32_t type);

// Gives a new object a copy of the tag (null allowed), registers it and enters the tag in the
// dictionary. 0, or R3X_ERR_FAILED with all of it undone.
std::int32_t _r3xRegisterTagged(R3xWorld* world, R3xObjectHeader* object, const char* tag);

// Takes the object out of the dictionary when it is entered, unregisters it and frees its tag.
void _r3xUnregisterTagged(R3xWorld* world, R3xObjectHeader* object);

// Registers a copy of an instance as a new instance of the definition: no tag, no flags, and
// one more count on the definition. 0, or R3X_ERR_FAILED with nothing registered or counted.
std::int32_t _r3xRegisterInstance(R3xWorld* world, R3xObjectHeader* instance,
                                  R3xObjectHeader* definition);

// The reverse of _r3xRegisterInstance, also for an instance that was renamed meanwhile.
void _r3xUnregisterInstance(R3xWorld* world, R3xObjectHeader* instance,
                            R3xObjectHeader* definition);

// The definition and instance records below have a `header`; a definition also has
// `defaultInstance`, an instance `definition`. `freeOwned` releases what a definition owns besides
// its default instance, also when only part of it was made.

// Starts a definition of `type` under the tag (null allowed). False when none is to be made:
// *out is then the definition already known under the tag, or null when another kind of object
// holds the tag, the arguments are not `valid` (asked only when no definition is known under the
// tag) or memory runs out. True with *out a new zero-filled definition, counted once for its
// default instance and registered under a copy of the tag.
template <typename Definition, typename Valid>
bool _r3xBeginDefinition(R3xWorld* world, const char* tag, std::int32_t type, Definition** out,
                         Valid valid) {
  const R3xTagLookup lookup = _r3xLookUpDefinitionTag(world, tag, type);
  *out = reinterpret_cast<Definition*>(lookup.existing);
  if (lookup.existing != nullptr || lookup.clash || !valid()) {
    return false;
  }
  auto* definition = static_cast<Definition*>(r3xMalloc(sizeof(Definition)));
  if (definition == nullptr) {
    return false;
  }
  definition->header = {type, -1, nullptr, 0, 1};
  if (_r3xRegisterTagged(world, &definition->header, tag) != 0) {
    r3xFree(definition);
    return false;
  }
  *out = definition;
  return true;
}

template <typename Definition>
bool _r3xBeginDefinition(R3xWorld* world, const char* tag, std::int32_t type, Definition** out) {
  return _r3xBeginDefinition(world, tag, type, out, [] { return true; });
}

// Undoes _r3xBeginDefinition after the owned data are released.
template <typename Definition>
void _r3xDiscardDefinition(R3xWorld* world, Definition* definition,
                           void (*freeOwned)(Definition*)) {
  freeOwned(definition);
  _r3xUnregisterTagged(world, &definition->header);
  r3xFree(definition);
}

// Ends a begun definition with a registered, uncounted default instance holding `defaults`.
// The definition, or null with all of it undone when `ready` (its owned data were made) is false
// or memory runs out.
template <typename Definition, typename Instance>
Definition* _r3xFinishDefinition(R3xWorld* world, Definition* definition, bool ready,
                                 const Instance& defaults, void (*freeOwned)(Definition*)) {
  auto* instance = static_cast<Instance*>(r3xMalloc(sizeof(Instance)));
  if (ready && instance != nullptr) {
    *instance = defaults;
    if (r3xRegisterObject(world, &instance->header) == 0) {
      definition->defaultInstance = instance;
      return definition;
    }
  }
  r3xFree(instance);
  _r3xDiscardDefinition(world, definition, freeOwned);
  return nullptr;
}

// Destroys a definition with its default instance, once no other instance is left: 0, or
// R3X_ERR_FAILED when it is null or still has other instances.
template <typename Definition>
std::int32_t _r3xDestroyDefinition(R3xWorld* world, Definition* definition,
                                   void (*freeOwned)(Definition*)) {
  if (definition == nullptr || definition->header.refCount != 1) {
    return R3X_ERR_FAILED;
  }
  _r3xUnregisterTagged(world, &definition->defaultInstance->header);
  r3xFree(definition->defaultInstance);
  _r3xDiscardDefinition(world, definition, freeOwned);
  return 0;
}

// A new registered instance copied from `source` and counted on its definition; null when
// `source` is null or on failure.
template <typename Instance>
Instance* _r3xCopyInstance(R3xWorld* world, const Instance* source) {
  if (source == nullptr) {
    return nullptr;
  }
  auto* instance = static_cast<Instance*>(r3xMalloc(sizeof(Instance)));
  if (instance == nullptr) {
    return nullptr;
  }
  *instance = *source;
  if (_r3xRegisterInstance(world, &instance->header, &source->definition->header) != 0) {
    r3xFree(instance);
    return nullptr;
  }
  return instance;
}

// Destroys an instance other than its definition's default one: 0, R3X_ERR_FAILED for null,
// R3X_ERR_DEFAULT_INSTANCE for the default instance.
template <typename Instance>
std::int32_t _r3xDestroyInstance(R3xWorld* world, Instance* instance) {
  if (instance == nullptr) {
    return R3X_ERR_FAILED;
  }
  if (instance->definition->defaultInstance == instance) {
    return R3X_ERR_DEFAULT_INSTANCE;
  }
  _r3xUnregisterInstance(world, &instance->header, &instance->definition->header);
  r3xFree(instance);
  return 0;
}
