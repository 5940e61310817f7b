#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/core/string_copy.h"
#include "engine/core/tag_dictionary_internal.h"
#include "engine/r3x.h"
#include "test_records.h"
#include "tests/support/failing_memory.h"

namespace {

class TagDictionaryTest : public ::testing::Test {
 protected:
  void TearDown() override { r3xDestroyWorld(world_); }

  TestRecord* add(const std::string& tag) {
    TestRecord* record = makeRecord(world_, R3X_TYPE_ACTOR, tag.c_str());
    EXPECT_NE(record, nullptr);
    EXPECT_NE(record->header.flags & R3X_FLAG_IN_DICTIONARY, 0u) << tag;
    return record;
  }

  // Walks every home chain: each entry sits in its home chain, buckets are packed and none
  // is empty, and the counts agree.
  void expectConsistent() {
    const R3xTagDictionary* d = world_->dictionary;
    std::uint32_t entries = 0;
    std::uint32_t buckets = 0;
    for (std::uint32_t home = 0; home < d->indexSize; ++home) {
      for (std::uint32_t id = d->index[home]; id != R3X_TAG_NONE;) {
        const R3xTagBucket& bucket = d->pages[id / 32]->buckets[id % 32];
        ++buckets;
        EXPECT_EQ(bucket.home, home);
        EXPECT_NE(bucket.entries[0].locator, 0u);
        for (std::uint32_t i = 0; i < R3X_TAG_BUCKET_ENTRIES; ++i) {
          const R3xTagEntry& entry = bucket.entries[i];
          if (entry.locator == 0) {
            for (std::uint32_t j = i; j < R3X_TAG_BUCKET_ENTRIES; ++j) {
              EXPECT_EQ(bucket.entries[j].locator, 0u);
            }
            break;
          }
          ++entries;
          std::uint32_t expectedHome = entry.key & d->lowMask;
          if (expectedHome < d->splitPointer) {
            expectedHome = entry.key & d->highMask;
          }
          EXPECT_EQ(expectedHome, home) << entry.tag;
        }
        id = bucket.next;
      }
    }
    EXPECT_EQ(entries, d->entryCount);
    EXPECT_EQ(buckets, d->bucketsInUse);
  }

