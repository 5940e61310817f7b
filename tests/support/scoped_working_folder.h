// Makes a folder the working folder for the lifetime of a scope.
#pragma once

#include <filesystem>

namespace test_support {

class ScopedWorkingFolder {
 public:
  explicit ScopedWorkingFolder(const std::filesystem::path& folder);
  ~ScopedWorkingFolder();
  ScopedWorkingFolder(const ScopedWorkingFolder&) = delete;
  ScopedWorkingFolder& operator=(const ScopedWorkingFolder&) = delete;

 private:
  std::filesystem::path previous_;
};

}  // namespace test_support
