// The bytes of one world file, from a pack archive member or a plain file, and the sniffing of
// the binary form's signature.
// Results: streams or null; byte counts or PAR_READ_ERROR; PAR_FORM_ answers.
#pragma once

#include <cstdint>

#include "engine/core/byte_source.h"
#include "engine/world/binary_world_format.h"

struct R3xWad;

struct R3xWorldStream {
  R3xByteSource source;
  // Copy of the name the stream was opened with, for messages.
  char* name;
};

// Opens the member of that name in the archive, or without an archive the file of that name.
// Null when it cannot be opened or the record cannot be allocated.
R3xWorldStream* parOpenStream(const char* name, R3xWad* archive);
// A stream's read error, as the byte source reports it.
inline constexpr std::int32_t PAR_READ_ERROR = -1;
// The answers of the form tests below.
inline constexpr std::int32_t PAR_FORM_MATCHES = 1;
inline constexpr std::int32_t PAR_FORM_OTHER = 0;

// Bytes read into the buffer (0 at the end), or PAR_READ_ERROR for a read error or an unknown
// kind.
std::int32_t parReadStream(R3xWorldStream* stream, void* buffer, std::int32_t count);
// Back to the first byte: nonzero on success.
std::int32_t parRewindStream(R3xWorldStream* stream);
// The offset of the next byte, or -1 for an unknown kind.
std::int64_t parTellStream(R3xWorldStream* stream);
// Closing and freeing are separate: whoever opened the outermost file closes and frees it.
void parCloseStream(R3xWorldStream* stream);
void parFreeStream(R3xWorldStream* stream);
const char* parStreamName(const R3xWorldStream* stream);

// PAR_FORM_MATCHES when the next six bytes are the binary signature (the stream then stays after
// them); otherwise the stream is rewound to its start and PAR_FORM_OTHER returned.
std::int32_t parIsBinaryWorldFile(R3xWorldStream* stream);
// Every file that is not binary is read as text: always PAR_FORM_MATCHES.
std::int32_t parIsAsciiWorldFile(R3xWorldStream* stream);

// The three forms of a world file, told apart by its first bytes.
inline constexpr std::int32_t PAR_WORLD_TEXT = 0;
inline constexpr std::int32_t PAR_WORLD_BINARY = 1;
inline constexpr std::int32_t PAR_WORLD_PRECOMPILED = 2;
// The form of the file from one read of its first bytes (a file shorter than a precompiled
// world's header counts as precompiled: that reader refuses it): a binary file is left after its
// signature (as parIsBinaryWorldFile leaves it), a text or precompiled one at its start.
std::int32_t parSniffWorldForm(R3xWorldStream* stream);
