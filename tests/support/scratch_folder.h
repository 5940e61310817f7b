// A fresh folder under the system's temporary folder, removed with everything in it. A folder or
// file that cannot be made throws: a test reports it as a failure, a bench or fuzz target stops.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace test_support {

class ScratchFolder {
 public:
  // `prefix` names the folder after its user, which helps when one is left behind.
  explicit ScratchFolder(std::string_view prefix = "arena_test");
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // The full name of `name` in the folder.
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

  // Writes the file `name` (making its folders) and returns its full name.
  std::string Write(const std::string& name, std::string_view contents) const;
  std::string Write(const std::string& name, std::span<const std::uint8_t> bytes) const;

 private:
  std::filesystem::path path_;
};

}  // namespace test_support
