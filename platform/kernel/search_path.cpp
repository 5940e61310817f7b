#include "platform/kernel/search_path.h"

#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "platform/kernel/file.h"

namespace {

bool IsSeparator(char c) { return c == ':' || c == ';'; }

bool IsRegularFile(const std::string& name) {
  struct stat info;
  return ::stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string WithExtension(const char* fileName, const char* extension) {
  std::string name(fileName);
  const std::size_t leaf = name.find_last_of("/\\");
  const bool hasExtension =
      name.find('.', leaf == std::string::npos ? 0 : leaf + 1) != std::string::npos;
  if (extension != nullptr && !hasExtension) {
    name += extension;
  }
  return name;
}

// The found file's absolute name, or an empty string.
std::string Find(const char* path, const std::string& name) {
  for (const char* folder = path; *folder != '\0';) {
    const char* end = folder;
    while (*end != '\0' && !IsSeparator(*end)) {
      ++end;
    }
    if (end != folder) {
      const std::string candidate =
          platform::ResolveFileName((std::string(folder, end) + "/" + name).c_str());
      if (IsRegularFile(candidate)) {
        std::error_code error;
        const std::filesystem::path full = std::filesystem::absolute(candidate, error);
        return error ? std::string() : full.lexically_normal().string();
      }
    }
    folder = *end == '\0' ? end : end + 1;
  }
  return {};
}

}  // namespace

DWORD SearchPathA(LPCSTR path, LPCSTR fileName, LPCSTR extension, DWORD bufferLength, LPSTR buffer,
                  LPSTR* filePart) {
  if (path == nullptr || fileName == nullptr || *fileName == '\0') {
    return 0;
  }
  const std::string found = Find(path, WithExtension(fileName, extension));
  if (found.empty()) {
    return 0;
  }
  if (buffer == nullptr || found.size() >= bufferLength) {
    return static_cast<DWORD>(found.size() + 1);
  }
  std::memcpy(buffer, found.c_str(), found.size() + 1);
  if (filePart != nullptr) {
    *filePart = buffer + found.rfind('/') + 1;
  }
  return static_cast<DWORD>(found.size());
}
