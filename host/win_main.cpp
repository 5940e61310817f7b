#include "host/win_main.h"

#include <optional>

#include "host/interface/host_record.h"
#include "host/interface/library_entry.h"
#include "host/keyboard_device.h"
#include "host/process_record.h"
#include "host/report_error.h"
#include "host/update_installer.h"
#include "platform/ddraw.h"
#include "platform/win32.h"

namespace {

constexpr char kFrontEndLibrary[] = "ostrel.dll";
// Each build of the host names its game library.
constexpr char kGameLibrary[] = ARENA_GAME_LIBRARY;

constexpr int kScreenBits = 8;

constexpr int kExitQuit = 0;
constexpr int kExitFailure = 1;

bool StartUp(HostRecord& record, HINSTANCE instance) {
  WNDCLASSA windowClass{};
  windowClass.style = 0;
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  windowClass.lpszClassName = "kelvane_wc";
  RegisterClassA(&windowClass);

  record.window = CreateWindowExA(WS_EX_APPWINDOW | WS_EX_TOPMOST, "kelvane_wc", "Kelvane",
                                  WS_VISIBLE | WS_CAPTION | WS_THICKFRAME, 0, 0, kScreenWidth,
                                  kScreenHeight, nullptr, nullptr, instance, nullptr);
  if (record.window == nullptr) {
    ReportError(&record, "CreateWindowEx failed.\n");
    return false;
  }
  if (!OpenKeyboardDevice(record.keyboard)) {
    ReportError(&record, "DirectInput keyboard open failed.\n");
    return false;
  }
  if (DirectDrawCreate(nullptr, &record.directDraw, nullptr) != DD_OK) {
    ReportError(&record, "DirectDrawCreate failed.\n");
    return false;
  }
  SetWindowLongA(record.window, GWL_STYLE, WS_POPUP | WS_VISIBLE);
  record.directDraw->SetCooperativeLevel(
      record.window, DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX);
  record.directDraw->SetDisplayMode(kScreenWidth, kScreenHeight, kScreenBits);

  DDSURFACEDESC desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.dwBackBufferCount = 1;
  desc.ddsCaps.dwCaps =
      DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_SYSTEMMEMORY;
  if (record.directDraw->CreateSurface(&desc, &record.primarySurface, nullptr) != DD_OK) {
    ReportError(&record, "CreateSurface failed.\n");
    return false;
  }
  return true;
}

// Loads the library, runs its entry once and unloads it. The entry's result, or nothing when the
// library or its entry is missing.
std::optional<int> RunLibrary(HostRecord& record, const char* fileName) {
  HMODULE library = LoadLibraryA(fileName);
  if (library == nullptr) {
    ReportError(&record, "LoadLibrary(\"%s\") failed.\n", fileName);
    return std::nullopt;
  }
  const auto entry = reinterpret_cast<LibraryEntry>(GetProcAddress(library, kLibraryEntryName));
  if (entry == nullptr) {
    ReportError(&record, "Couldn't link to dll_main in %s.\n", fileName);
    FreeLibrary(library);
    return std::nullopt;
  }
  const int code = entry(library, &record);
  FreeLibrary(library);
  return code;
}

// What exists of the display objects, the keyboard and the window, in this order.
void ReleaseHostObjects(HostRecord& record) {
  if (record.primarySurface != nullptr) {
    record.primarySurface->Release();
  }
  if (record.directDraw != nullptr) {
    record.directDraw->Release();
  }
  CloseKeyboardDevice(record.keyboard);
  if (record.window != nullptr) {
    DestroyWindow(record.window);
  }
}

// Ends the program after a report: nothing made so far outlives it.
int Fail(HostRecord& record) {
  ReleaseHostObjects(record);
  return kExitFailure;
}

}  // namespace

int WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
            int /*showCommand*/) {
  gHostRecord = &ProcessHostRecord();
  HostRecord& record = *gHostRecord;
  record.module = instance;
  if (!StartUp(record, instance)) {
    return Fail(record);
  }

  int code = kHostRunFrontEnd;
  while (code != kHostQuit) {
    switch (code) {
      case kHostRunFrontEnd:
      case kHostRunGame: {
        const char* library = code == kHostRunFrontEnd ? kFrontEndLibrary : kGameLibrary;
        const std::optional<int> next = RunLibrary(record, library);
        if (!next) {
          return Fail(record);
        }
        code = *next;
        if (code < kHostQuit || code > kHostInstallUpdates) {
          // No step is defined for it: quit as if asked to.
          ReportError(&record, "%s returned %d, which is no host result code.\n", library, code);
          code = kHostQuit;
        }
        break;
      }
      case kHostInstallUpdates:
        InstallPendingUpdates();
        code = kHostRunFrontEnd;
        break;
    }
  }
  ReleaseHostObjects(record);
  return kExitQuit;
}
