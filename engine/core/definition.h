// Steps shared by the engine's definitions and their instances: a definition is found again
// under its tag, is counted once for its default instance and once for every other instance.
#pragma once

#include <cstdint>

struct R3xWorld;
struct R3xObjectHeader;

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
