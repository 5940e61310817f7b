#include "platform/kernel/file_mapping.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "platform/kernel/file.h"

namespace {

constexpr std::uint64_t kAllocationGranularity = 65536;

class FileMappingObject : public platform::KernelObject {
 public:
  FileMappingObject(int descriptor, std::uint64_t size) : descriptor_(descriptor), size_(size) {}
  ~FileMappingObject() override { ::close(descriptor_); }
  FileMappingObject(const FileMappingObject&) = delete;
  FileMappingObject& operator=(const FileMappingObject&) = delete;
  int Descriptor() const { return descriptor_; }
  std::uint64_t Size() const { return size_; }

 private:
  int descriptor_;
  std::uint64_t size_;
};

// Views are unmapped by base address alone, so their lengths are kept here.
class ViewRegistry {
 public:
  void Add(const void* base, std::size_t length) {
    std::lock_guard lock(mutex_);
    views_[base] = length;
  }
  // The length of the view at `base`, removed from the registry; 0 when there is none.
  std::size_t Remove(const void* base) {
    std::lock_guard lock(mutex_);
    const auto found = views_.find(base);
    if (found == views_.end()) {
      return 0;
    }
    const std::size_t length = found->second;
    views_.erase(found);
    return length;
  }

 private:
  std::mutex mutex_;
  std::map<const void*, std::size_t> views_;
};

ViewRegistry& Views() {
  static ViewRegistry registry;
  return registry;
}

std::uint64_t CurrentSize(int descriptor) {
  struct stat info;
  return ::fstat(descriptor, &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
}

}  // namespace

HANDLE CreateFileMappingA(HANDLE file, void* /*security*/, DWORD protect, DWORD maxHigh,
                          DWORD maxLow, LPCSTR /*name*/) {
  const auto source = platform::HandleAs<platform::FileObject>(file);
  if (source == nullptr || protect != PAGE_READONLY) {
    return nullptr;
  }
  const std::uint64_t fileSize = CurrentSize(source->Descriptor());
  const std::uint64_t requested = (static_cast<std::uint64_t>(maxHigh) << 32) | maxLow;
  // A read-only mapping cannot grow the file, and an empty file has nothing to map.
  const std::uint64_t size = requested == 0 ? fileSize : requested;
  if (size == 0 || size > fileSize) {
    return nullptr;
  }
  const int descriptor = ::fcntl(source->Descriptor(), F_DUPFD_CLOEXEC, 0);
  if (descriptor < 0) {
    return nullptr;
  }
  return platform::IssueHandle(std::make_shared<FileMappingObject>(descriptor, size));
}

LPVOID MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow,
                     SIZE_T bytes) {
  const auto object = platform::HandleAs<FileMappingObject>(mapping);
  if (object == nullptr || access != FILE_MAP_READ) {
    return nullptr;
  }
  const std::uint64_t offset = (static_cast<std::uint64_t>(offsetHigh) << 32) | offsetLow;
  // Pages past the end of the file would fault on access, so the file as it is now bounds the
  // view as well as the mapping's own size.
  const std::uint64_t limit = std::min(object->Size(), CurrentSize(object->Descriptor()));
  if (offset % kAllocationGranularity != 0 || offset >= limit) {
    return nullptr;
  }
  const std::uint64_t length = bytes == 0 ? limit - offset : bytes;
  if (length > limit - offset) {
    return nullptr;
  }
  void* base = ::mmap(nullptr, length, PROT_READ, MAP_SHARED, object->Descriptor(),
                      static_cast<off_t>(offset));
  if (base == MAP_FAILED) {
    return nullptr;
  }
  Views().Add(base, length);
  return base;
}

BOOL UnmapViewOfFile(LPCVOID base) {
  const std::size_t length = Views().Remove(base);
  if (length == 0) {
    return FALSE;
  }
  return ::munmap(const_cast<void*>(base), length) == 0 ? TRUE : FALSE;
}
