// The world's tag dictionary: a linear-hashing table from a tag to the registered object that
// bears it. An entry holds the object's type and slot, not its address.
// Results: 0 or a negative R3X_TAG_ code (the dictionary's own); the lookup: object or null.
#pragma once

#include <cstdint>

struct R3xWorld;
struct R3xObjectHeader;

inline constexpr std::uint32_t R3X_TAG_NONE = 0xFFFFFFFF;
// A dictionary entry keeps at most this many characters of a tag; longer tags are cut, on
// entry and on look-up alike.
inline constexpr std::uint32_t R3X_TAG_FIELD_SIZE = 32;
inline constexpr std::uint32_t R3X_TAG_BUCKET_ENTRIES = 3;
inline constexpr std::uint32_t R3X_TAG_PAGE_BUCKETS = 32;
inline constexpr std::uint32_t R3X_TAG_INITIAL_INDEX = 16;

struct R3xTagEntry {
  std::uint32_t key;
  // NUL-terminated: at most R3X_TAG_FIELD_SIZE - 1 characters.
  char tag[R3X_TAG_FIELD_SIZE];
  // (type << 24) | slot; 0 marks an empty entry.
  std::uint32_t locator;
};

// Used entries come before empty ones.
struct R3xTagBucket {
  // Next bucket of the same chain, or of the free chain while the bucket is free.
  std::uint32_t next;
  // Index position whose chain holds the bucket; R3X_TAG_NONE while free.
  std::uint32_t home;
  R3xTagEntry entries[R3X_TAG_BUCKET_ENTRIES];
};

// Bucket id = page number * 32 + position in the page.
struct R3xTagPage {
  R3xTagBucket buckets[R3X_TAG_PAGE_BUCKETS];
};

struct R3xTagDictionary {
  std::uint32_t entryCount;
  // Home buckets in use.
  std::uint32_t indexSize;
  std::uint32_t indexCapacity;
  // First bucket of each home chain, R3X_TAG_NONE when empty.
  std::uint32_t* index;
  std::uint32_t lowMask;
  std::uint32_t highMask;
  // The next home bucket to split.
  std::uint32_t splitPointer;
  std::uint32_t bucketsInUse;
  // One more than the highest bucket id in use.
  std::uint32_t highWater;
  std::uint32_t pageCount;
  std::uint32_t pageCapacity;
  R3xTagPage** pages;
  // The free chain ends at an id whose page does not exist.
  std::uint32_t freeHead;
};

// The dictionary's own codes, each named for the operation that returns it.
// r3xCreateTagDictionary:
inline constexpr std::int32_t R3X_TAG_DICTIONARY_EXISTS = -1;
inline constexpr std::int32_t R3X_TAG_NO_MEMORY_RECORD = -2;
inline constexpr std::int32_t R3X_TAG_NO_MEMORY_PAGES = -3;
inline constexpr std::int32_t R3X_TAG_NO_MEMORY_FIRST_PAGE = -4;
inline constexpr std::int32_t R3X_TAG_NO_MEMORY_INDEX = -5;
// r3xAddTag and r3xRemoveTag:
inline constexpr std::int32_t R3X_TAG_NO_DICTIONARY = -1;
inline constexpr std::int32_t R3X_TAG_NOT_REGISTERED = -2;
inline constexpr std::int32_t R3X_TAG_ALREADY_ENTERED = -3;
inline constexpr std::int32_t R3X_TAG_NO_HOME_BUCKET = -4;
inline constexpr std::int32_t R3X_TAG_NO_CHAIN_BUCKET = -5;
inline constexpr std::int32_t R3X_TAG_NOT_PRESENT = -2;

// 0; R3X_TAG_DICTIONARY_EXISTS when the world already has a dictionary; R3X_TAG_NO_MEMORY_*
// when the record, the page array, the first page or the index cannot be allocated.
std::int32_t r3xCreateTagDictionary(R3xWorld* world);
// Frees the dictionary and clears the world's pointer. 0.
std::int32_t r3xDestroyTagDictionary(R3xWorld* world);

// Enters a registered object under its tag and sets R3X_FLAG_IN_DICTIONARY. 0;
// R3X_TAG_NO_DICTIONARY; R3X_TAG_NOT_REGISTERED when the object is not a registered object of
// this world or has no tag; R3X_TAG_ALREADY_ENTERED; R3X_TAG_NO_HOME_BUCKET or
// R3X_TAG_NO_CHAIN_BUCKET when no bucket can be had. Callers look the tag up first: a tag is not
// checked for being present already.
std::int32_t r3xAddTag(R3xWorld* world, R3xObjectHeader* object);
// Removes the entry of the tag and clears the flag of its object. 0; R3X_TAG_NO_DICTIONARY;
// R3X_TAG_NOT_PRESENT.
std::int32_t r3xRemoveTag(R3xWorld* world, const char* tag);
// The object that bears the tag, whatever its type, or null.
R3xObjectHeader* r3xFindTag(R3xWorld* world, const char* tag);
