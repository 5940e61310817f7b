// A program's dialog templates and icons, which the original platform read from the program's
// resources: the program registers them by number before it runs its dialogs, and
// DialogBoxParamA and LoadIconA find them by that number (MAKEINTRESOURCEA).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/kernel/types.h"
#include "platform/window/handles.h"

// A resource number passed where a name is expected.
inline LPCSTR MAKEINTRESOURCEA(int id) {
  return reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(static_cast<WORD>(id)));
}

namespace platform {

enum class DialogControlKind {
  kLabel,
  kGroupBox,
  kIcon,
  kEdit,
  // An edit box that wraps its text over several lines; kReport has a vertical scroll bar too.
  kMultiLineEdit,
  kReport,
  kButton,
  kDefaultButton,
};

// Place and size in dialog units; 2 pixels each way.
struct DialogControlTemplate {
  int id;  // -1 for controls the program never addresses
  DialogControlKind kind;
  const char* text;
  int x;
  int y;
  int width;
  int height;
};

struct DialogTemplate {
  const char* caption;
  int width;
  int height;
  std::span<const DialogControlTemplate> controls;
};

inline constexpr int kPixelsPerDialogUnit = 2;

// An icon's picture: RGB565 pixels row by row from the top, and which of them are drawn.
struct IconImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint16_t> pixels;
  std::vector<bool> opaque;
};

// The template must outlive every dialog made from it.
void RegisterDialogTemplate(int id, const DialogTemplate& dialog);
// The template of that number (MAKEINTRESOURCEA), or null.
const DialogTemplate* FindDialogTemplate(LPCSTR name);
void RegisterIconImage(int id, IconImage image);
// The resource number and picture of an icon that LoadIconA gave; false for any other handle.
bool DescribeIcon(HICON icon, int& id, IconImage* image);
// Forgets every registered template and icon picture (tests).
void ClearDialogResources();

}  // namespace platform

// The registered icon of that number (MAKEINTRESOURCEA) as a new icon handle, or null. The
// module is not looked at: a program's resources are all registered in one place.
HICON LoadRegisteredIcon(LPCSTR name);
// Ends an icon that LoadIconA gave; FALSE for any other handle.
BOOL DestroyIcon(HICON icon);
