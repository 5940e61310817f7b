#include "platform/kernel/module.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tests/support/scoped_working_folder.h"
#include "tests/support/scratch_folder.h"

namespace {

using IntFunction = int (*)();

std::filesystem::path ProgramFolder() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

TEST(Modules, LoadFromTheProgramFolderInAnyLetterCase) {
  HMODULE module = LoadLibraryA("TEST_MODULE.DLL");
  ASSERT_NE(module, nullptr);
  auto answer = reinterpret_cast<IntFunction>(GetProcAddress(module, "fixture_answer"));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(GetProcAddress(module, "no_such_function"), nullptr);
  EXPECT_TRUE(FreeLibrary(module));
}

TEST(Modules, FreeLibraryUnloadsSoTheNextLoadStartsFresh) {
  for (int round = 0; round < 2; ++round) {
    HMODULE module = LoadLibraryA("Test_Module.dll");
    ASSERT_NE(module, nullptr);
    auto count = reinterpret_cast<IntFunction>(GetProcAddress(module, "fixture_count_call"));
    ASSERT_NE(count, nullptr);
    EXPECT_EQ(count(), 1) << round;
    EXPECT_EQ(count(), 2) << round;
    EXPECT_TRUE(FreeLibrary(module));
  }
}

TEST(Modules, ProgramFolderComesBeforeTheWorkingFolder) {
  test_support::ScratchFolder folder;
  // A different module under the same name in the working folder must not be the one loaded.
  std::filesystem::copy_file(ProgramFolder() / "test_resources.dll",
                             folder.Path() / "Test_Module.dll");
  std::filesystem::copy_file(ProgramFolder() / "Test_Module.dll", folder.Path() / "Other.dll");
  test_support::ScopedWorkingFolder working(folder.Path());

  HMODULE module = LoadLibraryA("Test_Module.dll");
  ASSERT_NE(module, nullptr);
  EXPECT_NE(GetProcAddress(module, "fixture_answer"), nullptr);
  EXPECT_TRUE(FreeLibrary(module));

  module = LoadLibraryA("other.DLL");
  ASSERT_NE(module, nullptr);
  char path[300];
  const DWORD length = GetModuleFileNameA(module, path, sizeof path);
  EXPECT_EQ(std::string(path, length), (folder.Path() / "Other.dll").string());
  EXPECT_TRUE(FreeLibrary(module));
}

TEST(Modules, FailuresGiveNull) {
  test_support::ScratchFolder folder;
  folder.Write("Broken.dll", "not a module");
  test_support::ScopedWorkingFolder working(folder.Path());
  const char* names[] = {"missing.dll", "Broken.dll", "", nullptr};
  for (const char* name : names) {
    EXPECT_EQ(LoadLibraryA(name), nullptr) << (name != nullptr ? name : "(null)");
  }
  EXPECT_FALSE(FreeLibrary(nullptr));
  EXPECT_FALSE(FreeLibrary(INVALID_HANDLE_VALUE));
  EXPECT_EQ(GetProcAddress(nullptr, "fixture_answer"), nullptr);
}

TEST(Modules, FileNamesAreCutToTheBuffer) {
  HMODULE module = LoadLibraryA("test_module.dll");
  ASSERT_NE(module, nullptr);
  const std::string full = (ProgramFolder() / "Test_Module.dll").string();
  ASSERT_GT(full.size(), 10u);

  char path[300];
  EXPECT_EQ(GetModuleFileNameA(module, path, sizeof path), full.size());
  EXPECT_EQ(std::string(path), full);
  char small[10];
  EXPECT_EQ(GetModuleFileNameA(module, small, sizeof small), 9u);
  EXPECT_EQ(std::string(small), full.substr(0, 9));
  EXPECT_EQ(GetModuleFileNameA(module, small, 0), 0u);
  EXPECT_TRUE(FreeLibrary(module));

  EXPECT_EQ(GetModuleFileNameA(nullptr, path, sizeof path),
            std::filesystem::read_symlink("/proc/self/exe").string().size());
  EXPECT_EQ(std::filesystem::path(path), std::filesystem::read_symlink("/proc/self/exe"));
}

}  // namespace
