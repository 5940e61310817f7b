#include "tools/mkdata/world_binary_writer.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <stdexcept>

#include "base/byte_writer.h"
#include "engine/r3x.h"
#include "tools/mkdata/file_bytes.h"
#include "tools/mkdata/world_text_tokenizer.h"

namespace mkdata {
namespace {

constexpr std::uint32_t kShortLength = 0xFF;
constexpr std::uint32_t kLongLength = 0xFFFF;

void WriteCode(arena::ByteWriter& out, std::int32_t token) {
  if (token < R3X_TOKEN_FIRST_TWO_BYTE) {
    out.U8(static_cast<std::uint8_t>(token));
  } else {
    out.U16BigEndian(static_cast<std::uint16_t>((R3X_BINARY_TWO_BYTE_FLAG << 8) | token));
  }
}

void WriteScrambled(arena::ByteWriter& out, const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    out.U8(static_cast<std::uint8_t>(text[i]) ^
           R3X_WORLD_STRING_KEY[i % sizeof R3X_WORLD_STRING_KEY]);
  }
}

// A string or user data: the one-byte code with a one-byte length, or the two-byte code with a
// length high byte first.
void WriteText(arena::ByteWriter& out, std::uint8_t shortCode, const WorldToken& token) {
  const std::size_t length = token.text.size();
  if (length <= kShortLength) {
    out.U8(shortCode);
    out.U8(static_cast<std::uint8_t>(length));
  } else if (length <= kLongLength) {
    WriteCode(out, token.token);
    out.U16BigEndian(static_cast<std::uint16_t>(length));
  } else {
    throw std::runtime_error("text too long for a binary world file");
  }
  WriteScrambled(out, token.text);
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

void WriteToken(arena::ByteWriter& out, const WorldToken& token) {
  switch (token.token) {
    case R3X_TOKEN_NAME:
      if (token.text.size() > kShortLength) {
        throw std::runtime_error("name longer than 255 bytes: " + token.text);
      }
      out.U8(R3X_BINARY_NAME);
      out.U8(static_cast<std::uint8_t>(token.text.size()));
      WriteScrambled(out, token.text);
      break;
    case R3X_TOKEN_STRING:
      WriteText(out, R3X_BINARY_STRING, token);
      break;
    case R3X_TOKEN_USER_DATA:
      WriteText(out, R3X_BINARY_USER_DATA, token);
      break;
    case R3X_TOKEN_INTEGER:
      WriteInteger(out, token.number);
      break;
    case R3X_TOKEN_REAL:
      out.U8(R3X_BINARY_REAL);
      out.F32(token.real);
      break;
    case R3X_TOKEN_USERDEFINED:
      out.U8(R3X_BINARY_USERDEFINED);
      break;
    case R3X_TOKEN_RENDER_METHOD:
      WriteRenderMethod(out, token.number);
      break;
    default:
      WriteCode(out, token.token);
      break;
  }
}

}  // namespace

std::vector<std::uint8_t> EncodeBinaryWorld(const std::string& textPath) {
  std::vector<std::uint8_t> text = ReadFileBytes(textPath);
  if (text.size() >= sizeof R3X_WLD_MAGIC &&
      std::equal(std::begin(R3X_WLD_MAGIC), std::end(R3X_WLD_MAGIC), text.begin())) {
    throw std::runtime_error(textPath + " is a binary world file already");
  }
  WorldTextTokenizer tokens(std::move(text));
  arena::ByteWriter out;
  out.Bytes(R3X_WLD_MAGIC, sizeof R3X_WLD_MAGIC);
  try {
    for (WorldToken token = tokens.Next(); token.token != R3X_TOKEN_END; token = tokens.Next()) {
      WriteToken(out, token);
    }
  } catch (const std::runtime_error& error) {
    throw std::runtime_error(textPath + ": " + error.what());
  }
  out.U8(R3X_BINARY_END);
  return out.Take();
}

}  // namespace mkdata
