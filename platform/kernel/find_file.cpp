#include "platform/kernel/find_file.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

class FindObject : public platform::KernelObject {
 public:
  explicit FindObject(std::vector<WIN32_FIND_DATAA> entries) : entries_(std::move(entries)) {}
  // FindClose closes it.
  bool ClosedByCloseHandle() const override { return false; }
  bool Next(WIN32_FIND_DATAA* data) {
    if (next_ >= entries_.size()) {
      return false;
    }
    *data = entries_[next_++];
    return true;
  }

 private:
  std::vector<WIN32_FIND_DATAA> entries_;
  std::size_t next_ = 0;
};

bool SameLetter(char a, char b) {
  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

// The entry's data, or false when it cannot be described (vanished, or a name too long).
bool Describe(const std::string& folder, const char* name, WIN32_FIND_DATAA* data) {
  struct stat info;
  const std::size_t length = std::strlen(name);
  if (length >= sizeof data->cFileName || ::stat((folder + name).c_str(), &info) != 0) {
    return false;
  }
  *data = WIN32_FIND_DATAA{};
  const auto size = S_ISDIR(info.st_mode) ? 0 : static_cast<std::uint64_t>(info.st_size);
  data->dwFileAttributes = S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
  data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
  data->nFileSizeLow = static_cast<DWORD>(size);
  std::memcpy(data->cFileName, name, length + 1);
  return true;
}

}  // namespace

namespace platform {

bool MatchesWildcard(const char* pattern, const char* name) {
  // Greedy matching with one back-tracking point: the last '*' seen.
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*name != '\0') {
    if (*pattern == '*') {
      star = pattern++;
      resume = name;
    } else if (*pattern != '\0' && (*pattern == '?' || SameLetter(*pattern, *name))) {
      ++pattern;
      ++name;
    } else if (star != nullptr) {
      pattern = star + 1;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*pattern == '*') {
    ++pattern;
  }
  return *pattern == '\0';
}

}  // namespace platform

HANDLE FindFirstFileA(LPCSTR pattern, WIN32_FIND_DATAA* data) {
  if (pattern == nullptr || data == nullptr) {
    return INVALID_HANDLE_VALUE;
  }
  std::string path(pattern);
  std::replace(path.begin(), path.end(), '\\', '/');
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "./" : path.substr(0, slash + 1);
  const std::string leaf = slash == std::string::npos ? path : path.substr(slash + 1);

  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) {
    return INVALID_HANDLE_VALUE;
  }
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (name != "." && name != ".." && platform::MatchesWildcard(leaf.c_str(), name.c_str())) {
      names.push_back(name);
    }
  }
  std::sort(names.begin(), names.end());
  std::vector<WIN32_FIND_DATAA> entries;
  for (const std::string& name : names) {
    WIN32_FIND_DATAA entry;
    if (Describe(folder, name.c_str(), &entry)) {
      entries.push_back(entry);
    }
  }
  auto find = std::make_unique<FindObject>(std::move(entries));
  if (!find->Next(data)) {
    return INVALID_HANDLE_VALUE;
  }
  return platform::IssueHandle(std::move(find));
}

BOOL FindNextFileA(HANDLE find, WIN32_FIND_DATAA* data) {
  const auto object = platform::HandleAs<FindObject>(find);
  if (object == nullptr || data == nullptr) {
    return FALSE;
  }
  if (!object->Next(data)) {
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
  }
  return TRUE;
}

BOOL FindClose(HANDLE find) { return platform::CloseHandleAs<FindObject>(find) ? TRUE : FALSE; }
