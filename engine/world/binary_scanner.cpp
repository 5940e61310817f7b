#include "engine/world/binary_scanner.h"

#include <algorithm>
#include <cstring>

#include "base/byte_reader.h"
#include "engine/core/memory.h"
#include "engine/world/keyword_table.h"
#include "engine/world/parse_context.h"
#include "engine/world/parse_result.h"
#include "engine/world/token_value.h"
#include "engine/world/world_stream.h"
#include "engine/world/world_string_key.h"

namespace {

constexpr std::int32_t kTwoByteString = R3X_TOKEN_STRING;
constexpr std::int32_t kTwoByteUserData = R3X_TOKEN_USER_DATA;
constexpr std::int32_t kTwoByteBlock = R3X_TOKEN_BINARY_BLOCK;

std::int32_t invalidToken(R3xScanner* scanner) {
  parError(scanner->context, "binary scanner: invalid token in WLD file");
  return R3X_TOKEN_ERROR;
}

// The next count (1 to 4) bytes: in place when the input holds them, else read into spare.
// Null after a reported short or failed read.
const std::uint8_t* readSmall(R3xScanner* scanner, std::int32_t count, std::uint8_t* spare) {
  auto* s = reinterpret_cast<R3xBinaryScanner*>(scanner);
  if (static_cast<std::uint32_t>(count) <= s->end - s->next) {
    const std::uint8_t* bytes = s->input + s->next;
    s->next += static_cast<std::uint32_t>(count);
    return bytes;
  }
  return parBinaryReadExact(scanner, spare, count) == 0 ? spare : nullptr;
}

// A little-endian signed value of 1, 2 or 4 bytes, sign-extended.
std::int32_t readSigned(R3xScanner* scanner, int count, std::int32_t* value) {
  std::uint8_t spare[4];
  const std::uint8_t* bytes = readSmall(scanner, count, spare);
  if (bytes == nullptr) {
    return PAR_STOP;
  }
  arena::ByteReader reader(bytes, static_cast<std::size_t>(count));
  switch (count) {
    case 1:
      *value = static_cast<std::int8_t>(reader.U8());
      break;
    case 2:
      *value = reader.I16();
      break;
    default:
      *value = reader.I32();
      break;
  }
  return 0;
}

std::int32_t numberToken(R3xScanner* scanner, std::int32_t token, int size) {
  std::int32_t value = 0;
  if (readSigned(scanner, size, &value) != 0) {
    return R3X_TOKEN_ERROR;
  }
  parSetNumberValue(&scanner->context->tokenValue, value);
  return token;
}

std::int32_t stringToken(R3xScanner* scanner, std::int32_t token, std::int32_t lengthWidth) {
  return parBinaryReadScrambledString(scanner, &scanner->context->tokenValue, lengthWidth) == 0
             ? token
             : R3X_TOKEN_ERROR;
}

// A block of plain bytes after a 4-byte length field: its first byte is the length of the
// one-byte form, its first two bytes (high first) that of the two-byte form; the rest is
// ignored. Stored files rely on this, so blocks of the one-byte form stay below 256 bytes.
std::int32_t blockToken(R3xScanner* scanner, bool twoByteLength) {
  std::uint8_t field[4];
  if (parBinaryReadExact(scanner, field, sizeof field) != 0) {
    return R3X_TOKEN_ERROR;
  }
  arena::ByteReader reader(field, sizeof field);
  const std::uint32_t length = twoByteLength ? reader.U16BigEndian() : reader.U8();
  // Zero-filled, so a NUL follows the bytes.
  auto* block = static_cast<char*>(r3xMalloc(std::size_t{length} + 1));
  if (block == nullptr) {
    return R3X_TOKEN_ERROR;
  }
  if (length > 0 && parBinaryReadExact(scanner, block, static_cast<std::int32_t>(length)) != 0) {
    r3xFree(block);
    return R3X_TOKEN_ERROR;
  }
  parSetTextValue(&scanner->context->tokenValue, block, length);
  return R3X_TOKEN_BINARY_BLOCK;
}

std::int32_t twoByteToken(R3xScanner* scanner, std::uint8_t first) {
  std::uint8_t spare = 0;
  const std::uint8_t* bytes = readSmall(scanner, 1, &spare);
  if (bytes == nullptr) {
    return R3X_TOKEN_ERROR;
  }
  const std::uint8_t second = *bytes;
  const std::int32_t code = ((first & 0x7F) << 8) + second;
  if (code < R3X_TOKEN_FIRST_TWO_BYTE || code > R3X_TOKEN_LAST) {
    return invalidToken(scanner);
  }
  switch (code) {
    case kTwoByteString:
      return stringToken(scanner, R3X_TOKEN_STRING, 2);
    case kTwoByteUserData:
      return stringToken(scanner, R3X_TOKEN_USER_DATA, 2);
    case kTwoByteBlock:
      return blockToken(scanner, true);
    default:
      parClearTokenValue(&scanner->context->tokenValue);
      return code;
  }
}

}  // namespace

