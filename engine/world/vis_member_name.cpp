#include "engine/world/vis_member_name.h"

#include <cstring>

namespace {

constexpr std::size_t kNameChars = 13;
constexpr std::size_t kLastDot = 9;
constexpr char kExtension[] = ".VIS";

}  // namespace

bool r3xVisMemberName(const char* fileName, char out[R3X_VIS_NAME_SIZE]) {
  std::size_t length = 0;
  while (length < kNameChars && fileName[length] != '\0') {
    ++length;
  }
  const void* dot = std::memchr(fileName, '.', length);
  if (dot == nullptr) {
    return false;
  }
  const auto at = static_cast<std::size_t>(static_cast<const char*>(dot) - fileName);
  if (at > kLastDot) {
    return false;
  }
  std::memcpy(out, fileName, at);
  std::memcpy(out + at, kExtension, sizeof kExtension);
  return true;
}
