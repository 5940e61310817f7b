#include "tools/mkdata/world_binary_writer.h"

#include <limits>
#include <memory>
#include <stdexcept>

#include "base/byte_writer.h"
#include "engine/world/binary_scanner.h"
#include "engine/world/keyword_table.h"
#include "engine/world/parse_context.h"
#include "engine/world/token_source.h"
#include "engine/world/world_stream.h"
#include "engine/world/world_string_key.h"

namespace mkdata {
namespace {

constexpr std::uint32_t kShortLength = 0xFF;
constexpr std::uint32_t kLongLength = 0xFFFF;

struct ContextDeleter {
  void operator()(R3xParseContext* context) const { parDestroyContext(context); }
};
struct StreamDeleter {
  void operator()(R3xWorldStream* stream) const {
    parCloseStream(stream);
    parFreeStream(stream);
  }
};
struct SourceDeleter {
  void operator()(R3xTokenSource* source) const { parDestroyTokenSource(source); }
};

void WriteCode(arena::ByteWriter& out, std::int32_t token) {
  if (token < R3X_TOKEN_FIRST_TWO_BYTE) {
    out.U8(static_cast<std::uint8_t>(token));
  } else {
    out.U16BigEndian(static_cast<std::uint16_t>((R3X_BINARY_TWO_BYTE_FLAG << 8) | token));
  }
}

void WriteScrambled(arena::ByteWriter& out, const R3xTokenValue& value) {
  std::vector<std::uint8_t> bytes(value.text, value.text + value.length);
  _r3xApplyWorldStringKey(bytes.data(), bytes.size());
  out.Bytes(bytes.data(), bytes.size());
}

// A string or user data: the one-byte code with a one-byte length, or the two-byte code with a
// length high byte first.
void WriteText(arena::ByteWriter& out, std::uint8_t shortCode, std::int32_t token,
               const R3xTokenValue& value) {
  if (value.length <= kShortLength) {
    out.U8(shortCode);
    out.U8(static_cast<std::uint8_t>(value.length));
  } else if (value.length <= kLongLength) {
    WriteCode(out, token);
    out.U16BigEndian(static_cast<std::uint16_t>(value.length));
  } else {
    throw std::runtime_error("text too long for a binary world file");
  }
  WriteScrambled(out, value);
}

bool FitsIn(std::int32_t value, std::int32_t low, std::int32_t high) {
  return value >= low && value <= high;
}

void WriteInteger(arena::ByteWriter& out, std::int32_t value) {
  if (FitsIn(value, std::numeric_limits<std::int8_t>::min(),
             std::numeric_limits<std::int8_t>::max())) {
    out.U8(R3X_BINARY_INT8);
    out.I8(static_cast<std::int8_t>(value));
  } else if (FitsIn(value, std::numeric_limits<std::int16_t>::min(),
                    std::numeric_limits<std::int16_t>::max())) {
    out.U8(R3X_BINARY_INT16);
    out.I16(static_cast<std::int16_t>(value));
  } else {
    out.U8(R3X_BINARY_INT32);
    out.I32(value);
  }
}

void WriteRenderMethod(arena::ByteWriter& out, std::int32_t value) {
  if (FitsIn(value, std::numeric_limits<std::int16_t>::min(),
             std::numeric_limits<std::int16_t>::max())) {
    out.U8(R3X_BINARY_RENDER_METHOD16);
    out.U16(static_cast<std::uint16_t>(value));
  } else {
    out.U8(R3X_BINARY_RENDER_METHOD32);
    out.U32(static_cast<std::uint32_t>(value));
  }
}

void WriteToken(arena::ByteWriter& out, std::int32_t token, const R3xTokenValue& value) {
  switch (token) {
    case R3X_TOKEN_NAME:
      if (value.length > kShortLength) {
        throw std::runtime_error("name longer than 255 bytes: " + std::string(value.text));
      }
      out.U8(R3X_BINARY_NAME);
      out.U8(static_cast<std::uint8_t>(value.length));
      WriteScrambled(out, value);
      break;
    case R3X_TOKEN_STRING:
      WriteText(out, R3X_BINARY_STRING, token, value);
      break;
    case R3X_TOKEN_USER_DATA:
      WriteText(out, R3X_BINARY_USER_DATA, token, value);
      break;
    case R3X_TOKEN_INTEGER:
      WriteInteger(out, value.number);
      break;
    case R3X_TOKEN_REAL:
      out.U8(R3X_BINARY_REAL);
      out.F32(value.real);
      break;
    case R3X_TOKEN_USERDEFINED:
      out.U8(R3X_BINARY_USERDEFINED);
      break;
    case R3X_TOKEN_RENDER_METHOD:
      WriteRenderMethod(out, value.number);
      break;
    default:
      WriteCode(out, token);
      break;
  }
}

}  // namespace

std::vector<std::uint8_t> EncodeBinaryWorld(const std::string& textPath) {
  std::unique_ptr<R3xParseContext, ContextDeleter> context(parCreateContext(nullptr, nullptr));
  std::unique_ptr<R3xWorldStream, StreamDeleter> stream(parOpenStream(textPath.c_str(), nullptr));
  if (context == nullptr || stream == nullptr) {
    throw std::runtime_error("cannot read " + textPath);
  }
  // An empty search path: include files are encoded, not opened.
  std::unique_ptr<R3xTokenSource, SourceDeleter> source(
      parCreateTokenSource(context.get(), stream.get(), ""));
  if (source == nullptr) {
    throw std::runtime_error("cannot scan " + textPath);
  }
  context->tokenSource = source.get();
  arena::ByteWriter out;
  out.Bytes(R3X_WLD_MAGIC, sizeof R3X_WLD_MAGIC);
  for (;;) {
    const std::int32_t token = parNextToken(source.get());
    if (context->errorCount != 0) {
      throw std::runtime_error("scanner error in " + textPath);
    }
    if (token <= 0) {
      break;
    }
    WriteToken(out, token, context->tokenValue);
  }
  out.U8(R3X_BINARY_END);
  return out.Take();
}

}  // namespace mkdata
