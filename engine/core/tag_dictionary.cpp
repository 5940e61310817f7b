#include "engine/core/tag_dictionary.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/object.h"
#include "engine/core/object_internal.h"
#include "engine/core/tag_dictionary_internal.h"
#include "engine/core/world.h"

namespace {

// The load at which a home bucket is split: entries >= index size * 2.85.
constexpr std::uint64_t kSplitLoadPercent = 285;
constexpr std::uint32_t kSlotBits = 24;
constexpr std::uint32_t kSlotMask = (1u << kSlotBits) - 1;

// The tag as an entry holds it: at most R3X_TAG_FIELD_SIZE - 1 characters.
struct CutTag {
  char text[R3X_TAG_FIELD_SIZE];
};

CutTag cutTag(const char* tag) {
  CutTag cut{};
  std::size_t length = 0;
  while (length < R3X_TAG_FIELD_SIZE - 1 && tag[length] != '\0') {
    ++length;
  }
  std::memcpy(cut.text, tag, length);
  return cut;
}

std::uint32_t keyOf(const CutTag& cut) {
  // Characters count as signed bytes.
  std::uint32_t sum = 0;
  for (std::size_t i = 0; cut.text[i] != '\0'; i += 2) {
    sum +=
        static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<std::int8_t>(cut.text[i])))
        << 7;
    if (cut.text[i + 1] == '\0') {
      break;
    }
    sum += static_cast<std::uint32_t>(
        static_cast<std::int32_t>(static_cast<std::int8_t>(cut.text[i + 1])));
  }
  const std::uint32_t h = sum & 0xFFFF;
  return std::rotr(h * h, 8);
}

R3xTagBucket& bucketAt(R3xTagDictionary* dictionary, std::uint32_t id) {
  return dictionary->pages[id / R3X_TAG_PAGE_BUCKETS]->buckets[id % R3X_TAG_PAGE_BUCKETS];
}

std::uint32_t homeOf(const R3xTagDictionary* dictionary, std::uint32_t key) {
  std::uint32_t home = key & dictionary->lowMask;
  if (home < dictionary->splitPointer) {
    home = key & dictionary->highMask;
  }
  return home;
}

std::uint32_t growBy(std::uint32_t capacity) { return std::max<std::uint32_t>(capacity / 4, 1); }

// Drops entry position of a bucket: later entries move down, the last is cleared.
void removeEntry(R3xTagBucket& bucket, std::uint32_t position) {
  for (std::uint32_t i = position; i + 1 < R3X_TAG_BUCKET_ENTRIES; ++i) {
    bucket.entries[i] = bucket.entries[i + 1];
  }
  bucket.entries[R3X_TAG_BUCKET_ENTRIES - 1] = R3xTagEntry{};
}

struct EntryPlace {
  std::uint32_t bucket;
  std::uint32_t position;
};

bool findEntry(R3xTagDictionary* dictionary, const CutTag& cut, std::uint32_t key,
               EntryPlace* place) {
  for (std::uint32_t id = dictionary->index[homeOf(dictionary, key)]; id != R3X_TAG_NONE;) {
    R3xTagBucket& bucket = bucketAt(dictionary, id);
    for (std::uint32_t i = 0; i < R3X_TAG_BUCKET_ENTRIES && bucket.entries[i].locator != 0; ++i) {
      const R3xTagEntry& entry = bucket.entries[i];
      if (entry.key == key && std::strcmp(entry.tag, cut.text) == 0) {
        *place = {id, i};
        return true;
      }
    }
    id = bucket.next;
  }
  return false;
}

R3xObjectHeader* objectOf(R3xWorld* world, std::uint32_t locator) {
  R3xSlotTable* table = _r3xSlotTableOf(world, static_cast<std::int32_t>(locator >> kSlotBits));
  const std::uint32_t slot = locator & kSlotMask;
  if (table == nullptr || slot >= table->capacity) {
    return nullptr;
  }
  return table->slots[slot].object;
}

