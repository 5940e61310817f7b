#include "platform/system_library/system_library.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/icmp/icmp.h"
#include "platform/kernel/module.h"
#include "platform/system_library/file_version.h"

namespace {

// The file version's four parts of the library of that name, or nothing.
std::string VersionOf(const char* name) {
  HMODULE module = LoadLibraryA(name);
  if (module == nullptr) {
    return "not loaded";
  }
  char path[512];
  const DWORD length = GetModuleFileNameA(module, path, sizeof path);
  FreeLibrary(module);
  if (length == 0) {
    return "no path";
  }
  DWORD handle = 1;
  const DWORD size = GetFileVersionInfoSizeA(path, &handle);
  EXPECT_EQ(handle, 0u);
  if (size == 0) {
    return "no version";
  }
  std::string block(size, '\0');
  LPVOID value = nullptr;
  UINT valueSize = 0;
  if (!GetFileVersionInfoA(path, 0, size, block.data()) ||
      !VerQueryValueA(block.data(), "\\", &value, &valueSize) ||
      valueSize != sizeof(VS_FIXEDFILEINFO)) {
    return "unreadable";
  }
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(value);
  return std::to_string(info->dwFileVersionMS >> 16) + "." +
         std::to_string(info->dwFileVersionMS & 0xFFFF) + "." +
         std::to_string(info->dwFileVersionLS >> 16) + "." +
         std::to_string(info->dwFileVersionLS & 0xFFFF);
}

TEST(SystemLibrary, TheLayersLibrariesLoadByNameInAnyCaseWithTheirVersions) {
  struct Case {
    const char* name;
    const char* version;
  };
  const Case cases[] = {
      {"DDraw.dll", "4.5.0.0"},    {"ddraw.DLL", "4.5.0.0"},        {"DSound.dll", "4.5.0.0"},
      {"DInput.dll", "4.3.0.0"},   {"wsock32.dll", "1.1.0.0"},      {"ICMP.DLL", "no version"},
      {"DPlay.dll", "not loaded"}, {"sub/DDraw.dll", "not loaded"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VersionOf(c.name), c.version) << c.name;
  }
}

TEST(SystemLibrary, PathNamesTheLibraryBesideThePlatformLibrary) {
  HMODULE module = LoadLibraryA("dinput.dll");
  ASSERT_NE(module, nullptr);
  char path[512];
  ASSERT_GT(GetModuleFileNameA(module, path, sizeof path), 0u);
  EXPECT_EQ(platform::SystemLibraryPath("DInput.dll"), path);
  EXPECT_TRUE(FreeLibrary(module));
  // A file of another folder with the same name has no version resource.
  EXPECT_EQ(GetFileVersionInfoSizeA("/tmp/DInput.dll", nullptr), 0u);
}

TEST(SystemLibrary, GetProcAddressFindsTheIcmpFunctions) {
  HMODULE icmp = LoadLibraryA("ICMP.DLL");
  ASSERT_NE(icmp, nullptr);
  EXPECT_EQ(reinterpret_cast<IcmpCreateFileProc>(GetProcAddress(icmp, "IcmpCreateFile")),
            &IcmpCreateFile);
  EXPECT_EQ(reinterpret_cast<IcmpSendEchoProc>(GetProcAddress(icmp, "IcmpSendEcho")),
            &IcmpSendEcho);
  EXPECT_EQ(reinterpret_cast<IcmpCloseHandleProc>(GetProcAddress(icmp, "IcmpCloseHandle")),
            &IcmpCloseHandle);
  EXPECT_EQ(GetProcAddress(icmp, "IcmpSendEcho2"), nullptr);
  EXPECT_TRUE(FreeLibrary(icmp));
}

TEST(SystemLibrary, AReplacedListServesOnlyItsLibraries) {
  {
    const platform::ScopedSystemLibraries only({{"DDraw.dll", {3, 0, 0, 7}, {}}});
    EXPECT_EQ(VersionOf("DDraw.dll"), "3.0.0.7");
    EXPECT_EQ(VersionOf("ICMP.DLL"), "not loaded");
  }
  EXPECT_EQ(VersionOf("DDraw.dll"), "4.5.0.0");
}

TEST(SystemLibrary, VersionQueriesRefuseOtherBlocksAndShortBuffers) {
  const std::string path = platform::SystemLibraryPath("DDraw.dll");
  VS_FIXEDFILEINFO info{};
  EXPECT_FALSE(GetFileVersionInfoA(path.c_str(), 0, sizeof info - 1, &info));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, sizeof info, &info));
  LPVOID value = nullptr;
  UINT size = 0;
  EXPECT_FALSE(VerQueryValueA(&info, "\\StringFileInfo", &value, &size));
  info.dwSignature = 0;
  EXPECT_FALSE(VerQueryValueA(&info, "\\", &value, &size));
}

}  // namespace
