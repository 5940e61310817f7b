// The host program's start-up failures: each made to happen in a child process, where WinMain
// writes the failed step's text to the debugger output and ends with 1.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "host/win_main.h"
#include "platform/ddraw.h"
#include "platform/kernel/allocation_hook.h"
#include "platform/win32.h"
#include "platform/window/window.h"

namespace {

LRESULT RefuseCreation(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return message == WM_CREATE ? -1 : DefWindowProcA(window, message, wParam, lParam);
}

class RefuseEverything : public platform::AllocationHook {
 public:
  bool Allows(std::size_t /*size*/) override { return false; }
};

struct StartUpFailure {
  const char* name;
  // Runs in the child before WinMain.
  std::function<void()> arrange;
  const char* report;
};

void PrintTo(const StartUpFailure& failure, std::ostream* out) { *out << failure.name; }

const StartUpFailure kFailures[] = {
    // The host's class name is taken by a class whose windows refuse to be created; the host's
    // own registration fails, which it does not check.
    {"Window",
     [] {
       WNDCLASSA windowClass{};
       windowClass.lpfnWndProc = RefuseCreation;
       windowClass.lpszClassName = "kelvane_wc";
       RegisterClassA(&windowClass);
     },
     "CreateWindowEx failed\\.\n"},
    // Without the focus the window is not active, so the foreground keyboard is not acquired.
    {"Keyboard", [] { platform::SetApplicationFocus(false); },
     "DirectInput keyboard open failed\\.\n"},
    {"DirectDraw",
     [] {
       static RefuseEverything refuse;
       platform::SetAllocationHook(&refuse);
     },
     "DirectDrawCreate failed\\.\n"},
    // Another DirectDraw object holds the one primary surface.
    {"PrimarySurface",
     [] {
       WNDCLASSA windowClass{};
       windowClass.lpfnWndProc = DefWindowProcA;
       windowClass.lpszClassName = "other_wc";
       RegisterClassA(&windowClass);
       HWND other = CreateWindowExA(0, "other_wc", "Other", 0, 0, 0, 640, 480, nullptr, nullptr,
                                    nullptr, nullptr);
       IDirectDraw* directDraw = nullptr;
       IDirectDrawSurface* primary = nullptr;
       DDSURFACEDESC desc{};
       desc.dwSize = sizeof desc;
       desc.dwFlags = DDSD_CAPS;
       desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
       if (DirectDrawCreate(nullptr, &directDraw, nullptr) != DD_OK ||
           directDraw->SetCooperativeLevel(other, DDSCL_NORMAL) != DD_OK ||
           directDraw->CreateSurface(&desc, &primary, nullptr) != DD_OK) {
         std::exit(99);
       }
     },
     "CreateSurface failed\\.\n"},
};

class StartUpFailureDeathTest : public ::testing::TestWithParam<StartUpFailure> {};

TEST_P(StartUpFailureDeathTest, ReportsTheStepAndEndsTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const StartUpFailure& failure = GetParam();
  EXPECT_EXIT(
      {
        failure.arrange();
        std::exit(WinMain(nullptr, nullptr, nullptr, 0));
      },
      ::testing::ExitedWithCode(1), failure.report);
}

INSTANTIATE_TEST_SUITE_P(Steps, StartUpFailureDeathTest, ::testing::ValuesIn(kFailures),
                         [](const ::testing::TestParamInfo<StartUpFailure>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
