// Little-endian bytes written field by field, for the data writers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace mkdata {

class ByteWriter {
 public:
  void U8(std::uint8_t value);
  void U16(std::uint16_t value);
  void U32(std::uint32_t value);
  void Bytes(const void* data, std::size_t size);
  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace mkdata
