#include "platform/kernel/file.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <memory>

namespace {

// Stored names may carry Windows separators.
std::string ToPosixSeparators(const char* name) {
  std::string path(name);
  for (char& c : path) {
    if (c == '\\') {
      c = '/';
    }
  }
  return path;
}

bool Exists(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0;
}

// The entry of `folder` whose name equals `leaf` ignoring letter case, or an empty string.
std::string FindCaseInsensitive(const std::string& folder, const std::string& leaf) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) {
    return {};
  }
  while (const dirent* entry = ::readdir(dir.get())) {
    if (::strcasecmp(entry->d_name, leaf.c_str()) == 0) {
      return entry->d_name;
    }
  }
  return {};
}

int OpenFlags(DWORD access, DWORD creationDisposition) {
  int flags = O_CLOEXEC;
  const bool reads = (access & GENERIC_READ) != 0;
  const bool writes = (access & GENERIC_WRITE) != 0;
  if (reads && writes) {
    flags |= O_RDWR;
  } else if (writes) {
    flags |= O_WRONLY;
  } else {
    flags |= O_RDONLY;
  }
  switch (creationDisposition) {
    case CREATE_NEW:
      return flags | O_CREAT | O_EXCL;
    case CREATE_ALWAYS:
      return flags | O_CREAT | O_TRUNC;
    case OPEN_EXISTING:
      return flags;
    case OPEN_ALWAYS:
      return flags | O_CREAT;
    case TRUNCATE_EXISTING:
      return writes ? flags | O_TRUNC : -1;
    default:
      return -1;
  }
}

// The file object behind the handle; null, with ERROR_INVALID_HANDLE, for any other handle.
std::shared_ptr<platform::FileObject> FileOf(HANDLE file) {
  return platform::HandleAs<platform::FileObject>(file);
}

}  // namespace

namespace platform {

FileObject::~FileObject() { ::close(descriptor_); }

std::string ResolveFileName(const char* name) {
  std::string path = ToPosixSeparators(name);
  if (path.empty() || Exists(path)) {
    return path;
  }
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string leaf = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::string match = FindCaseInsensitive(folder, leaf);
  if (match.empty()) {
    return path;
  }
  return slash == std::string::npos ? match : folder + match;
}

std::FILE* OpenFile(const char* name, const char* mode) {
  return std::fopen(ResolveFileName(name).c_str(), mode);
}

}  // namespace platform

HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD /*shareMode*/, void* /*security*/,
                   DWORD creationDisposition, DWORD /*flags*/, HANDLE /*templateFile*/) {
  const int flags = OpenFlags(access, creationDisposition);
  if (name == nullptr || flags == -1) {
    return INVALID_HANDLE_VALUE;
  }
  const int descriptor = ::open(platform::ResolveFileName(name).c_str(), flags, 0666);
  if (descriptor < 0) {
    return INVALID_HANDLE_VALUE;
  }
  // A folder is not a file that can be read or written.
  struct stat info;
  if (::fstat(descriptor, &info) != 0 || S_ISDIR(info.st_mode)) {
    ::close(descriptor);
    return INVALID_HANDLE_VALUE;
  }
  return platform::IssueHandle(std::make_shared<platform::FileObject>(descriptor));
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, DWORD* read, void* /*overlapped*/) {
  if (read != nullptr) {
    *read = 0;
  }
  const std::shared_ptr<platform::FileObject> object = FileOf(file);
  if (object == nullptr || (buffer == nullptr && toRead != 0)) {
    return FALSE;
  }
  const int descriptor = object->Descriptor();
  DWORD done = 0;
  while (done < toRead) {
    const ssize_t n = ::read(descriptor, static_cast<char*>(buffer) + done, toRead - done);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0) {
      return FALSE;
    }
    if (n == 0) {
      break;
    }
    done += static_cast<DWORD>(n);
  }
  if (read != nullptr) {
    *read = done;
  }
  return TRUE;
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, DWORD* written, void* /*overlapped*/) {
  if (written != nullptr) {
    *written = 0;
  }
  const std::shared_ptr<platform::FileObject> object = FileOf(file);
  if (object == nullptr || (buffer == nullptr && toWrite != 0)) {
    return FALSE;
  }
  const int descriptor = object->Descriptor();
  DWORD done = 0;
  while (done < toWrite) {
    const ssize_t n = ::write(descriptor, static_cast<const char*>(buffer) + done, toWrite - done);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return FALSE;
    }
    done += static_cast<DWORD>(n);
    if (written != nullptr) {
      *written = done;
    }
  }
  return TRUE;
}

DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method) {
  const std::shared_ptr<platform::FileObject> object = FileOf(file);
  int whence = 0;
  switch (method) {
    case FILE_BEGIN:
      whence = SEEK_SET;
      break;
    case FILE_CURRENT:
      whence = SEEK_CUR;
      break;
    case FILE_END:
      whence = SEEK_END;
      break;
    default:
      return INVALID_SET_FILE_POINTER;
  }
  if (object == nullptr) {
    return INVALID_SET_FILE_POINTER;
  }
  // Without the high word the distance is a signed 32-bit value; with it, the two form one
  // signed 64-bit distance.
  std::int64_t offset = distance;
  if (distanceHigh != nullptr) {
    offset = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(static_cast<std::uint32_t>(*distanceHigh)) << 32) |
        static_cast<std::uint32_t>(distance));
  }
  const off_t position = ::lseek(object->Descriptor(), static_cast<off_t>(offset), whence);
  if (position < 0) {
    return INVALID_SET_FILE_POINTER;
  }
  const auto unsignedPosition = static_cast<std::uint64_t>(position);
  if (distanceHigh != nullptr) {
    *distanceHigh = static_cast<LONG>(unsignedPosition >> 32);
  }
  return static_cast<DWORD>(unsignedPosition);
}

DWORD GetFileSize(HANDLE file, DWORD* sizeHigh) {
  const std::shared_ptr<platform::FileObject> object = FileOf(file);
  struct stat info;
  if (object == nullptr || ::fstat(object->Descriptor(), &info) != 0) {
    return INVALID_FILE_SIZE;
  }
  const auto size = static_cast<std::uint64_t>(info.st_size);
  if (sizeHigh != nullptr) {
    *sizeHigh = static_cast<DWORD>(size >> 32);
  }
  return static_cast<DWORD>(size);
}
