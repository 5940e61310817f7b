#include "engine/core/wad.h"

#include <cstring>

#include "base/byte_reader.h"
#include "engine/core/error.h"
#include "engine/core/memory.h"
#include "platform/kernel/file.h"
#include "platform/kernel/file_mapping.h"
#include "platform/kernel/sysinfo.h"

namespace {

constexpr std::uint8_t kHeaderMagic[4] = {0x02, 0x3D, 0xFF, 0xFF};
constexpr std::size_t kHeaderSize = 16;
constexpr std::size_t kHeaderEntrySize = 8;
constexpr std::size_t kPlainCountSize = 4;
constexpr std::size_t kPlainEntrySize = 17;
constexpr std::size_t kPlainNameSize = 13;
// The last member's end offset, stored right after the last directory entry.
constexpr std::size_t kEndWordSize = 4;

// The u32 at an offset of a mapped view; 0 past its end (callers check the layout first).
std::uint32_t u32At(const std::uint8_t* view, std::uint64_t viewSize, std::uint64_t offset) {
  arena::ByteReader reader(view, static_cast<std::size_t>(viewSize));
  reader.Seek(static_cast<std::size_t>(offset));
  return reader.U32();
}

// The u32 at an offset from the first directory entry.
std::uint32_t directoryU32(const R3xWad* wad, std::uint64_t offset) {
  return u32At(wad->directory, wad->directorySize, offset);
}

int lowerAscii(char c) {
  const int byte = static_cast<unsigned char>(c);
  return byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte;
}

// The C runtime's case-insensitive order: letters lowered, bytes compared unsigned.
int compareNoCase(const char* a, const char* b, std::size_t limit) {
  for (std::size_t i = 0; i < limit; ++i) {
    const int ca = lowerAscii(a[i]);
    const int cb = lowerAscii(b[i]);
    if (ca != cb) {
      return ca - cb;
    }
    if (ca == 0) {
      return 0;
    }
  }
  return 0;
}

// Names were checked at open to end inside the directory view.
const char* entryName(const R3xWad* wad, std::size_t index) {
  const std::uint64_t entryAt = std::uint64_t{index} * wad->entrySize;
  const std::uint64_t nameAt =
      entryAt + (wad->entrySize == kHeaderEntrySize ? directoryU32(wad, entryAt + 4) : 4);
  return reinterpret_cast<const char*>(wad->directory + nameAt);
}

bool searchDirectory(const R3xWad* wad, const char* name, std::size_t nameLimit,
                     R3xWadMember* slot) {
  std::size_t low = 0;
  std::size_t high = wad->entryCount;
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    const int order = compareNoCase(name, entryName(wad, middle), nameLimit);
    if (order == 0) {
      // The next entry's offset, or the end word after the last entry.
      slot->start = directoryU32(wad, middle * wad->entrySize);
      slot->end = directoryU32(wad, (middle + 1) * wad->entrySize);
      slot->position = slot->start;
      slot->size = slot->end - slot->start;
      slot->entry = wad->directory + middle * wad->entrySize;
      return true;
    }
    if (order < 0) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  return false;
}

bool lookUpHeaderLayout(const R3xWad* wad, const char* name, R3xWadMember* slot) {
  return searchDirectory(wad, name, SIZE_MAX, slot);
}

bool lookUpPlainLayout(const R3xWad* wad, const char* name, R3xWadMember* slot) {
  // The name field holds at most 12 characters and the NUL.
  if (std::strlen(name) >= kPlainNameSize) {
    return false;
  }
  return searchDirectory(wad, name, kPlainNameSize, slot);
}

bool rangeFitsFile(const R3xWad* wad, std::uint64_t start, std::uint64_t end) {
  return start <= end && end <= wad->fileSize;
}

// Maps the directory view from the file's start; the mapping is made once for both attempts.
const std::uint8_t* mapDirectory(R3xWad* wad, std::uint64_t bytes) {
  if (bytes > wad->fileSize) {
    return nullptr;
  }
  if (wad->mapping == nullptr) {
    wad->mapping = CreateFileMappingA(wad->file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (wad->mapping == nullptr) {
      return nullptr;
    }
  }
  return static_cast<const std::uint8_t*>(
      MapViewOfFile(wad->mapping, FILE_MAP_READ, 0, 0, static_cast<SIZE_T>(bytes)));
}

void unmapDirectory(R3xWad* wad) {
  UnmapViewOfFile(wad->directoryView);
  wad->directoryView = nullptr;
  wad->directory = nullptr;
}

bool headerNamesFit(const std::uint8_t* view, std::uint64_t viewSize, std::uint32_t count) {
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::uint64_t entryAt = kHeaderSize + i * kHeaderEntrySize;
    const std::uint64_t nameAt = entryAt + u32At(view, viewSize, entryAt + 4);
    if (nameAt >= viewSize || std::memchr(view + nameAt, 0, viewSize - nameAt) == nullptr) {
      return false;
    }
  }
  return true;
}

bool plainNamesFit(const std::uint8_t* view, std::uint32_t count) {
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::uint8_t* name = view + kPlainCountSize + i * kPlainEntrySize + 4;
    if (std::memchr(name, 0, kPlainNameSize) == nullptr) {
      return false;
    }
  }
  return true;
}

