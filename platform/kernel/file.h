// Files by handle. Names are opened exactly as given first, then by a case-insensitive match of
// the last component in its folder, so data of any letter case loads.
#pragma once

#include <cstdio>
#include <string>

#include "platform/kernel/handle.h"
#include "platform/kernel/types.h"

inline constexpr DWORD GENERIC_READ = 0x80000000;
inline constexpr DWORD GENERIC_WRITE = 0x40000000;
inline constexpr DWORD FILE_SHARE_READ = 0x1;
inline constexpr DWORD FILE_SHARE_WRITE = 0x2;
inline constexpr DWORD CREATE_NEW = 1;
inline constexpr DWORD CREATE_ALWAYS = 2;
inline constexpr DWORD OPEN_EXISTING = 3;
inline constexpr DWORD OPEN_ALWAYS = 4;
inline constexpr DWORD TRUNCATE_EXISTING = 5;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
inline constexpr DWORD FILE_FLAG_RANDOM_ACCESS = 0x10000000;
inline constexpr DWORD FILE_FLAG_SEQUENTIAL_SCAN = 0x08000000;
inline constexpr DWORD FILE_BEGIN = 0;
inline constexpr DWORD FILE_CURRENT = 1;
inline constexpr DWORD FILE_END = 2;
inline constexpr DWORD INVALID_SET_FILE_POINTER = 0xFFFFFFFF;
inline constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFF;

// INVALID_HANDLE_VALUE on failure. Security attributes and the template are ignored.
HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD shareMode, void* security,
                   DWORD creationDisposition, DWORD flags, HANDLE templateFile);
// A handle that is no open file makes these fail (FALSE, INVALID_SET_FILE_POINTER,
// INVALID_FILE_SIZE) with ERROR_INVALID_HANDLE.
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, DWORD* read, void* overlapped);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, DWORD* written, void* overlapped);
// The new position's low word, or INVALID_SET_FILE_POINTER on failure.
DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method);
DWORD GetFileSize(HANDLE file, DWORD* sizeHigh);

namespace platform {

// The object behind a file handle: an open POSIX descriptor, closed with the handle.
class FileObject : public KernelObject {
 public:
  explicit FileObject(int descriptor) : descriptor_(descriptor) {}
  ~FileObject() override;
  FileObject(const FileObject&) = delete;
  FileObject& operator=(const FileObject&) = delete;
  int Descriptor() const { return descriptor_; }

 private:
  int descriptor_;
};

// The name under which a file can be opened: the name itself when it exists, otherwise the
// case-insensitive match of its last component in its folder, otherwise the name unchanged.
std::string ResolveFileName(const char* name);

// The C runtime's fopen with the same case-insensitive look-up for existing files.
std::FILE* OpenFile(const char* name, const char* mode);

}  // namespace platform