// Adds the page that the free chain's end id lies in and chains its buckets upward.
bool addPage(R3xTagDictionary* dictionary) {
  if (dictionary->pageCount == dictionary->pageCapacity) {
    const std::uint32_t capacity = dictionary->pageCapacity + growBy(dictionary->pageCapacity);
    auto* pages = static_cast<R3xTagPage**>(
        r3xRealloc(dictionary->pages, std::size_t{capacity} * sizeof(R3xTagPage*)));
    if (pages == nullptr) {
      return false;
    }
    dictionary->pages = pages;
    dictionary->pageCapacity = capacity;
  }
  auto* page = static_cast<R3xTagPage*>(r3xMalloc(sizeof(R3xTagPage)));
  if (page == nullptr) {
    return false;
  }
  const std::uint32_t firstId = dictionary->pageCount * R3X_TAG_PAGE_BUCKETS;
  for (std::uint32_t i = 0; i < R3X_TAG_PAGE_BUCKETS; ++i) {
    page->buckets[i].next = firstId + i + 1;
    page->buckets[i].home = R3X_TAG_NONE;
  }
  dictionary->pages[dictionary->pageCount++] = page;
  return true;
}

// Splits the home bucket at the split pointer into itself and a new home bucket at the end of
// the index. Every bucket the moved entries need is taken before the first entry moves, so a
// failure leaves the dictionary as it was.
bool splitHomeBucket(R3xTagDictionary* dictionary) {
  if (dictionary->indexSize == dictionary->indexCapacity) {
    const std::uint32_t capacity = dictionary->indexCapacity + growBy(dictionary->indexCapacity);
    auto* index = static_cast<std::uint32_t*>(
        r3xRealloc(dictionary->index, std::size_t{capacity} * sizeof(std::uint32_t)));
    if (index == nullptr) {
      return false;
    }
    dictionary->index = index;
    dictionary->indexCapacity = capacity;
  }
  const std::uint32_t bit = dictionary->highMask ^ dictionary->lowMask;
  const std::uint32_t source = dictionary->splitPointer;
  const std::uint32_t target = dictionary->indexSize;

  std::uint32_t moving = 0;
  for (std::uint32_t id = dictionary->index[source]; id != R3X_TAG_NONE;
       id = bucketAt(dictionary, id).next) {
    const R3xTagBucket& bucket = bucketAt(dictionary, id);
    for (std::uint32_t i = 0; i < R3X_TAG_BUCKET_ENTRIES && bucket.entries[i].locator != 0; ++i) {
      moving += (bucket.entries[i].key & bit) != 0 ? 1 : 0;
    }
  }
  // The destination chain, linked in the order it fills.
  std::uint32_t first = R3X_TAG_NONE;
  std::uint32_t last = R3X_TAG_NONE;
  for (std::uint32_t taken = 0; taken * R3X_TAG_BUCKET_ENTRIES < moving; ++taken) {
    const std::uint32_t id = _r3xNewTagBucket(dictionary);
    if (id == R3X_TAG_NONE) {
      while (first != R3X_TAG_NONE) {
        R3xTagBucket& unused = bucketAt(dictionary, first);
        const std::uint32_t next = unused.next;
        unused.home = R3X_TAG_NONE;  // not linked into any home chain yet
        _r3xFreeTagBucket(dictionary, first);
        first = next;
      }
      return false;
    }
    bucketAt(dictionary, id).home = target;
    if (last == R3X_TAG_NONE) {
      first = id;
    } else {
      bucketAt(dictionary, last).next = id;
    }
    last = id;
  }

  dictionary->index[target] = first;
  dictionary->indexSize = target + 1;
  std::uint32_t destination = first;
  std::uint32_t filled = 0;
  for (std::uint32_t id = dictionary->index[source]; id != R3X_TAG_NONE;) {
    R3xTagBucket& bucket = bucketAt(dictionary, id);
    std::uint32_t i = 0;
    while (i < R3X_TAG_BUCKET_ENTRIES && bucket.entries[i].locator != 0) {
      if ((bucket.entries[i].key & bit) == 0) {
        ++i;
        continue;
      }
      if (filled == R3X_TAG_BUCKET_ENTRIES) {
        destination = bucketAt(dictionary, destination).next;
        filled = 0;
      }
      bucketAt(dictionary, destination).entries[filled++] = bucket.entries[i];
      removeEntry(bucket, i);
    }
    const std::uint32_t next = bucket.next;
    if (bucket.entries[0].locator == 0) {
      _r3xFreeTagBucket(dictionary, id);
    }
    id = next;
  }

  if (++dictionary->splitPointer > dictionary->lowMask) {
    dictionary->splitPointer = 0;
    dictionary->lowMask = dictionary->highMask;
    dictionary->highMask = dictionary->highMask * 2 + 1;
  }
  return true;
}

}  // namespace

std::uint32_t _r3xTagKey(const char* tag) { return keyOf(cutTag(tag)); }