// The header: magic, a word the reader does not use, the entry count and the name block's size.
bool mapHeaderLayout(R3xWad* wad, arena::ByteReader header) {
  header.Skip(sizeof kHeaderMagic + 4);
  const std::uint32_t count = header.U32();
  const std::uint32_t nameBlockSize = header.U32();
  if (header.failed()) {
    return false;
  }
  if (count > 0 && nameBlockSize < kEndWordSize) {
    return false;
  }
  const std::uint64_t viewSize =
      kHeaderSize + std::uint64_t{count} * kHeaderEntrySize + nameBlockSize;
  const std::uint8_t* view = mapDirectory(wad, viewSize);
  if (view == nullptr) {
    return false;
  }
  wad->directoryView = const_cast<std::uint8_t*>(view);
  if (!headerNamesFit(view, viewSize, count)) {
    unmapDirectory(wad);
    return false;
  }
  wad->directory = view + kHeaderSize;
  wad->directorySize = viewSize - kHeaderSize;
  wad->entryCount = count;
  wad->entrySize = kHeaderEntrySize;
  wad->lookup = lookUpHeaderLayout;
  return true;
}

bool mapPlainLayout(R3xWad* wad) {
  std::uint8_t countBytes[kPlainCountSize];
  DWORD got = 0;
  if (SetFilePointer(wad->file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
      !ReadFile(wad->file, countBytes, sizeof countBytes, &got, nullptr) ||
      got != sizeof countBytes) {
    return false;
  }
  const std::uint32_t count = arena::ByteReader(countBytes, sizeof countBytes).U32();
  const std::uint64_t viewSize =
      kPlainCountSize + std::uint64_t{count} * kPlainEntrySize + (count > 0 ? kEndWordSize : 0);
  const std::uint8_t* view = mapDirectory(wad, viewSize);
  if (view == nullptr) {
    return false;
  }
  wad->directoryView = const_cast<std::uint8_t*>(view);
  if (!plainNamesFit(view, count)) {
    unmapDirectory(wad);
    return false;
  }
  wad->directory = view + kPlainCountSize;
  wad->directorySize = viewSize - kPlainCountSize;
  wad->entryCount = count;
  wad->entrySize = kPlainEntrySize;
  wad->lookup = lookUpPlainLayout;
  return true;
}

}  // namespace

R3xWad* r3xOpenWad(const char* name, int slotCount) {
  if (name == nullptr || slotCount < 0) {
    return nullptr;
  }
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  auto* wad = static_cast<R3xWad*>(r3xMalloc(sizeof(R3xWad)));
  if (wad == nullptr) {
    return nullptr;
  }
  wad->file = INVALID_HANDLE_VALUE;
  wad->slots = static_cast<R3xWadMember*>(
      r3xMalloc(static_cast<std::size_t>(slotCount) * sizeof(R3xWadMember)));
  wad->slotCount = slotCount;
  wad->granularityMask = ~std::uint64_t{0} - info.dwAllocationGranularity + 1;
  if (wad->slots == nullptr) {
    r3xCloseWad(wad);
    return nullptr;
  }
  wad->file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_FLAG_RANDOM_ACCESS, nullptr);
  if (wad->file == INVALID_HANDLE_VALUE) {
    r3xCloseWad(wad);
    return nullptr;
  }
  DWORD sizeHigh = 0;
  const DWORD sizeLow = GetFileSize(wad->file, &sizeHigh);
  wad->fileSize = std::uint64_t{sizeHigh} << 32 | sizeLow;

  std::uint8_t header[kHeaderSize];
  DWORD got = 0;
  const bool headerRead =
      ReadFile(wad->file, header, sizeof header, &got, nullptr) && got == sizeof header;
  const bool mapped = (headerRead && std::memcmp(header, kHeaderMagic, sizeof kHeaderMagic) == 0 &&
                       mapHeaderLayout(wad, arena::ByteReader(header, sizeof header))) ||
                      mapPlainLayout(wad);
  if (!mapped) {
    r3xCloseWad(wad);
    return nullptr;
  }
  return wad;
}

