#include "platform/system_library/system_library.h"

#include <dlfcn.h>
#include <strings.h>

#include <filesystem>
#include <mutex>

#include "platform/ddraw/direct_draw.h"
#include "platform/dsound/direct_sound.h"
#include "platform/icmp/icmp.h"
#include "platform/input/direct_input.h"

namespace platform {
namespace {

// The DirectX libraries carry file version 4.N for DirectX N: the display and sound services
// give what the game's DirectX 5 asks of them, the input service the interface it is made for.
constexpr WORD kDirectXFileMajor = 4;
constexpr WORD kDisplaySoundRelease = 5;
constexpr WORD kInputRelease = DIRECTINPUT_VERSION >> 8;
// Windows Sockets 1.1, as WSAStartup reports it.
constexpr std::array<WORD, 4> kSocketsVersion = {1, 1, 0, 0};

const SystemLibrarySymbol kDirectDrawSymbols[] = {
    {"DirectDrawCreate", reinterpret_cast<FARPROC>(&DirectDrawCreate)}};
const SystemLibrarySymbol kDirectSoundSymbols[] = {
    {"DirectSoundCreate", reinterpret_cast<FARPROC>(&DirectSoundCreate)}};
const SystemLibrarySymbol kDirectInputSymbols[] = {
    {"DirectInputCreateA", reinterpret_cast<FARPROC>(&DirectInputCreateA)}};
const SystemLibrarySymbol kIcmpSymbols[] = {
    {"IcmpCreateFile", reinterpret_cast<FARPROC>(&IcmpCreateFile)},
    {"IcmpSendEcho", reinterpret_cast<FARPROC>(&IcmpSendEcho)},
    {"IcmpCloseHandle", reinterpret_cast<FARPROC>(&IcmpCloseHandle)},
};

struct LibraryList {
  std::mutex mutex;
  std::vector<SystemLibrary> libraries = DefaultSystemLibraries();
};

LibraryList& List() {
  static LibraryList list;
  return list;
}

// The folder of the platform library's own file.
std::filesystem::path PlatformFolder() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&DefaultSystemLibraries), &info) == 0 ||
      info.dli_fname == nullptr) {
    return {};
  }
  std::error_code error;
  return std::filesystem::absolute(info.dli_fname, error).parent_path();
}

}  // namespace

std::vector<SystemLibrary> DefaultSystemLibraries() {
  return {
      {"DDraw.dll", {kDirectXFileMajor, kDisplaySoundRelease, 0, 0}, kDirectDrawSymbols},
      {"DSound.dll", {kDirectXFileMajor, kDisplaySoundRelease, 0, 0}, kDirectSoundSymbols},
      {"DInput.dll", {kDirectXFileMajor, kInputRelease, 0, 0}, kDirectInputSymbols},
      {"wsock32.dll", kSocketsVersion, {}},
      {"ICMP.DLL", {}, kIcmpSymbols},
  };
}

std::vector<SystemLibrary> ReplaceSystemLibraries(std::vector<SystemLibrary> libraries) {
  LibraryList& list = List();
  std::lock_guard lock(list.mutex);
  list.libraries.swap(libraries);
  return libraries;
}

bool FindSystemLibrary(const char* name, SystemLibrary& library) {
  if (name == nullptr) {
    return false;
  }
  LibraryList& list = List();
  std::lock_guard lock(list.mutex);
  for (const SystemLibrary& candidate : list.libraries) {
    if (::strcasecmp(candidate.name, name) == 0) {
      library = candidate;
      return true;
    }
  }
  return false;
}

std::string SystemLibraryPath(const char* name) { return (PlatformFolder() / name).string(); }

bool FindSystemLibraryByPath(const char* path, SystemLibrary& library) {
  if (path == nullptr) {
    return false;
  }
  const std::filesystem::path asked(path);
  return asked.parent_path() == PlatformFolder() &&
         FindSystemLibrary(asked.filename().c_str(), library) && asked.filename() == library.name;
}

}  // namespace platform
