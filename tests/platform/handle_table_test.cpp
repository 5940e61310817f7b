#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "platform/kernel/file.h"
#include "platform/kernel/file_mapping.h"
#include "platform/kernel/find_file.h"
#include "platform/kernel/handle.h"
#include "platform/kernel/module.h"
#include "platform/kernel/registry.h"
#include "platform/kernel/thread.h"
#include "tests/support/scratch_folder.h"

namespace {

constexpr char kProcessorKey[] = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";

DWORD ErrorOf(bool succeeded) { return succeeded ? DWORD{ERROR_SUCCESS} : GetLastError(); }

HANDLE OpenFile(const test_support::ScratchFolder& folder) {
  return CreateFileA((folder / "data.bin").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

DWORD ReadOneByte(HANDLE file) {
  char byte;
  DWORD count = 0;
  return ErrorOf(ReadFile(file, &byte, 1, &count, nullptr) != FALSE);
}

HANDLE OpenMapping(const test_support::ScratchFolder& folder) {
  HANDLE file = OpenFile(folder);
  HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  CloseHandle(file);
  return mapping;
}

DWORD MapAView(HANDLE mapping) {
  const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
  const DWORD error = ErrorOf(view != nullptr);
  UnmapViewOfFile(view);
  return error;
}

DWORD ReturnSeven(LPVOID) { return 7; }

HANDLE StartThread(const test_support::ScratchFolder&) {
  return CreateThread(nullptr, 0, ReturnSeven, nullptr, 0, nullptr);
}

DWORD WaitForIt(HANDLE thread) {
  return ErrorOf(WaitForSingleObject(thread, INFINITE) == WAIT_OBJECT_0);
}

DWORD Close(HANDLE handle) { return ErrorOf(CloseHandle(handle) != FALSE); }

HANDLE FindFirst(const test_support::ScratchFolder& folder) {
  WIN32_FIND_DATAA data;
  return FindFirstFileA((folder / "*").c_str(), &data);
}

DWORD FindNext(HANDLE find) {
  WIN32_FIND_DATAA data;
  return ErrorOf(FindNextFileA(find, &data) != FALSE);
}

DWORD CloseFind(HANDLE find) { return ErrorOf(FindClose(find) != FALSE); }

HANDLE LoadModule(const test_support::ScratchFolder&) { return LoadLibraryA("test_module.dll"); }

DWORD FindExport(HANDLE module) {
  return ErrorOf(GetProcAddress(module, "fixture_answer") != nullptr);
}

DWORD FreeModule(HANDLE module) { return ErrorOf(FreeLibrary(module) != FALSE); }

HANDLE OpenProcessorKey(const test_support::ScratchFolder&) {
  HKEY key = nullptr;
  return RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProcessorKey, 0, KEY_READ, &key) == ERROR_SUCCESS
             ? key
             : nullptr;
}

// Not found on a valid key: the value does not exist; refused on any other handle.
DWORD QueryMissingValue(HANDLE key) {
  DWORD size = 0;
  return static_cast<DWORD>(
      RegQueryValueExA(key, "no such value", nullptr, nullptr, nullptr, &size));
}

DWORD CloseKey(HANDLE key) { return static_cast<DWORD>(RegCloseKey(key)); }

// One kind of handle: how one is opened, a call that uses it and the kind's own close call, each
// giving its error (ERROR_SUCCESS when it succeeded), and the error a refused handle gives.
struct HandleKind {
  const char* name;
  HANDLE (*open)(const test_support::ScratchFolder& folder);
  DWORD (*use)(HANDLE handle);
  DWORD (*close)(HANDLE handle);
  DWORD refused;
  bool closedByCloseHandle;
};

const HandleKind kKinds[] = {
    {"File", OpenFile, ReadOneByte, Close, ERROR_INVALID_HANDLE, true},
    {"FileMapping", OpenMapping, MapAView, Close, ERROR_INVALID_HANDLE, true},
    {"Thread", StartThread, WaitForIt, Close, ERROR_INVALID_HANDLE, true},
    {"Find", FindFirst, FindNext, CloseFind, ERROR_INVALID_HANDLE, false},
    {"Module", LoadModule, FindExport, FreeModule, ERROR_MOD_NOT_FOUND, false},
    {"RegistryKey", OpenProcessorKey, QueryMissingValue, CloseKey, ERROR_INVALID_HANDLE, false},
};

class HandleTable : public ::testing::TestWithParam<HandleKind> {
 protected:
  void SetUp() override {
    for (const char* name : {"data.bin", "more.bin", "last.bin"}) {
      folder_.Write(name, "abcdef");
    }
  }
  HANDLE Open() {
    HANDLE handle = GetParam().open(folder_);
    EXPECT_NE(handle, nullptr);
    EXPECT_NE(handle, INVALID_HANDLE_VALUE);
    return handle;
  }

  test_support::ScratchFolder folder_;
};

TEST_P(HandleTable, ClosedHandleIsRefused) {
  const HandleKind& kind = GetParam();
  HANDLE handle = Open();
  EXPECT_NE(kind.use(handle), kind.refused);
  EXPECT_EQ(kind.close(handle), DWORD{ERROR_SUCCESS});
  EXPECT_EQ(kind.use(handle), kind.refused);
  EXPECT_EQ(kind.close(handle), kind.refused);
  EXPECT_FALSE(CloseHandle(handle));
  EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
}

// A freed slot is never handed out again, so a stale copy of a handle cannot reach an object
// opened after it was closed.
TEST_P(HandleTable, StaleHandleNeverReachesALaterObject) {
  const HandleKind& kind = GetParam();
  std::set<HANDLE> issued;
  HANDLE stale = Open();
  ASSERT_EQ(kind.close(stale), DWORD{ERROR_SUCCESS});
  issued.insert(stale);
  for (int i = 0; i < 20; ++i) {
    HANDLE handle = Open();
    EXPECT_TRUE(issued.insert(handle).second) << "handle issued twice";
    ASSERT_EQ(kind.close(handle), DWORD{ERROR_SUCCESS});
  }
  HANDLE live = Open();
  EXPECT_TRUE(issued.insert(live).second);
  EXPECT_EQ(kind.use(stale), kind.refused);
  EXPECT_EQ(kind.close(stale), kind.refused);
  EXPECT_NE(kind.use(live), kind.refused);
  EXPECT_EQ(kind.close(live), DWORD{ERROR_SUCCESS});
}

TEST_P(HandleTable, NeverIssuedHandlesAreRefused) {
  const HandleKind& kind = GetParam();
  HANDLE live = Open();
  const auto id = reinterpret_cast<std::uintptr_t>(live);
  int local = 0;
  const HANDLE neverIssued[] = {
      nullptr,
      INVALID_HANDLE_VALUE,
      // An address is not an id.
      &local,
      // Next to a live id, and far past the last one issued.
      reinterpret_cast<HANDLE>(id + 1),
      reinterpret_cast<HANDLE>(id + 4 * 100000),
  };
  for (HANDLE handle : neverIssued) {
    EXPECT_EQ(kind.use(handle), kind.refused) << handle;
    EXPECT_EQ(kind.close(handle), kind.refused) << handle;
  }
  EXPECT_EQ(kind.close(live), DWORD{ERROR_SUCCESS});
}

// A handle of one kind is refused by the calls of every other kind. CloseHandle closes any object
// that has no close call of its own, as the original does, and refuses the others.
TEST_P(HandleTable, HandlesOfOtherKindsAreRefused) {
  const HandleKind& kind = GetParam();
  for (const HandleKind& other : kKinds) {
    if (std::string(other.name) == kind.name) {
      continue;
    }
    HANDLE handle = other.open(folder_);
    ASSERT_NE(handle, nullptr) << other.name;
    EXPECT_EQ(kind.use(handle), kind.refused) << other.name;
    if (!kind.closedByCloseHandle || !other.closedByCloseHandle) {
      EXPECT_EQ(kind.close(handle), kind.refused) << other.name;
    }
    EXPECT_EQ(other.close(handle), DWORD{ERROR_SUCCESS}) << other.name;
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, HandleTable, ::testing::ValuesIn(kKinds),
                         [](const ::testing::TestParamInfo<HandleKind>& info) {
                           return info.param.name;
                         });

TEST(HandleTableFiles, EveryFileCallRefusesAClosedFile) {
  test_support::ScratchFolder folder;
  folder.Write("data.bin", "abcdef");
  HANDLE file = OpenFile(folder);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(CloseHandle(file));

  char buffer[4];
  DWORD count = 9;
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(ReadFile(file, buffer, 4, &count, nullptr));
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(WriteFile(file, "z", 1, &count, nullptr));
  EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(GetFileSize(file, nullptr), INVALID_FILE_SIZE);
  EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
}

TEST(HandleTableThreads, ExitCodeOfAClosedThreadIsRefused) {
  HANDLE thread = CreateThread(nullptr, 0, ReturnSeven, nullptr, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  ASSERT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 7u);
  ASSERT_TRUE(CloseHandle(thread));
  code = 0;
  EXPECT_FALSE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
  EXPECT_EQ(code, 0u);
  // The pseudo-handle of the calling thread is no object either, but closing it succeeds.
  EXPECT_EQ(WaitForSingleObject(GetCurrentThread(), 0), WAIT_FAILED);
  EXPECT_TRUE(CloseHandle(GetCurrentThread()));
}

TEST(HandleTableModules, NamesOfAFreedModuleAreRefused) {
  HMODULE module = LoadLibraryA("test_module.dll");
  ASSERT_NE(module, nullptr);
  ASSERT_TRUE(FreeLibrary(module));
  char path[64] = "unchanged";
  EXPECT_EQ(GetModuleFileNameA(module, path, sizeof path), 0u);
  EXPECT_EQ(GetLastError(), DWORD{ERROR_MOD_NOT_FOUND});
  EXPECT_STREQ(path, "unchanged");
}

}  // namespace