void r3xCloseWad(R3xWad* wad) {
  if (wad == nullptr) {
    return;
  }
  for (int i = 0; wad->slots != nullptr && i < wad->slotCount; ++i) {
    r3xCloseWadMember(&wad->slots[i]);
  }
  if (wad->directoryView != nullptr) {
    unmapDirectory(wad);
  }
  if (wad->mapping != nullptr) {
    CloseHandle(wad->mapping);
  }
  if (wad->file != INVALID_HANDLE_VALUE) {
    CloseHandle(wad->file);
  }
  r3xFree(wad->slots);
  r3xFree(wad);
}

R3xWadMember* r3xOpenWadMember(R3xWad* wad, const char* name) {
  if (wad == nullptr || wad->directory == nullptr || name == nullptr || name[0] == '\0') {
    return nullptr;
  }
  R3xWadMember* slot = nullptr;
  for (int i = 0; i < wad->slotCount && slot == nullptr; ++i) {
    if (!wad->slots[i].open) {
      slot = &wad->slots[i];
    }
  }
  if (slot == nullptr) {
    return nullptr;
  }
  if (!wad->lookup(wad, name, slot) || !rangeFitsFile(wad, slot->start, slot->end)) {
    *slot = R3xWadMember{};
    return nullptr;
  }
  slot->open = 1;
  slot->wad = wad;
  slot->viewBase = static_cast<std::size_t>(slot->start & wad->granularityMask);
  // An empty member on a granularity boundary has no bytes to map (0 would map to the file's end).
  const std::size_t viewBytes = slot->end - slot->viewBase;
  if (viewBytes > 0) {
    const std::uint64_t base = slot->viewBase;
    slot->view = static_cast<const std::uint8_t*>(
        MapViewOfFile(wad->mapping, FILE_MAP_READ, static_cast<DWORD>(base >> 32),
                      static_cast<DWORD>(base), viewBytes));
    if (slot->view == nullptr) {
      *slot = R3xWadMember{};
      return nullptr;
    }
  }
  return slot;
}

int r3xCloseWadMember(R3xWadMember* member) {
  if (member == nullptr || !member->open) {
    return R3X_WAD_REFUSED;
  }
  if (member->view != nullptr) {
    UnmapViewOfFile(member->view);
  }
  *member = R3xWadMember{};
  return R3X_WAD_DONE;
}

int r3xReadWadMember(R3xWadMember* member, void* buffer, std::int64_t count) {
  if (member == nullptr || !member->open || count < 0 ||
      static_cast<std::uint64_t>(count) > member->end - member->position) {
    return R3X_WAD_REFUSED;
  }
  if (count > 0) {
    std::memcpy(buffer, member->view + (member->position - member->viewBase),
                static_cast<std::size_t>(count));
    member->position += static_cast<std::size_t>(count);
  }
  return R3X_WAD_DONE;
}

int r3xSeekWadMember(R3xWadMember* member, std::int64_t offset, int origin) {
  if (member == nullptr || !member->open) {
    return R3X_WAD_REFUSED;
  }
  const auto size = static_cast<std::int64_t>(member->size);
  const auto current = static_cast<std::int64_t>(member->position - member->start);
  std::int64_t target = 0;
  switch (origin) {
    case R3X_WAD_SEEK_SET:
      if (offset < 0 || offset >= size) {
        return R3X_WAD_REFUSED;
      }
      target = offset;
      break;
    case R3X_WAD_SEEK_CUR:
      // Compared before adding, so a huge offset cannot overflow.
      if (offset < -current || offset >= size - current) {
        return R3X_WAD_REFUSED;
      }
      target = current + offset;
      break;
    case R3X_WAD_SEEK_END:
      if (offset < 0 || offset >= size) {
        return R3X_WAD_REFUSED;
      }
      target = size - offset;
      break;
    default:
      return R3X_WAD_REFUSED;
  }
  member->position = member->start + static_cast<std::size_t>(target);
  return R3X_WAD_DONE;
}

std::int64_t r3xTellWadMember(const R3xWadMember* member) {
  if (member == nullptr || !member->open) {
    return R3X_WAD_NOT_OPEN;
  }
  return static_cast<std::int64_t>(member->position - member->start);
}

std::int64_t r3xWadMemberSize(const R3xWadMember* member) {
  if (member == nullptr || !member->open) {
    return R3X_WAD_NOT_OPEN;
  }
  return static_cast<std::int64_t>(member->size);
}

std::int32_t r3xGetWadEntry(const R3xWad* wad, std::uint32_t index, R3xWadEntry* entry) {
  if (wad == nullptr || wad->directory == nullptr || entry == nullptr || index >= wad->entryCount) {
    return R3X_ERR_FAILED;
  }
  entry->name = entryName(wad, index);
  entry->start = directoryU32(wad, std::uint64_t{index} * wad->entrySize);
  entry->end = directoryU32(wad, (std::uint64_t{index} + 1) * wad->entrySize);
  return rangeFitsFile(wad, entry->start, entry->end) ? 0 : R3X_ERR_FAILED;
}
