// Little-endian fields appended one at a time to a growing byte vector: the counterpart of
// ByteReader for everything the system writes to files and to the wire.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace arena {

class ByteWriter {
 public:
  ByteWriter() = default;
  explicit ByteWriter(std::vector<std::uint8_t> start) : bytes_(std::move(start)) {}

  void U8(std::uint8_t value) { bytes_.push_back(value); }
  void U16(std::uint16_t value) {
    bytes_.push_back(static_cast<std::uint8_t>(value));
    bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
  }
  void U32(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
      bytes_.push_back(static_cast<std::uint8_t>(value >> shift));
    }
  }
  // High byte first, as ByteReader::U16BigEndian reads it.
  void U16BigEndian(std::uint16_t value) {
    bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
    bytes_.push_back(static_cast<std::uint8_t>(value));
  }
  void U32BigEndian(std::uint32_t value) {
    U16BigEndian(static_cast<std::uint16_t>(value >> 16));
    U16BigEndian(static_cast<std::uint16_t>(value));
  }
  void I8(std::int8_t value) { U8(static_cast<std::uint8_t>(value)); }
  void I16(std::int16_t value) { U16(static_cast<std::uint16_t>(value)); }
  void I32(std::int32_t value) { U32(static_cast<std::uint32_t>(value)); }
  void F32(float value) { U32(std::bit_cast<std::uint32_t>(value)); }
  void Bytes(const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    bytes_.insert(bytes_.end(), p, p + size);
  }
  void Bytes(std::span<const std::uint8_t> bytes) { Bytes(bytes.data(), bytes.size()); }
  // `size` zero bytes, for padding and reserved fields.
  void Zeros(std::size_t size) { bytes_.insert(bytes_.end(), size, 0); }
  // Overwrite fields already written (a size or offset known only later, or a test's change).
  void PatchU16(std::size_t offset, std::uint16_t value) {
    for (int i = 0; i < 2; ++i) bytes_.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
  }
  void PatchU32(std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes_.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
  }

  std::size_t size() const { return bytes_.size(); }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace arena
