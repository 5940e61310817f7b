#include "tools/mkdata/byte_writer.h"

namespace mkdata {

void ByteWriter::U8(std::uint8_t value) { bytes_.push_back(value); }

void ByteWriter::U16(std::uint16_t value) {
  U8(static_cast<std::uint8_t>(value));
  U8(static_cast<std::uint8_t>(value >> 8));
}

void ByteWriter::U32(std::uint32_t value) {
  U16(static_cast<std::uint16_t>(value));
  U16(static_cast<std::uint16_t>(value >> 16));
}

void ByteWriter::Bytes(const void* data, std::size_t size) {
  const auto* begin = static_cast<const std::uint8_t*>(data);
  bytes_.insert(bytes_.end(), begin, begin + size);
}

}  // namespace mkdata
