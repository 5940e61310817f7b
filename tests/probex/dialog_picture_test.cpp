#include <gtest/gtest.h>

#include <string>

#include "platform/backend/display_backend.h"
#include "platform/system_library/system_library.h"
#include "tests/probex/probex_fixture.h"
#include "tests/support/reference_picture.h"

namespace probex_test {
namespace {

using DialogPicture = ProbexTest;

// The dialog of a machine with two problems and fixed library paths, as the window shows it.
TEST_F(DialogPicture, MatchesItsReferencePicture) {
  facts_.diskFreeClusters = 1000;
  const platform::ScopedSystemLibraries libraries({
      {"DDraw.dll", {3, 0, 0, 1}, {}},
      {"DSound.dll", {4, 5, 0, 0}, {}},
      {"DInput.dll", {4, 3, 0, 0}, {}},
      {"wsock32.dll", {1, 1, 0, 0}, {}},
  });
  Open();
  // The paths depend on the build folder: the picture shows fixed ones.
  SetDlgItemTextA(dialog_, kDirectDrawText, "C:\\WINDOWS\\SYSTEM\\DDraw.dll \r\nVersion (3.0.0.1)");
  SetDlgItemTextA(dialog_, kDirectSoundText,
                  "C:\\WINDOWS\\SYSTEM\\DSound.dll \r\nVersion (4.5.0.0)");
  SetDlgItemTextA(dialog_, kDirectInputText,
                  "C:\\WINDOWS\\SYSTEM\\DInput.dll \r\nVersion (4.3.0.0)");
  SetDlgItemTextA(dialog_, kWinsockText, "C:\\WINDOWS\\SYSTEM\\wsock32.dll\r\nTest sockets");
  SetDlgItemTextA(dialog_, kPingResultText, "42ms");
  const platform::Frame frame = platform::DrawDialog(dialog_);
  EXPECT_EQ(frame.width, 786);
  EXPECT_EQ(frame.height, 548);
  EXPECT_EQ(test_support::CompareFrameWithReferencePicture(
                std::string(PROBEX_REFERENCE_FOLDER) + "/system_check_dialog.png", frame),
            "");
}

}  // namespace
}  // namespace probex_test
