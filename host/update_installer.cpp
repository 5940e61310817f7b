#include "host/update_installer.h"

#include <array>
#include <cstdio>
#include <vector>

#include "platform/kernel/find_file.h"

namespace {

struct UpdatePattern {
  std::string_view pattern;
  char letter;
};

constexpr std::array<UpdatePattern, 6> kUpdatePatterns{{
    {"dl_", 'l'},
    {"ex_", 'e'},
    {"r3_", 'x'},
    {"bm_", 'p'},
    {"tx_", 't'},
    {"da_", 't'},
}};

// Collected before any rename, so the renames cannot disturb the enumeration.
std::vector<std::string> FindPendingCandidates() {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA("*_", &entry);
  if (find == INVALID_HANDLE_VALUE) {
    return names;
  }
  do {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      names.emplace_back(entry.cFileName);
    }
  } while (FindNextFileA(find, &entry));
  FindClose(find);
  return names;
}

}  // namespace

std::optional<std::string> InstalledName(std::string_view name) {
  // Only the extension's place counts: "tex_file.bm_" is a bitmap, not an executable.
  for (const UpdatePattern& entry : kUpdatePatterns) {
    if (name.ends_with(entry.pattern)) {
      std::string installed(name);
      installed.back() = entry.letter;
      return installed;
    }
  }
  return std::nullopt;
}

void InstallPendingUpdates() {
  for (const std::string& name : FindPendingCandidates()) {
    if (const std::optional<std::string> installed = InstalledName(name)) {
      // rename replaces an existing file atomically; a failure leaves both files as they were.
      std::rename(name.c_str(), installed->c_str());
    }
  }
}
