#include "tools/mkdata/file_bytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "platform/kernel/file.h"

namespace mkdata {

namespace {

std::string Reason(const std::string& action, const std::string& path, int error) {
  return action + " " + path + ": " + std::strerror(error);
}

}  // namespace

std::optional<std::string> FindReadError(const std::string& path) {
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored)) {
    return "cannot open " + path + ": it is a folder, not a file";
  }
  // The exact name's reason is the one to give: the case-insensitive search only widens it.
  std::FILE* file = std::fopen(path.c_str(), "rb");
  const int error = errno;
  if (file == nullptr) {
    file = platform::OpenFile(path.c_str(), "rb");
  }
  if (file == nullptr) {
    return Reason("cannot open", path, error);
  }
  std::fclose(file);
  return std::nullopt;
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
  if (const std::optional<std::string> error = FindReadError(path)) {
    throw std::runtime_error(*error);
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    file = platform::OpenFile(path.c_str(), "rb");
  }
  if (file == nullptr) {
    throw std::runtime_error(Reason("cannot open", path, errno));
  }
  std::vector<std::uint8_t> bytes;
  std::uint8_t buffer[65536];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    bytes.insert(bytes.end(), buffer, buffer + got);
  }
  const bool failed = std::ferror(file) != 0;
  const int error = errno;
  std::fclose(file);
  if (failed) {
    throw std::runtime_error(Reason("cannot read", path, error));
  }
  return bytes;
}

void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    throw std::runtime_error(Reason("cannot write", path, errno));
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const int writeError = errno;
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    throw std::runtime_error(Reason("cannot write", path, written ? errno : writeError));
  }
}

}  // namespace mkdata
