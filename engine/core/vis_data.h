// The mapped visibility data of a precompiled world: the regions' visible-region lists point
// into the view, which stays mapped while any region uses it.
// Results: records only.
#pragma once

#include <cstdint>

#include "platform/kernel/types.h"

struct R3xVisData {
  // Duplicates of the pack archive's handles, owned.
  HANDLE file;
  HANDLE mapping;
  // Regions whose geometry holds the record.
  std::int32_t refCount;
  // The mapped view as MapViewOfFile returned it, owned.
  const void* view;
  // The visibility member's first byte: inside the view, or in ownedCopy when the member does
  // not start on a 16-bit boundary (the lists are read as 16-bit words).
  const std::uint8_t* data;
  // Owned, or null.
  std::uint8_t* ownedCopy;
};
