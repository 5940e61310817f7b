#include "platform/system_library/file_version.h"

#include <cstring>

#include "platform/kernel/last_error.h"
#include "platform/system_library/system_library.h"

namespace {

constexpr DWORD kStructureVersion = 0x00010000;
// VOS_NT_WINDOWS32 and VFT_DLL: what a system library's block says of itself.
constexpr DWORD kFileOs = 0x00040004;
constexpr DWORD kFileTypeLibrary = 2;
constexpr DWORD ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;

bool FindVersion(LPCSTR path, VS_FIXEDFILEINFO& info) {
  platform::SystemLibrary library{};
  if (!platform::FindSystemLibraryByPath(path, library) || library.fileVersion[0] == 0) {
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return false;
  }
  const auto& parts = library.fileVersion;
  info = VS_FIXEDFILEINFO{};
  info.dwSignature = kFixedFileInfoSignature;
  info.dwStrucVersion = kStructureVersion;
  info.dwFileVersionMS = (DWORD{parts[0]} << 16) | parts[1];
  info.dwFileVersionLS = (DWORD{parts[2]} << 16) | parts[3];
  info.dwProductVersionMS = info.dwFileVersionMS;
  info.dwProductVersionLS = info.dwFileVersionLS;
  info.dwFileOS = kFileOs;
  info.dwFileType = kFileTypeLibrary;
  return true;
}

}  // namespace

DWORD GetFileVersionInfoSizeA(LPCSTR path, DWORD* handle) {
  if (handle != nullptr) {
    *handle = 0;
  }
  VS_FIXEDFILEINFO info;
  return FindVersion(path, info) ? sizeof info : 0;
}

BOOL GetFileVersionInfoA(LPCSTR path, DWORD /*handle*/, DWORD size, LPVOID data) {
  VS_FIXEDFILEINFO info;
  if (!FindVersion(path, info)) {
    return FALSE;
  }
  if (data == nullptr || size < sizeof info) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memcpy(data, &info, sizeof info);
  return TRUE;
}

BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* value, UINT* length) {
  if (block == nullptr || subBlock == nullptr || std::strcmp(subBlock, "\\") != 0 ||
      value == nullptr || length == nullptr) {
    return FALSE;
  }
  DWORD signature = 0;
  std::memcpy(&signature, block, sizeof signature);
  if (signature != kFixedFileInfoSignature) {
    return FALSE;
  }
  *value = const_cast<LPVOID>(block);
  *length = sizeof(VS_FIXEDFILEINFO);
  return TRUE;
}
