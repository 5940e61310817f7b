#include "platform/kernel/file.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/scratch_folder.h"

namespace {

// The contents of a file opened by CreateFileA, or "<fail>" when it does not open.
std::string ReadAll(const std::string& name) {
  HANDLE file = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return "<fail>";
  }
  std::string contents(64, '\0');
  DWORD read = 0;
  EXPECT_TRUE(ReadFile(file, contents.data(), static_cast<DWORD>(contents.size()), &read, nullptr));
  EXPECT_TRUE(CloseHandle(file));
  contents.resize(read);
  return contents;
}

HANDLE OpenReadWrite(const std::string& name, DWORD disposition) {
  return CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, disposition,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

TEST(Files, OpenFindsAnyLetterCaseOfTheLastComponent) {
  test_support::ScratchFolder folder;
  folder.Write("Data.BIN", "data");
  folder.Write("lower.txt", "lower");
  folder.Write("dup.txt", "small");
  folder.Write("DUP.txt", "large");
  std::filesystem::create_directory(folder.Path() / "Sub");
  folder.Write("Sub/Mixed.Dat", "mixed");

  const struct {
    const char* asked;
    const char* contents;
  } cases[] = {
      {"Data.BIN", "data"},       {"data.bin", "data"},        {"DATA.BIN", "data"},
      {"LOWER.TXT", "lower"},     {"dup.txt", "small"},        {"DUP.txt", "large"},
      {"Sub/mixed.DAT", "mixed"}, {"Sub\\Mixed.Dat", "mixed"}, {"Sub\\MIXED.dat", "mixed"},
      {"missing.bin", "<fail>"},  {"Data.BI", "<fail>"},       {"Sub", "<fail>"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadAll(folder / c.asked), c.contents) << c.asked;
  }
}

TEST(Files, ResolveFileNameKeepsUnknownNamesAndConvertsSeparators) {
  test_support::ScratchFolder folder;
  folder.Write("Level.WLD", "");
  const std::string base = folder.Path().string();
  const struct {
    std::string asked;
    std::string resolved;
  } cases[] = {
      {base + "/level.wld", base + "/Level.WLD"}, {base + "\\LEVEL.wld", base + "/Level.WLD"},
      {base + "/Level.WLD", base + "/Level.WLD"}, {base + "/new.wld", base + "/new.wld"},
      {base + "\\new.wld", base + "/new.wld"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::ResolveFileName(c.asked.c_str()), c.resolved) << c.asked;
  }
}

TEST(Files, OpenFileUsesTheSameLookUp) {
  test_support::ScratchFolder folder;
  folder.Write("Control.Dat", "keys");
  std::FILE* file = platform::OpenFile((folder / "CONTROL.DAT").c_str(), "rb");
  ASSERT_NE(file, nullptr);
  char text[8] = {};
  EXPECT_EQ(std::fread(text, 1, sizeof text, file), 4u);
  EXPECT_STREQ(text, "keys");
  std::fclose(file);
}

TEST(Files, CreationDispositions) {
  const struct {
    DWORD disposition;
    bool exists;
    bool opens;
    DWORD sizeAfter;  // of the file once opened
  } cases[] = {
      {CREATE_NEW, true, false, 0},
      {CREATE_NEW, false, true, 0},
      {CREATE_ALWAYS, true, true, 0},
      {CREATE_ALWAYS, false, true, 0},
      {OPEN_EXISTING, true, true, 3},
      {OPEN_EXISTING, false, false, 0},
      {OPEN_ALWAYS, true, true, 3},
      {OPEN_ALWAYS, false, true, 0},
      {TRUNCATE_EXISTING, true, true, 0},
      {TRUNCATE_EXISTING, false, false, 0},
      {0, true, false, 0},
  };
  for (const auto& c : cases) {
    test_support::ScratchFolder folder;
    const std::string name = folder / "f.dat";
    if (c.exists) {
      folder.Write("f.dat", "abc");
    }
    HANDLE file = OpenReadWrite(name, c.disposition);
    EXPECT_EQ(file != INVALID_HANDLE_VALUE, c.opens) << c.disposition << " " << c.exists;
    if (file != INVALID_HANDLE_VALUE) {
      EXPECT_EQ(GetFileSize(file, nullptr), c.sizeAfter) << c.disposition << " " << c.exists;
      EXPECT_TRUE(CloseHandle(file));
    }
  }
}

TEST(Files, ReadWriteAndSeek) {
  test_support::ScratchFolder folder;
  HANDLE file = OpenReadWrite(folder / "rw.bin", CREATE_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file, "0123456789", 10, &written, nullptr));
  EXPECT_EQ(written, 10u);
  EXPECT_EQ(GetFileSize(file, nullptr), 10u);

  const struct {
    LONG distance;
    DWORD method;
    DWORD position;
    const char* next3;
  } seeks[] = {
      {2, FILE_BEGIN, 2, "234"}, {-1, FILE_CURRENT, 4, "456"}, {-2, FILE_END, 8, "89"},
      {0, FILE_CURRENT, 10, ""}, {0, FILE_BEGIN, 0, "012"},
  };
  for (const auto& s : seeks) {
    EXPECT_EQ(SetFilePointer(file, s.distance, nullptr, s.method), s.position) << s.position;
    char buffer[4] = {};
    DWORD read = 99;
    EXPECT_TRUE(ReadFile(file, buffer, 3, &read, nullptr));
    EXPECT_STREQ(buffer, s.next3);
    EXPECT_EQ(read, std::string(s.next3).size());
  }
  EXPECT_TRUE(CloseHandle(file));
}

