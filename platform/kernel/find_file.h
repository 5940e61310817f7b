// Directory enumeration with Windows wildcards ('*' and '?', letter case ignored) in the
// pattern's folder. The folder is read once, at FindFirstFileA, in name order, so files renamed
// during the enumeration do not disturb it; "." and ".." are not listed.
#pragma once

#include "platform/kernel/file.h"
#include "platform/kernel/handle.h"
#include "platform/kernel/types.h"

inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;

struct WIN32_FIND_DATAA {
  DWORD dwFileAttributes;  // FILE_ATTRIBUTE_DIRECTORY or FILE_ATTRIBUTE_NORMAL
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  char cFileName[260];
};

// The first entry that matches, or INVALID_HANDLE_VALUE when none does.
HANDLE FindFirstFileA(LPCSTR pattern, WIN32_FIND_DATAA* data);
// The next entry; FALSE when there are no more (ERROR_NO_MORE_FILES), or for a handle that is
// no open enumeration (ERROR_INVALID_HANDLE).
BOOL FindNextFileA(HANDLE find, WIN32_FIND_DATAA* data);
BOOL FindClose(HANDLE find);

namespace platform {

// Whether `name` matches `pattern`: '*' any run of characters, '?' exactly one, letter case
// ignored.
bool MatchesWildcard(const char* pattern, const char* name);

}  // namespace platform
