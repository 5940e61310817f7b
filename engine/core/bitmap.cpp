#include "engine/core/bitmap.h"

#include <cstring>
#include <filesystem>
#include <system_error>

#include "engine/core/bitmap_internal.h"
#include "engine/core/bmp_reader.h"
#include "engine/core/error.h"
#include "engine/core/memory.h"
#include "engine/core/string_copy.h"
#include "engine/core/tag_dictionary.h"
#include "engine/core/world.h"
#include "platform/kernel/environment.h"
#include "platform/kernel/file.h"
#include "platform/kernel/search_path.h"

namespace {

// "WLDPATH" is read into a buffer of this size; a longer value is not searched.
constexpr DWORD kWorldPathSize = 261;

std::int32_t FrameCountOf(const R3xBitmap* bitmap) { return bitmap->lastFrame + 1; }

void FreeFrameNames(R3xBitmap* bitmap) {
  if (bitmap->frameNames == nullptr) {
    return;
  }
  for (std::int32_t i = 0; i < FrameCountOf(bitmap); ++i) {
    r3xFree(bitmap->frameNames[i]);
  }
  r3xFree(bitmap->frameNames);
  bitmap->frameNames = nullptr;
}

void FreeBitmap(R3xBitmap* bitmap) {
  r3xFree(bitmap->colourTable);
  FreeFrameNames(bitmap);
  r3xFree(bitmap->header.tag);
  r3xFree(bitmap->pixels);
  r3xFree(bitmap);
}

bool CopyFrameNames(R3xBitmap* bitmap, const char* const* names) {
  bitmap->frameNames = static_cast<char**>(
      r3xMalloc(sizeof(char*) * static_cast<std::size_t>(FrameCountOf(bitmap))));
  if (bitmap->frameNames == nullptr) {
    return false;
  }
  for (std::int32_t i = 0; i < FrameCountOf(bitmap); ++i) {
    bitmap->frameNames[i] = _r3xCopyString(names[i]);
    if (bitmap->frameNames[i] == nullptr) {
      return false;
    }
  }
  return true;
}

// The file-status query, with the platform's case-insensitive name look-up.
bool FileExists(const char* name) {
  std::error_code error;
  return std::filesystem::exists(platform::ResolveFileName(name), error);
}

// Windows-only names (a backslash and no forward slash) are not searched for.
bool IsSearchable(const char* name) {
  return std::strchr(name, '\\') == nullptr || std::strchr(name, '/') != nullptr;
}

// The full name found along the path, an empty owned string when not found, or null when
// memory runs out.
char* SearchAlong(const char* path, const char* name) {
  const DWORD needed = SearchPathA(path, name, nullptr, 0, nullptr, nullptr);
  auto* found = static_cast<char*>(r3xMalloc(needed == 0 ? 1 : needed));
  if (found != nullptr && needed != 0 &&
      SearchPathA(path, name, nullptr, needed, found, nullptr) + 1 != needed) {
    found[0] = '\0';
  }
  return found;
}

bool IsBitmapSlot(R3xWorld* world, R3xBitmapHandle handle) {
  const R3xSlotTable& table = world->bitmaps;
  return handle != nullptr && table.slots != nullptr && handle >= table.slots &&
         handle < table.slots + table.capacity && handle->object != nullptr &&
         handle->object->type == R3X_TYPE_BITMAP;
}

}  // namespace

std::int32_t _r3xSearchWorldPath(R3xWorld*, R3xBitmap* bitmap) {
  char path[kWorldPathSize] = {};
  const DWORD length = GetEnvironmentVariableA("WLDPATH", path, kWorldPathSize);
  if (length == 0 || length >= kWorldPathSize) {
    return 0;
  }
  for (std::int32_t i = 0; i < FrameCountOf(bitmap); ++i) {
    char*& name = bitmap->frameNames[i];
    if (FileExists(name) || !IsSearchable(name)) {
      continue;
    }
    char* found = SearchAlong(path, name);
    if (found == nullptr) {
      FreeFrameNames(bitmap);
      return R3X_ERR_NO_MEMORY;
    }
    if (found[0] == '\0') {
      r3xFree(found);
      continue;
    }
    r3xFree(name);
    name = found;
  }
  return 0;
}

std::int32_t _r3xLoadBitmapImages(R3xWorld* world, R3xBitmap* bitmap) {
  r3xFree(bitmap->pixels);
  bitmap->pixels = nullptr;
  bitmap->pixelBytes = 0;
  return _r3xLoadBitmapFile(FrameCountOf(bitmap), bitmap->frameNames, bitmap, bitmap->archive,
                            world->bitmapColourTableFlag);
}

R3xBitmapHandle r3xLoadBitmap(R3xWorld* world, const char* tag, const char* fileName,
                              R3xWad* archive) {
  return r3xLoadBitmapFrames(world, tag, 1, &fileName, archive);
}

R3xBitmapHandle r3xLoadBitmapFrames(R3xWorld* world, const char* tag, std::int32_t frameCount,
                                    const char* const* names, R3xWad* archive) {
  if (world == nullptr || tag == nullptr) {
    return nullptr;
  }
  if (const R3xObjectHeader* found = r3xFindTag(world, tag); found != nullptr) {
    return found->type == R3X_TYPE_BITMAP ? &world->bitmaps.slots[found->slot] : nullptr;
  }
  if (frameCount < 1 || names == nullptr) {
    return nullptr;
  }
  for (std::int32_t i = 0; i < frameCount; ++i) {
    if (names[i] == nullptr) {
      return nullptr;
    }
  }
  auto* bitmap = static_cast<R3xBitmap*>(r3xMalloc(sizeof(R3xBitmap)));
  if (bitmap == nullptr) {
    return nullptr;
  }
  bitmap->header.type = R3X_TYPE_BITMAP;
  bitmap->header.slot = -1;
  bitmap->lastFrame = frameCount - 1;
  bitmap->archive = archive;
  bitmap->header.tag = _r3xCopyString(tag);
  bool made = bitmap->header.tag != nullptr && CopyFrameNames(bitmap, names) &&
              (archive != nullptr || _r3xSearchWorldPath(world, bitmap) == 0) &&
              _r3xLoadBitmapImages(world, bitmap) == 0 &&
              r3xRegisterObject(world, &bitmap->header) == 0;
  if (made && r3xAddTag(world, &bitmap->header) != 0) {
    r3xUnregisterObject(world, &bitmap->header);
    made = false;
  }
  if (!made) {
    FreeBitmap(bitmap);
    return nullptr;
  }
  return &world->bitmaps.slots[bitmap->header.slot];
}

std::int32_t r3xDestroyBitmap(R3xWorld* world, R3xBitmapHandle handle) {
  if (world == nullptr || !IsBitmapSlot(world, handle)) {
    return R3X_ERR_FAILED;
  }
  R3xBitmap* bitmap = _r3xBitmapOf(handle);
  if (bitmap->header.refCount != 0) {
    return R3X_ERR_BITMAP_IN_USE;
  }
  if ((bitmap->header.flags & R3X_FLAG_IN_DICTIONARY) != 0) {
    r3xRemoveTag(world, bitmap->header.tag);
  }
  const std::int32_t result = r3xUnregisterObject(world, &bitmap->header);
  FreeBitmap(bitmap);
  return result;
}

std::int32_t r3xGetBitmapWidth(R3xBitmapHandle handle) { return _r3xBitmapOf(handle)->width; }

std::int32_t r3xGetBitmapHeight(R3xBitmapHandle handle) { return _r3xBitmapOf(handle)->height; }