  R3xWorld* world_ = r3xCreateWorld(nullptr, 0, nullptr);
  TestTypes types_{{}, {R3X_TYPE_ACTOR, R3X_TYPE_PALETTE, R3X_TYPE_BITMAP}};
};

TEST_F(TagDictionaryTest, ANewDictionaryHasSixteenEmptyHomeBuckets) {
  const R3xTagDictionary* d = world_->dictionary;
  EXPECT_EQ(d->indexSize, 16u);
  EXPECT_EQ(d->lowMask, 15u);
  EXPECT_EQ(d->highMask, 31u);
  EXPECT_EQ(d->pageCount, 1u);
  EXPECT_EQ(d->freeHead, 0u);
  for (std::uint32_t i = 0; i < 16; ++i) {
    EXPECT_EQ(d->index[i], R3X_TAG_NONE);
  }
  EXPECT_EQ(r3xCreateTagDictionary(world_), R3X_TAG_DICTIONARY_EXISTS);
}

TEST_F(TagDictionaryTest, TheIndexGrowsOneHomeBucketAtATime) {
  const R3xTagDictionary* d = world_->dictionary;
  std::vector<TestRecord*> records;
  for (int i = 1; i <= 44; ++i) {
    records.push_back(add("OBJ" + std::to_string(i)));
  }
  EXPECT_EQ(d->indexSize, 16u);
  records.push_back(add("OBJ45"));
  EXPECT_EQ(d->indexSize, 17u);
  EXPECT_EQ(d->splitPointer, 1u);
  expectConsistent();
  // The sixteenth split (at trunc(31 x 2.85) = 88 entries) doubles the masks.
  for (int i = 46; i <= 87; ++i) {
    records.push_back(add("OBJ" + std::to_string(i)));
  }
  EXPECT_EQ(d->indexSize, 31u);
  EXPECT_EQ(d->lowMask, 15u);
  records.push_back(add("OBJ88"));
  EXPECT_EQ(d->indexSize, 32u);
  EXPECT_EQ(d->lowMask, 31u);
  EXPECT_EQ(d->highMask, 63u);
  EXPECT_EQ(d->splitPointer, 0u);
  expectConsistent();
  for (const TestRecord* record : records) {
    EXPECT_EQ(r3xFindTag(world_, record->header.tag), &record->header) << record->header.tag;
  }
}

TEST_F(TagDictionaryTest, AFailedSplitKeepsTheNewEntryAndTheNextInsertionSplits) {
  for (int i = 1; i <= 44; ++i) {
    add("OBJ" + std::to_string(i));
  }
  TestRecord* last = makeRecord(world_, R3X_TYPE_ACTOR, nullptr);
  last->header.tag = _r3xCopyString("OBJ45");
  {
    test_support::FailingMemory failing(0);
    EXPECT_EQ(r3xAddTag(world_, &last->header), 0);
  }
  EXPECT_EQ(world_->dictionary->indexSize, 16u);
  EXPECT_EQ(r3xFindTag(world_, "OBJ45"), &last->header);
  expectConsistent();
  add("OBJ46");
  EXPECT_EQ(world_->dictionary->indexSize, 17u);
  expectConsistent();
}

TEST_F(TagDictionaryTest, LookUpsAndRemovalsOfAbsentTagsAndDoubleEntries) {
  EXPECT_EQ(r3xFindTag(world_, "LIGHTDEF"), nullptr);
  EXPECT_EQ(r3xRemoveTag(world_, "LIGHTDEF"), R3X_TAG_NOT_PRESENT);
  TestRecord* record = add("LIGHTDEF");
  EXPECT_EQ(r3xAddTag(world_, &record->header), R3X_TAG_ALREADY_ENTERED);
  EXPECT_EQ(world_->dictionary->entryCount, 1u);
  ASSERT_EQ(r3xRemoveTag(world_, "LIGHTDEF"), 0);
  EXPECT_EQ(record->header.flags & R3X_FLAG_IN_DICTIONARY, 0u);
  EXPECT_EQ(r3xFindTag(world_, "LIGHTDEF"), nullptr);
  EXPECT_EQ(r3xRemoveTag(world_, "LIGHTDEF"), R3X_TAG_NOT_PRESENT);

  R3xObjectHeader camera{R3X_TYPE_CAMERA, 0, record->header.tag, 0, 0};
  EXPECT_EQ(r3xAddTag(world_, &camera), R3X_TAG_NOT_REGISTERED);
  R3xObjectHeader unregistered{R3X_TYPE_PALETTE, -1, record->header.tag, 0, 0};
  EXPECT_EQ(r3xAddTag(world_, &unregistered), R3X_TAG_NOT_REGISTERED);
  R3xWorld bare{};
  EXPECT_EQ(r3xAddTag(&bare, &record->header), R3X_TAG_NO_DICTIONARY);
  EXPECT_EQ(r3xRemoveTag(&bare, "LIGHTDEF"), R3X_TAG_NO_DICTIONARY);
  EXPECT_EQ(r3xFindTag(&bare, "LIGHTDEF"), nullptr);
}

TEST_F(TagDictionaryTest, TagsWithTheSameKeyAreToldApartByTheirText) {
  ASSERT_EQ(_r3xTagKey("ABCD"), _r3xTagKey("CBAD"));
  TestRecord* abcd = add("ABCD");
  TestRecord* cbad = add("CBAD");
  EXPECT_EQ(r3xFindTag(world_, "ABCD"), &abcd->header);
  EXPECT_EQ(r3xFindTag(world_, "CBAD"), &cbad->header);
  ASSERT_EQ(r3xRemoveTag(world_, "ABCD"), 0);
  EXPECT_EQ(r3xFindTag(world_, "ABCD"), nullptr);
  EXPECT_EQ(r3xFindTag(world_, "CBAD"), &cbad->header);
}

TEST_F(TagDictionaryTest, TheKeyCountsCharactersAsSignedBytes) {
  // "\xE9" is -23: h = (-23 << 7) & 0xFFFF = 0xF480; 0xF480^2 = 0xE9844000 rotated right by 8.
  EXPECT_EQ(_r3xTagKey("\xE9"), 0x00E98440u);
  // "AB": (65 << 7) + 66 = 0x20C2; 0x20C2^2 = 0x04311304 rotated right by 8.
  EXPECT_EQ(_r3xTagKey("AB"), 0x04043113u);
}

TEST_F(TagDictionaryTest, TagsLongerThanTheEntryFieldAreCut) {
  const std::string longTag(40, 'L');
  TestRecord* record = add(longTag);
  EXPECT_EQ(r3xFindTag(world_, longTag.c_str()), &record->header);
  EXPECT_EQ(r3xFindTag(world_, longTag.substr(0, 31).c_str()), &record->header);
  EXPECT_EQ(r3xFindTag(world_, longTag.substr(0, 30).c_str()), nullptr);
  EXPECT_STREQ(record->header.tag, longTag.c_str()) << "the object keeps its whole tag";
  const R3xTagDictionary* d = world_->dictionary;
  const R3xTagEntry& entry = d->pages[0]->buckets[0].entries[0];
  EXPECT_EQ(std::strlen(entry.tag), 31u);
  EXPECT_EQ(r3xRemoveTag(world_, longTag.c_str()), 0);
  EXPECT_EQ(d->entryCount, 0u);
}

TEST_F(TagDictionaryTest, FreedBucketsLowerTheHighWaterMarkAndReleaseTrailingPages) {
  const R3xTagDictionary* d = world_->dictionary;
  add("AB");
  add("AC");  // another home bucket
  ASSERT_NE(_r3xTagKey("AB") & 15, _r3xTagKey("AC") & 15);
  EXPECT_EQ(d->highWater, 2u);
  ASSERT_EQ(r3xRemoveTag(world_, "AC"), 0);
  EXPECT_EQ(d->highWater, 1u);
  EXPECT_EQ(d->bucketsInUse, 1u);
  EXPECT_EQ(d->freeHead, 1u);
  ASSERT_EQ(r3xRemoveTag(world_, "AB"), 0);
  EXPECT_EQ(d->highWater, 0u);
  EXPECT_EQ(d->pageCount, 0u);

  // Enough entries for a second page, then all of them gone again.
  std::vector<std::string> tags;
  for (int i = 0; d->pageCount < 2; ++i) {
    tags.push_back("P" + std::to_string(i));
    add(tags.back());
  }
  expectConsistent();
  for (auto it = tags.rbegin(); it != tags.rend(); ++it) {
    ASSERT_EQ(r3xRemoveTag(world_, it->c_str()), 0) << *it;
  }
  EXPECT_EQ(d->entryCount, 0u);
  EXPECT_EQ(d->bucketsInUse, 0u);
  EXPECT_EQ(d->highWater, 0u);
  EXPECT_EQ(d->pageCount, 0u);
  // The dictionary works on from nothing.
  TestRecord* again = add("AGAIN");
  EXPECT_EQ(r3xFindTag(world_, "AGAIN"), &again->header);
  EXPECT_EQ(d->pageCount, 1u);
}

TEST_F(TagDictionaryTest, RandomEntriesAndRemovalsAgreeWithAMap) {
  std::mt19937 random(1234);
  std::map<std::string, TestRecord*> model;
  std::vector<TestRecord*> unentered;
  for (int step = 0; step < 4000; ++step) {
    const std::string tag = "T" + std::to_string(random() % 700);
    const bool present = model.count(tag) != 0;
    if (random() % 3 != 0) {
      if (!present) {
        model[tag] = add(tag);
      }
    } else if (present) {
      ASSERT_EQ(r3xRemoveTag(world_, tag.c_str()), 0);
      model.erase(tag);
    } else {
      ASSERT_EQ(r3xRemoveTag(world_, tag.c_str()), R3X_TAG_NOT_PRESENT);
    }
  }
  expectConsistent();
  EXPECT_EQ(world_->dictionary->entryCount, model.size());
  for (int i = 0; i < 700; ++i) {
    const std::string tag = "T" + std::to_string(i);
    const auto it = model.find(tag);
    EXPECT_EQ(r3xFindTag(world_, tag.c_str()), it == model.end() ? nullptr : &it->second->header)
        << tag;
  }
}

TEST_F(TagDictionaryTest, EntriesSurviveAllocationFailuresAtAnyPointOfAnInsertion) {
  std::mt19937 random(99);
  std::vector<TestRecord*> entered;
  for (int i = 0; i < 3000; ++i) {
    TestRecord* record = makeRecord(world_, R3X_TYPE_ACTOR, nullptr);
    ASSERT_NE(record, nullptr);
    record->header.tag = _r3xCopyString(("F" + std::to_string(i)).c_str());
    std::int32_t result = 0;
    {
      test_support::FailingMemory failing(static_cast<long>(random() % 3));
      result = r3xAddTag(world_, &record->header);
    }
    if (result == 0) {
      entered.push_back(record);
    } else {
      EXPECT_TRUE(result == -4 || result == -5) << result;
      EXPECT_EQ(record->header.flags & R3X_FLAG_IN_DICTIONARY, 0u);
      EXPECT_EQ(r3xFindTag(world_, record->header.tag), nullptr);
    }
  }
  expectConsistent();
  EXPECT_EQ(world_->dictionary->entryCount, entered.size());
  for (const TestRecord* record : entered) {
    EXPECT_EQ(r3xFindTag(world_, record->header.tag), &record->header) << record->header.tag;
  }
}

TEST_F(TagDictionaryTest, CreationFailuresAreReportedByStepAndLeaveNoDictionary) {
  for (long step = 0; step < 4; ++step) {
    R3xWorld bare{};
    test_support::FailingMemory failing(step);
    EXPECT_EQ(r3xCreateTagDictionary(&bare), -2 - step);
    EXPECT_EQ(bare.dictionary, nullptr);
  }
  R3xWorld bare{};
  ASSERT_EQ(r3xCreateTagDictionary(&bare), 0);
  EXPECT_EQ(r3xDestroyTagDictionary(&bare), 0);
  EXPECT_EQ(bare.dictionary, nullptr);
}

TEST_F(TagDictionaryTest, SetTagRenamesAndKeepsTheDictionaryInStep) {
  TestRecord* tank = add("TANK");
  TestRecord* other = add("OTHER");
  TestRecord* loose = makeRecord(world_, R3X_TYPE_PALETTE, nullptr);

  ASSERT_EQ(r3xSetTag(world_, &tank->header, "TANK2"), 0);
  EXPECT_STREQ(tank->header.tag, "TANK2");
  EXPECT_EQ(r3xFindTag(world_, "TANK"), nullptr);
  EXPECT_EQ(r3xFindTag(world_, "TANK2"), &tank->header);

  // A tag that another object holds: the object takes it but stays out of the dictionary.
  ASSERT_EQ(r3xSetTag(world_, &tank->header, "OTHER"), 0);
  EXPECT_STREQ(tank->header.tag, "OTHER");
  EXPECT_EQ(tank->header.flags & R3X_FLAG_IN_DICTIONARY, 0u);
  EXPECT_EQ(r3xFindTag(world_, "OTHER"), &other->header);
  EXPECT_EQ(r3xFindTag(world_, "TANK2"), nullptr);

  // An object outside the dictionary is renamed only.
  ASSERT_EQ(r3xSetTag(world_, &loose->header, "LOOSE"), 0);
  EXPECT_STREQ(loose->header.tag, "LOOSE");
  EXPECT_EQ(r3xFindTag(world_, "LOOSE"), nullptr);

  // Null untags and takes the object out.
  ASSERT_EQ(r3xSetTag(world_, &other->header, nullptr), 0);
  EXPECT_EQ(other->header.tag, nullptr);
  EXPECT_EQ(other->header.flags & R3X_FLAG_IN_DICTIONARY, 0u);
  EXPECT_EQ(r3xFindTag(world_, "OTHER"), nullptr);
  EXPECT_EQ(world_->dictionary->entryCount, 0u);
}

TEST_F(TagDictionaryTest, SetTagFailuresLeaveTheObjectUnchanged) {
  TestRecord* tank = add("TANK");
  {
    test_support::FailingMemory failing(0);
    EXPECT_EQ(r3xSetTag(world_, &tank->header, "TANK2"), R3X_ERR_FAILED);
  }
  EXPECT_STREQ(tank->header.tag, "TANK");
  EXPECT_EQ(r3xFindTag(world_, "TANK"), &tank->header);
  R3xObjectHeader camera{R3X_TYPE_CAMERA, -1, nullptr, 0, 0};
  EXPECT_EQ(r3xSetTag(world_, &camera, "CAM"), R3X_ERR_FAILED);
  EXPECT_EQ(camera.tag, nullptr);
}

}  // namespace
