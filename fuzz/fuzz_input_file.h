// For fuzz targets whose reader opens its input by name: each input is written to one file of
// this process, in a scratch folder that goes when the process ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "tests/support/scratch_folder.h"
#include "tests/support/test_files.h"

namespace fuzz_input {

// Writes prefix (none when prefixSize is 0) and data as the input file and returns its name.
inline const char* WriteInputFile(const std::uint8_t* prefix, std::size_t prefixSize,
                                  const std::uint8_t* data, std::size_t size) {
  static const test_support::ScratchFolder folder("fuzz_input");
  static const std::string path = folder / "input";
  std::string input;
  if (prefixSize != 0) {
    input.append(reinterpret_cast<const char*>(prefix), prefixSize);
  }
  input.append(reinterpret_cast<const char*>(data), size);
  test_support::WriteTestFile(path, input);
  return path.c_str();
}

}  // namespace fuzz_input
