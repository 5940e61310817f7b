// The bytes of one engine file, whether it is a member of a pack archive or a plain file, read
// through one interface: open, read, seek, tell, size, close. World streams, BMP files and every
// later file format read through it.
// Results: 0 or R3X_ERR_FAILED; byte counts, offsets and sizes, or -1; true or false.
#pragma once

#include <cstdint>

#include "platform/kernel/types.h"

struct R3xWad;
struct R3xWadMember;

inline constexpr std::uint32_t R3X_SOURCE_WAD_MEMBER = 0;
inline constexpr std::uint32_t R3X_SOURCE_FILE = 1;

// Plain files are read ahead in blocks of this size, so that a parser's small reads do not each
// cost a system call.
inline constexpr std::uint32_t R3X_SOURCE_READ_AHEAD = 4096;

struct R3xByteSource {
  std::uint32_t kind;
  // The archive the member comes from; null for a plain file.
  R3xWad* archive;
  R3xWadMember* member;
  HANDLE file;
  // Bytes in the member or file, and the offset of the next byte handed out.
  std::int64_t size;
  std::int64_t position;
  // Bytes of a plain file read ahead and not yet handed out: [readAheadNext, readAheadEnd).
  std::uint32_t readAheadNext;
  std::uint32_t readAheadEnd;
  std::uint8_t readAhead[R3X_SOURCE_READ_AHEAD];
};

// Opens the member of that name in the archive, or without an archive the file of that name,
// at its first byte. 0, or R3X_ERR_FAILED when it cannot be opened (the source is then closed).
std::int32_t _r3xOpenByteSource(R3xByteSource* source, const char* name, R3xWad* archive);
// Bytes read into the buffer (fewer only at the end, 0 there), or -1 for a read error, a
// negative count or an unknown kind.
std::int32_t _r3xReadByteSource(R3xByteSource* source, void* buffer, std::int32_t count);
// True when exactly count bytes were read; a short read leaves the position after what it got.
bool _r3xReadByteSourceExact(R3xByteSource* source, void* buffer, std::int64_t count);
// Moves to an absolute offset from 0 to the size: 0, or R3X_ERR_FAILED with the position
// unchanged.
std::int32_t _r3xSeekByteSource(R3xByteSource* source, std::int64_t offset);
// The offset of the next byte, or -1 for an unknown kind.
std::int64_t _r3xTellByteSource(const R3xByteSource* source);
// Bytes in the member or file, or -1 for an unknown kind.
std::int64_t _r3xByteSourceSize(const R3xByteSource* source);
// Bytes from the position to the end.
std::int64_t _r3xByteSourceRemaining(const R3xByteSource* source);
// Closes the member or file; closing twice does nothing.
void _r3xCloseByteSource(R3xByteSource* source);