TEST(Files, SeekWithHighWordAndFailures) {
  test_support::ScratchFolder folder;
  HANDLE file = OpenReadWrite(folder / "big.bin", CREATE_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);

  LONG high = 1;
  EXPECT_EQ(SetFilePointer(file, 0x20, &high, FILE_BEGIN), 0x20u);
  EXPECT_EQ(high, 1);
  high = -1;  // with the high word, -16 from the current position
  EXPECT_EQ(SetFilePointer(file, -16, &high, FILE_CURRENT), 0x10u);
  EXPECT_EQ(high, 1);
  high = 0;
  EXPECT_EQ(SetFilePointer(file, 0, &high, FILE_END), 0u);
  EXPECT_EQ(high, 0);

  EXPECT_EQ(SetFilePointer(file, -1, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, 7), INVALID_SET_FILE_POINTER);
  EXPECT_TRUE(CloseHandle(file));
}

TEST(Files, SizeOfALargeSparseFileHasAHighWord) {
  test_support::ScratchFolder folder;
  const std::string name = folder / "sparse.bin";
  HANDLE file = OpenReadWrite(name, CREATE_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  LONG high = 1;
  ASSERT_EQ(SetFilePointer(file, 4, &high, FILE_BEGIN), 4u);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file, "x", 1, &written, nullptr));
  DWORD sizeHigh = 0;
  EXPECT_EQ(GetFileSize(file, &sizeHigh), 5u);
  EXPECT_EQ(sizeHigh, 1u);
  EXPECT_TRUE(CloseHandle(file));
}

TEST(Files, AccessRightsAndWrongHandlesAreRefused) {
  test_support::ScratchFolder folder;
  folder.Write("ro.bin", "abc");
  HANDLE file = CreateFileA((folder / "ro.bin").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD count = 7;
  EXPECT_FALSE(WriteFile(file, "z", 1, &count, nullptr));
  EXPECT_EQ(count, 0u);
  EXPECT_TRUE(CloseHandle(file));

  char buffer[4];
  EXPECT_FALSE(ReadFile(INVALID_HANDLE_VALUE, buffer, 4, &count, nullptr));
  EXPECT_FALSE(ReadFile(nullptr, buffer, 4, &count, nullptr));
  EXPECT_EQ(GetFileSize(INVALID_HANDLE_VALUE, nullptr), INVALID_FILE_SIZE);
  EXPECT_EQ(SetFilePointer(nullptr, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(CreateFileA(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
}

}  // namespace