R3xScanner* parCreateBinaryScanner(R3xParseContext* context, R3xWorldStream* stream) {
  auto* s = static_cast<R3xBinaryScanner*>(r3xMalloc(sizeof(R3xBinaryScanner)));
  if (s == nullptr) {
    parError(context, "out of memory");
    return nullptr;
  }
  s->head.nextToken = parBinaryScannerNextToken;
  s->head.destroy = parDestroyBinaryScanner;
  s->head.stream = stream;
  s->head.context = context;
  return &s->head;
}

void parDestroyBinaryScanner(R3xScanner* scanner) { r3xFree(scanner); }

namespace {

// Refills the empty input from the stream: the bytes read, 0 at its end or PAR_READ_ERROR.
// A failed read is tried again at the next request, as a direct read would be.
std::int32_t fillInput(R3xBinaryScanner* s) {
  const std::int32_t n =
      parReadStream(s->head.stream, s->input, static_cast<std::int32_t>(sizeof s->input));
  s->next = 0;
  s->end = n > 0 ? static_cast<std::uint32_t>(n) : 0;
  return n;
}

}  // namespace

std::int32_t parBinaryReadExact(R3xScanner* scanner, void* buffer, std::int32_t count) {
  auto* s = reinterpret_cast<R3xBinaryScanner*>(scanner);
  auto* bytes = static_cast<std::uint8_t*>(buffer);
  if (count >= 0 && static_cast<std::uint32_t>(count) <= s->end - s->next) {
    std::memcpy(bytes, s->input + s->next, static_cast<std::size_t>(count));
    s->next += static_cast<std::uint32_t>(count);
    return 0;
  }
  std::int32_t done = 0;
  while (done < count) {
    if (s->next == s->end) {
      const std::int32_t n = fillInput(s);
      if (n < 0) {
        parError(scanner->context, "binary scanner: read error");
        return PAR_STOP;
      }
      if (n == 0) {
        break;
      }
    }
    const std::uint32_t n = std::min(s->end - s->next, static_cast<std::uint32_t>(count - done));
    std::memcpy(bytes + done, s->input + s->next, n);
    s->next += n;
    done += static_cast<std::int32_t>(n);
  }
  if (done == count) {
    return 0;
  }
  parError(scanner->context, done == 0 ? "binary scanner: incomplete token in WLD file"
                                       : "binary scanner: read error");
  return PAR_STOP;
}

std::int32_t parBinaryReadScrambledString(R3xScanner* scanner, R3xTokenValue* destination,
                                          std::int32_t lengthWidth) {
  std::uint8_t field[2];
  if (parBinaryReadExact(scanner, field, lengthWidth) != 0) {
    return PAR_STOP;
  }
  arena::ByteReader reader(field, static_cast<std::size_t>(lengthWidth));
  const std::uint32_t length = lengthWidth == 2 ? reader.U16BigEndian() : reader.U8();
  auto* text = static_cast<std::uint8_t*>(r3xMalloc(std::size_t{length} + 1));
  if (text == nullptr) {
    return PAR_STOP;
  }
  if (length > 0 && parBinaryReadExact(scanner, text, static_cast<std::int32_t>(length)) != 0) {
    r3xFree(text);
    return PAR_STOP;
  }
  _r3xApplyWorldStringKey(text, length);
  parSetTextValue(destination, reinterpret_cast<char*>(text), length);
  return 0;
}

