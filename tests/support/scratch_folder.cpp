#include "tests/support/scratch_folder.h"

#include <cstdlib>
#include <stdexcept>

#include "tests/support/test_files.h"

namespace test_support {

ScratchFolder::ScratchFolder(std::string_view prefix) {
  std::string pattern =
      (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot make a scratch folder from " + pattern);
  }
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ScratchFolder::Write(const std::string& name, std::string_view contents) const {
  const std::filesystem::path file = path_ / name;
  WriteTestFile(file, contents);
  return file.string();
}

std::string ScratchFolder::Write(const std::string& name,
                                 std::span<const std::uint8_t> bytes) const {
  const std::filesystem::path file = path_ / name;
  WriteTestFile(file, bytes);
  return file.string();
}

}  // namespace test_support
