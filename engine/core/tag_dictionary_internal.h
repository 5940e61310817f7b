// The engine's own functions of tag_dictionary.h, which the public header leaves out.
// Results: keys and bucket ids (R3X_TAG_NONE for none); 0 or R3X_TAG_BUCKET_NOT_CHAINED.
#pragma once

#include "engine/core/tag_dictionary.h"

// The hash key of a tag (cut to the entry's field).
std::uint32_t _r3xTagKey(const char* tag);

// A bucket id, or R3X_TAG_NONE when no page can be added.
std::uint32_t _r3xNewTagBucket(R3xTagDictionary* dictionary);

// _r3xFreeTagBucket's own code: the bucket is not found in its home chain.
inline constexpr std::int32_t R3X_TAG_BUCKET_NOT_CHAINED = -1;

// 0, or R3X_TAG_BUCKET_NOT_CHAINED.
std::int32_t _r3xFreeTagBucket(R3xTagDictionary* dictionary, std::uint32_t id);