std::int32_t r3xCreateTagDictionary(R3xWorld* world) {
  if (world->dictionary != nullptr) {
    return R3X_TAG_DICTIONARY_EXISTS;
  }
  auto* dictionary = static_cast<R3xTagDictionary*>(r3xMalloc(sizeof(R3xTagDictionary)));
  if (dictionary == nullptr) {
    return R3X_TAG_NO_MEMORY_RECORD;
  }
  dictionary->pages = static_cast<R3xTagPage**>(r3xMalloc(sizeof(R3xTagPage*)));
  if (dictionary->pages == nullptr) {
    r3xFree(dictionary);
    return R3X_TAG_NO_MEMORY_PAGES;
  }
  dictionary->pageCapacity = 1;
  if (!addPage(dictionary)) {
    r3xFree(dictionary->pages);
    r3xFree(dictionary);
    return R3X_TAG_NO_MEMORY_FIRST_PAGE;
  }
  dictionary->index =
      static_cast<std::uint32_t*>(r3xMalloc(R3X_TAG_INITIAL_INDEX * sizeof(std::uint32_t)));
  if (dictionary->index == nullptr) {
    r3xFree(dictionary->pages[0]);
    r3xFree(dictionary->pages);
    r3xFree(dictionary);
    return R3X_TAG_NO_MEMORY_INDEX;
  }
  std::fill_n(dictionary->index, R3X_TAG_INITIAL_INDEX, R3X_TAG_NONE);
  dictionary->indexSize = R3X_TAG_INITIAL_INDEX;
  dictionary->indexCapacity = R3X_TAG_INITIAL_INDEX;
  dictionary->lowMask = R3X_TAG_INITIAL_INDEX - 1;
  dictionary->highMask = R3X_TAG_INITIAL_INDEX * 2 - 1;
  world->dictionary = dictionary;
  return 0;
}

std::int32_t r3xDestroyTagDictionary(R3xWorld* world) {
  R3xTagDictionary* dictionary = world->dictionary;
  if (dictionary != nullptr) {
    for (std::uint32_t i = 0; i < dictionary->pageCount; ++i) {
      r3xFree(dictionary->pages[i]);
    }
    r3xFree(dictionary->pages);
    r3xFree(dictionary->index);
    r3xFree(dictionary);
    world->dictionary = nullptr;
  }
  return 0;
}

std::uint32_t _r3xNewTagBucket(R3xTagDictionary* dictionary) {
  if (dictionary->freeHead / R3X_TAG_PAGE_BUCKETS >= dictionary->pageCount &&
      !addPage(dictionary)) {
    return R3X_TAG_NONE;
  }
  const std::uint32_t id = dictionary->freeHead;
  R3xTagBucket& bucket = bucketAt(dictionary, id);
  dictionary->freeHead = bucket.next;
  ++dictionary->bucketsInUse;
  dictionary->highWater = std::max(dictionary->highWater, id + 1);
  bucket.next = R3X_TAG_NONE;
  for (R3xTagEntry& entry : bucket.entries) {
    entry.locator = 0;
  }
  return id;
}

std::int32_t _r3xFreeTagBucket(R3xTagDictionary* dictionary, std::uint32_t id) {
  R3xTagBucket& bucket = bucketAt(dictionary, id);
  if (bucket.home != R3X_TAG_NONE) {
    std::uint32_t* link = &dictionary->index[bucket.home];
    while (*link != id) {
      if (*link == R3X_TAG_NONE) {
        return R3X_TAG_BUCKET_NOT_CHAINED;
      }
      link = &bucketAt(dictionary, *link).next;
    }
    *link = bucket.next;
  }
  bucket.next = dictionary->freeHead;
  dictionary->freeHead = id;
  bucket.home = R3X_TAG_NONE;
  --dictionary->bucketsInUse;

  if (id + 1 == dictionary->highWater) {
    dictionary->highWater = id;
    while (dictionary->highWater > 0 &&
           bucketAt(dictionary, dictionary->highWater - 1).home == R3X_TAG_NONE) {
      --dictionary->highWater;
    }
  }
  const std::uint32_t pagesNeeded =
      dictionary->highWater == 0 ? 0 : (dictionary->highWater - 1) / R3X_TAG_PAGE_BUCKETS + 1;
  while (dictionary->pageCount > pagesNeeded) {
    const std::uint32_t last = dictionary->pageCount - 1;
    std::uint32_t* link = &dictionary->freeHead;
    while (*link / R3X_TAG_PAGE_BUCKETS < dictionary->pageCount) {
      if (*link / R3X_TAG_PAGE_BUCKETS == last) {
        *link = bucketAt(dictionary, *link).next;
      } else {
        link = &bucketAt(dictionary, *link).next;
      }
    }
    *link = last * R3X_TAG_PAGE_BUCKETS;
    r3xFree(dictionary->pages[last]);
    dictionary->pageCount = last;
  }
  return 0;
}

