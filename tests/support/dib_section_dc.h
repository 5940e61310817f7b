// A memory DC with a 16-bit DIB section selected into it, for tests that draw into pixels they
// then read; both are released when the scope ends.
#pragma once

#include <cstdint>

#include "platform/gdi.h"

namespace test_support {

class DibSectionDc {
 public:
  // A negative height makes the rows run from the top, as in a DIB.
  DibSectionDc(int width, int height);
  ~DibSectionDc();
  DibSectionDc(const DibSectionDc&) = delete;
  DibSectionDc& operator=(const DibSectionDc&) = delete;

  HDC Dc() const { return dc_; }
  std::uint16_t* Bits() const { return bits_; }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ saved_;
  std::uint16_t* bits_;
};

}  // namespace test_support
