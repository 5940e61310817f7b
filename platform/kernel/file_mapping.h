// Read-only file mappings over mmap.
#pragma once

#include "platform/kernel/handle.h"
#include "platform/kernel/types.h"

inline constexpr DWORD PAGE_READONLY = 0x02;
inline constexpr DWORD FILE_MAP_READ = 0x04;

// A mapping object of an open file, or null (ERROR_INVALID_HANDLE when the file handle is no open
// file). maxHigh/maxLow 0 map the whole file.
HANDLE CreateFileMappingA(HANDLE file, void* security, DWORD protect, DWORD maxHigh, DWORD maxLow,
                          LPCSTR name);
// Maps bytes from the offset (a multiple of the allocation granularity); bytes 0 maps to the end
// of the file. Null on failure, also when the range passes the end of the file.
LPVOID MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow, SIZE_T bytes);
BOOL UnmapViewOfFile(LPCVOID base);
