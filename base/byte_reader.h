// A cursor over untrusted little-endian bytes. Every read checks that the bytes are there; the
// first read that runs past the end (or any later check that fails) makes the reader fail for
// good and records where and why, so a parser can read a whole record and test once at the end.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace arena {

class ByteReader {
 public:
  ByteReader() = default;
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  ByteReader(const void* data, std::size_t size)
      : bytes_(static_cast<const std::uint8_t*>(data), size) {}

  std::uint8_t U8() {
    const std::uint8_t* p = Take(1, "u8");
    return p ? p[0] : 0;
  }
  std::uint16_t U16() {
    const std::uint8_t* p = Take(2, "u16");
    return p ? static_cast<std::uint16_t>(p[0] | (p[1] << 8)) : 0;
  }
  std::uint32_t U32() {
    const std::uint8_t* p = Take(4, "u32");
    return p ? LoadU32(p) : 0;
  }
  // The few fields stored high byte first: network-order ports, the binary world form's
  // two-byte lengths and the picture files that the screen captures are written as.
  std::uint16_t U16BigEndian() {
    const std::uint8_t* p = Take(2, "u16");
    return p ? static_cast<std::uint16_t>((p[0] << 8) | p[1]) : 0;
  }
  std::uint32_t U32BigEndian() {
    const std::uint8_t* p = Take(4, "u32");
    return p ? (static_cast<std::uint32_t>(U16At(p)) << 16) | U16At(p + 2) : 0;
  }
  std::int8_t I8() { return static_cast<std::int8_t>(U8()); }
  std::int16_t I16() { return static_cast<std::int16_t>(U16()); }
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
  float F32() { return std::bit_cast<float>(U32()); }

  // Copies `size` bytes to `out`; on failure `out` is zero-filled so nothing unwritten leaks.
  bool Bytes(void* out, std::size_t size) {
    const std::uint8_t* p = Take(size, "bytes");
    if (p == nullptr) {
      if (size != 0) std::memset(out, 0, size);
      return false;
    }
    if (size != 0) std::memcpy(out, p, size);
    return true;
  }
  // A view of the next `size` bytes (empty on failure), valid as long as the underlying bytes.
  std::span<const std::uint8_t> Span(std::size_t size) {
    const std::uint8_t* p = Take(size, "bytes");
    return p ? std::span<const std::uint8_t>(p, size) : std::span<const std::uint8_t>();
  }
  bool Skip(std::size_t size) { return Take(size, "skip") != nullptr; }
  // Moves to an absolute offset; an offset past the end fails the reader.
  bool Seek(std::size_t offset) {
    if (failed_) return false;
    if (offset > bytes_.size()) return Fail(offset, "seek past the end");
    pos_ = offset;
    return true;
  }

  // Records a failure found by the caller (a count too large, a bad value) at the current offset.
  // Only the first failure is kept.
  bool Fail(const char* reason) { return Fail(pos_, reason); }

  bool ok() const { return !failed_; }
  bool failed() const { return failed_; }
  std::size_t position() const { return pos_; }
  std::size_t size() const { return bytes_.size(); }
  std::size_t remaining() const { return failed_ ? 0 : bytes_.size() - pos_; }
  std::span<const std::uint8_t> rest() const {
    return bytes_.subspan(failed_ ? bytes_.size() : pos_);
  }
  // Where and why the first failure happened (offset of the read that failed).
  std::size_t error_offset() const { return error_offset_; }
  const char* error_reason() const { return error_reason_; }

 private:
  static std::uint16_t U16At(const std::uint8_t* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
  }
  static std::uint32_t LoadU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
  }
  const std::uint8_t* Take(std::size_t size, const char* what) {
    if (failed_) return nullptr;
    if (size > bytes_.size() - pos_) {
      Fail(pos_, what);
      return nullptr;
    }
    const std::uint8_t* p = bytes_.data() + pos_;
    pos_ += size;
    return p;
  }
  bool Fail(std::size_t offset, const char* reason) {
    if (!failed_) {
      failed_ = true;
      error_offset_ = offset;
      error_reason_ = reason;
    }
    return false;
  }

  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
  bool failed_ = false;
  std::size_t error_offset_ = 0;
  const char* error_reason_ = "";
};

}  // namespace arena