std::int32_t r3xAddTag(R3xWorld* world, R3xObjectHeader* object) {
  R3xTagDictionary* dictionary = world->dictionary;
  if (dictionary == nullptr) {
    return R3X_TAG_NO_DICTIONARY;
  }
  R3xSlotTable* table = _r3xSlotTableOf(world, object->type);
  if (table == nullptr || object->tag == nullptr || object->slot < 0 ||
      static_cast<std::uint32_t>(object->slot) >= table->capacity ||
      table->slots[object->slot].object != object) {
    return R3X_TAG_NOT_REGISTERED;
  }
  if ((object->flags & R3X_FLAG_IN_DICTIONARY) != 0) {
    return R3X_TAG_ALREADY_ENTERED;
  }
  const CutTag cut = cutTag(object->tag);
  const std::uint32_t key = keyOf(cut);
  const std::uint32_t home = homeOf(dictionary, key);

  std::uint32_t id = dictionary->index[home];
  std::uint32_t position = 0;
  if (id == R3X_TAG_NONE) {
    id = _r3xNewTagBucket(dictionary);
    if (id == R3X_TAG_NONE) {
      return R3X_TAG_NO_HOME_BUCKET;
    }
    dictionary->index[home] = id;
    bucketAt(dictionary, id).home = home;
  } else {
    for (;;) {
      const R3xTagBucket& bucket = bucketAt(dictionary, id);
      while (position < R3X_TAG_BUCKET_ENTRIES && bucket.entries[position].locator != 0) {
        ++position;
      }
      if (position < R3X_TAG_BUCKET_ENTRIES || bucket.next == R3X_TAG_NONE) {
        break;
      }
      id = bucket.next;
      position = 0;
    }
    if (position == R3X_TAG_BUCKET_ENTRIES) {
      const std::uint32_t added = _r3xNewTagBucket(dictionary);
      if (added == R3X_TAG_NONE) {
        return R3X_TAG_NO_CHAIN_BUCKET;
      }
      bucketAt(dictionary, id).next = added;
      bucketAt(dictionary, added).home = home;
      id = added;
      position = 0;
    }
  }
  R3xTagEntry& entry = bucketAt(dictionary, id).entries[position];
  entry.key = key;
  std::memcpy(entry.tag, cut.text, sizeof entry.tag);
  entry.locator = (static_cast<std::uint32_t>(object->type) << kSlotBits) |
                  static_cast<std::uint32_t>(object->slot);
  object->flags |= R3X_FLAG_IN_DICTIONARY;
  ++dictionary->entryCount;

  // A failed split leaves the entry in place: it ends the growth until the next insertion.
  while (dictionary->entryCount >= std::uint64_t{dictionary->indexSize} * kSplitLoadPercent / 100) {
    if (!splitHomeBucket(dictionary)) {
      break;
    }
  }
  return 0;
}

std::int32_t r3xRemoveTag(R3xWorld* world, const char* tag) {
  R3xTagDictionary* dictionary = world->dictionary;
  if (dictionary == nullptr) {
    return R3X_TAG_NO_DICTIONARY;
  }
  if (tag == nullptr) {
    return R3X_TAG_NOT_PRESENT;
  }
  const CutTag cut = cutTag(tag);
  EntryPlace place{};
  if (!findEntry(dictionary, cut, keyOf(cut), &place)) {
    return R3X_TAG_NOT_PRESENT;
  }
  R3xTagBucket& bucket = bucketAt(dictionary, place.bucket);
  if (R3xObjectHeader* object = objectOf(world, bucket.entries[place.position].locator)) {
    object->flags &= ~R3X_FLAG_IN_DICTIONARY;
  }
  removeEntry(bucket, place.position);
  --dictionary->entryCount;
  if (bucket.entries[0].locator == 0) {
    _r3xFreeTagBucket(dictionary, place.bucket);
  }
  return 0;
}

R3xObjectHeader* r3xFindTag(R3xWorld* world, const char* tag) {
  if (world == nullptr || world->dictionary == nullptr || tag == nullptr) {
    return nullptr;
  }
  const CutTag cut = cutTag(tag);
  EntryPlace place{};
  if (!findEntry(world->dictionary, cut, keyOf(cut), &place)) {
    return nullptr;
  }
  return objectOf(world, bucketAt(world->dictionary, place.bucket).entries[place.position].locator);
}
