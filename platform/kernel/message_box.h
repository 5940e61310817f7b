// Message boxes: each box is written to standard error as "caption: text" and kept in a record
// that tests read. Headless it is answered at once with OK; a box whose owner is a dialog shown
// in a window is shown there too and answered when its OK is clicked (platform/dialog).
#pragma once

#include <string>
#include <vector>

#include "platform/kernel/types.h"

inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_ICONERROR = 0x10;
inline constexpr UINT MB_ICONEXCLAMATION = 0x30;
inline constexpr UINT MB_TASKMODAL = 0x2000;
inline constexpr UINT MB_SETFOREGROUND = 0x10000;
inline constexpr int IDOK = 1;

int MessageBoxA(void* owner, LPCSTR text, LPCSTR caption, UINT type);

namespace platform {

struct ShownMessageBox {
  std::string caption;
  std::string text;
  UINT type;
};

// Whether boxes are also written to standard error (the default). Fuzz targets turn it off:
// their inputs raise parser boxes by the million, and the record alone is enough there.
void SetMessageBoxEcho(bool echo);

// Shows a recorded box in its owner's window and waits for its answer; the dialog service
// installs one. A box without an owner, or while none is installed, is answered with OK.
using MessageBoxPresenter = int (*)(void* owner, const std::string& caption,
                                    const std::string& text);
void SetMessageBoxPresenter(MessageBoxPresenter presenter);

// Every box shown since the start or the last clearing, oldest first.
std::vector<ShownMessageBox> ShownMessageBoxes();
void ClearShownMessageBoxes();

}  // namespace platform
