// Version resources of module files. Only the layer's own system libraries have one (our ELF
// modules carry none); its block holds the fixed file information alone.
#pragma once

#include "platform/kernel/types.h"

inline constexpr DWORD kFixedFileInfoSignature = 0xFEEF04BD;

struct VS_FIXEDFILEINFO {
  DWORD dwSignature;
  DWORD dwStrucVersion;
  // Parts 1 and 2 of the version in the high and low word of the most significant word, parts 3
  // and 4 in the least significant.
  DWORD dwFileVersionMS;
  DWORD dwFileVersionLS;
  DWORD dwProductVersionMS;
  DWORD dwProductVersionLS;
  DWORD dwFileFlagsMask;
  DWORD dwFileFlags;
  DWORD dwFileOS;
  DWORD dwFileType;
  DWORD dwFileSubtype;
  DWORD dwFileDateMS;
  DWORD dwFileDateLS;
};

// The size of the file's version block; 0, with ERROR_RESOURCE_TYPE_NOT_FOUND, for a file
// without one. The handle is set to 0.
DWORD GetFileVersionInfoSizeA(LPCSTR path, DWORD* handle);
// Writes the version block into data (at most size bytes); FALSE when the file has none or it
// does not fit (ERROR_INSUFFICIENT_BUFFER).
BOOL GetFileVersionInfoA(LPCSTR path, DWORD handle, DWORD size, LPVOID data);
// Only the root block "\\" is served: the fixed file information inside the block.
BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* value, UINT* length);
