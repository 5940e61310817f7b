#include "tests/support/test_files.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace test_support {

void WriteTestFile(const std::filesystem::path& file, std::string_view contents) {
  if (file.has_parent_path()) {
    std::error_code ignored;
    std::filesystem::create_directories(file.parent_path(), ignored);
  }
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  if (!out) {
    throw std::runtime_error("cannot write " + file.string());
  }
}

void WriteTestFile(const std::filesystem::path& file, std::span<const std::uint8_t> bytes) {
  WriteTestFile(file, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string ReadTestFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace test_support
