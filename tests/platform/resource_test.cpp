#include "platform/kernel/resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class Resources : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryA("test_resources.dll");
    ASSERT_NE(module_, nullptr);
  }
  void TearDown() override { FreeLibrary(module_); }
  HMODULE module_ = nullptr;
};

TEST_F(Resources, FoundByNameAndTypeInAnyLetterCase) {
  const std::string beep("RIFF\0\1\2", 7);
  const struct {
    const char* name;
    const char* type;
    bool found;
    std::string bytes;
  } cases[] = {
      {"Beep", "WAV", true, beep}, {"BEEP", "wav", true, beep},   {"note", "txt", true, "hi"},
      {"Beep", "TXT", false, ""},  {"Missing", "WAV", false, ""}, {"Bee", "WAV", false, ""},
  };
  for (const auto& c : cases) {
    HRSRC found = FindResourceA(module_, c.name, c.type);
    if (!c.found) {
      EXPECT_EQ(found, nullptr) << c.name << "/" << c.type;
      continue;
    }
    ASSERT_NE(found, nullptr) << c.name << "/" << c.type;
    const DWORD size = SizeofResource(module_, found);
    ASSERT_EQ(size, c.bytes.size());
    const void* bytes = LockResource(LoadResource(module_, found));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::string(static_cast<const char*>(bytes), size), c.bytes);
  }
}

TEST_F(Resources, ModulesWithoutATableOrForeignResourcesGiveNothing) {
  HMODULE plain = LoadLibraryA("test_module.dll");
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(FindResourceA(plain, "Beep", "WAV"), nullptr);
  HRSRC beep = FindResourceA(module_, "Beep", "WAV");
  ASSERT_NE(beep, nullptr);
  EXPECT_EQ(LoadResource(plain, beep), nullptr);
  EXPECT_EQ(SizeofResource(plain, beep), 0u);
  EXPECT_TRUE(FreeLibrary(plain));

  EXPECT_EQ(FindResourceA(nullptr, "Beep", "WAV"), nullptr);
  EXPECT_EQ(FindResourceA(module_, nullptr, "WAV"), nullptr);
  EXPECT_EQ(LockResource(nullptr), nullptr);
}

}  // namespace
