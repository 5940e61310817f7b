#include "tests/support/scoped_working_folder.h"

namespace test_support {

ScopedWorkingFolder::ScopedWorkingFolder(const std::filesystem::path& folder)
    : previous_(std::filesystem::current_path()) {
  std::filesystem::current_path(folder);
}

ScopedWorkingFolder::~ScopedWorkingFolder() {
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
}

}  // namespace test_support
