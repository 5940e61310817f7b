// Pack archives: read-only memory-mapped files with a sorted directory. Members are opened by
// name into a fixed number of slots and read through their own mapped views.
// Results: objects or null; members: R3X_WAD_DONE/_REFUSED/_NOT_OPEN; entries: R3X_ERR_ codes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/kernel/types.h"

struct R3xWad;

// One member slot. Offsets are absolute within the archive file.
struct R3xWadMember {
  int open;
  std::size_t start;
  std::size_t end;
  std::size_t position;
  std::size_t size;
  const std::uint8_t* entry;
  R3xWad* wad;
  std::size_t viewBase;
  const std::uint8_t* view;
};

// Finds a name in the directory; on a hit fills the slot's range, position, size and entry.
using R3xWadLookupFn = bool (*)(const R3xWad* wad, const char* name, R3xWadMember* slot);

struct R3xWad {
  HANDLE file;
  HANDLE mapping;
  const std::uint8_t* directory;
  // Bytes of the mapped directory from its first entry: the entries, the end word and, in the
  // header layout, the names.
  std::uint64_t directorySize;
  R3xWadLookupFn lookup;
  std::uint32_t entryCount;
  LPVOID directoryView;
  R3xWadMember* slots;
  int slotCount;
  std::uint64_t granularityMask;
  // Bytes in the file: every member must lie inside it.
  std::uint64_t fileSize;
  // Bytes per directory entry, which tells the layout.
  std::size_t entrySize;
};

// A directory entry as the archive states it.
struct R3xWadEntry {
  const char* name;
  std::uint32_t start;
  std::uint32_t end;
};

// The open archive, or null when the file cannot be opened or its directory does not fit it.
R3xWad* r3xOpenWad(const char* name, int slotCount);
// Closes the archive with any members still open and frees its record; null is allowed.
void r3xCloseWad(R3xWad* wad);
// The member in the first free slot, or null (no archive, empty name, no free slot, not found,
// data outside the file, view not mapped).
R3xWadMember* r3xOpenWadMember(R3xWad* wad, const char* name);
// The member operations' results: done, or refused with nothing changed.
inline constexpr int R3X_WAD_DONE = 1;
inline constexpr int R3X_WAD_REFUSED = 0;
// Seek origins.
inline constexpr int R3X_WAD_SEEK_SET = 0;
inline constexpr int R3X_WAD_SEEK_CUR = 1;
inline constexpr int R3X_WAD_SEEK_END = 2;
// What tell and size give for a slot that is not open.
inline constexpr std::int64_t R3X_WAD_NOT_OPEN = -1;

// R3X_WAD_DONE, or R3X_WAD_REFUSED for a null or closed slot.
int r3xCloseWadMember(R3xWadMember* member);
// Copies count bytes from the position and advances it: R3X_WAD_DONE, or R3X_WAD_REFUSED
// (nothing copied) when the slot is not open, count is negative or the read would pass the end.
int r3xReadWadMember(R3xWadMember* member, void* buffer, std::int64_t count);
// From the start, back from the end (0 <= offset < size), or relative (the result must stay
// before the end): R3X_WAD_DONE, or R3X_WAD_REFUSED with the position unchanged.
int r3xSeekWadMember(R3xWadMember* member, std::int64_t offset, int origin);
// Position from the member's start, or R3X_WAD_NOT_OPEN.
std::int64_t r3xTellWadMember(const R3xWadMember* member);
// Size in bytes, or R3X_WAD_NOT_OPEN for a null or closed slot.
std::int64_t r3xWadMemberSize(const R3xWadMember* member);

// Entry index in directory order, for tools that list an archive: 0, or R3X_ERR_FAILED when the
// index is past the count or the entry's data does not lie inside the file (entry still filled).
std::int32_t r3xGetWadEntry(const R3xWad* wad, std::uint32_t index, R3xWadEntry* entry);