namespace {

// One token as the table of codes gives it.
std::int32_t readToken(R3xScanner* scanner) {
  auto* s = reinterpret_cast<R3xBinaryScanner*>(scanner);
  if (s->next == s->end) {
    const std::int32_t n = fillInput(s);
    if (n == 0) {
      return R3X_TOKEN_END;
    }
    if (n < 0) {
      parError(scanner->context, "binary scanner: read failed");
      return R3X_TOKEN_ERROR;
    }
  }
  const std::uint8_t code = s->input[s->next++];
  R3xTokenValue* value = &scanner->context->tokenValue;
  // Numbers and reals are most of a file's tokens, and their bytes nearly always lie in the
  // input already: read those in place without the general reads below.
  if (s->end - s->next >= 4) {
    arena::ByteReader reader(s->input + s->next, 4);
    switch (code) {
      case R3X_BINARY_INT8:
        s->next += 1;
        parSetNumberValue(value, reader.I8());
        return R3X_TOKEN_INTEGER;
      case R3X_BINARY_INT16:
        s->next += 2;
        parSetNumberValue(value, reader.I16());
        return R3X_TOKEN_INTEGER;
      case R3X_BINARY_INT32:
        s->next += 4;
        parSetNumberValue(value, reader.I32());
        return R3X_TOKEN_INTEGER;
      case R3X_BINARY_REAL:
        s->next += 4;
        parSetRealValue(value, reader.F32());
        return R3X_TOKEN_REAL;
      default:
        break;
    }
  }
  switch (code) {
    case R3X_BINARY_END:
      return R3X_TOKEN_END;
    case R3X_BINARY_NAME:
      return stringToken(scanner, R3X_TOKEN_NAME, 1);
    case R3X_BINARY_INT8:
      return numberToken(scanner, R3X_TOKEN_INTEGER, 1);
    case R3X_BINARY_INT16:
      return numberToken(scanner, R3X_TOKEN_INTEGER, 2);
    case R3X_BINARY_INT32:
      return numberToken(scanner, R3X_TOKEN_INTEGER, 4);
    case R3X_BINARY_REAL: {
      std::uint8_t spare[4];
      const std::uint8_t* bytes = readSmall(scanner, sizeof spare, spare);
      if (bytes == nullptr) {
        return R3X_TOKEN_ERROR;
      }
      parSetRealValue(value, arena::ByteReader(bytes, sizeof spare).F32());
      return R3X_TOKEN_REAL;
    }
    case R3X_BINARY_STRING:
      return stringToken(scanner, R3X_TOKEN_STRING, 1);
    case R3X_BINARY_USER_DATA:
      return stringToken(scanner, R3X_TOKEN_USER_DATA, 1);
    case R3X_BINARY_BLOCK:
      return blockToken(scanner, false);
    case R3X_BINARY_USERDEFINED:
      parSetNumberValue(value, static_cast<std::int32_t>(R3X_USERDEFINED_VALUE));
      return R3X_TOKEN_USERDEFINED;
    case R3X_BINARY_RENDER_METHOD16:
      return numberToken(scanner, R3X_TOKEN_RENDER_METHOD, 2);
    case R3X_BINARY_RENDER_METHOD32:
      return numberToken(scanner, R3X_TOKEN_RENDER_METHOD, 4);
    default:
      break;
  }
  if ((code & R3X_BINARY_TWO_BYTE_FLAG) != 0) {
    return twoByteToken(scanner, code);
  }
  if (code == 0 || code > R3X_BINARY_RENDER_METHOD32) {
    return invalidToken(scanner);
  }
  parClearTokenValue(value);
  return code;
}

}  // namespace

std::int32_t parBinaryScannerNextToken(R3xScanner* scanner) {
  const std::int32_t token = readToken(scanner);
  // An error token carries no value.
  if (token == R3X_TOKEN_ERROR) {
    parClearTokenValue(&scanner->context->tokenValue);
  }
  return token;
}
