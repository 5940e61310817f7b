// Window classes and the system icons.
#pragma once

#include "platform/kernel/module.h"
#include "platform/kernel/types.h"
#include "platform/window/handles.h"

struct WNDCLASSA {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
};

// The system application icon's resource number, passed as a name.
inline LPCSTR const IDI_APPLICATION = reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(32512));

// Class names ignore letter case. 0 when the name is taken, missing, or the class has no
// procedure; otherwise the class's number.
ATOM RegisterClassA(const WNDCLASSA* windowClass);
// The system's application icon for a null module and IDI_APPLICATION; else a program's icon
// registered under that number (platform/dialog/dialog_resources.h), or null.
HICON LoadIconA(HINSTANCE instance, LPCSTR name);

namespace platform {

// The procedure registered for the class name, or null.
WNDPROC FindClassProcedure(const char* className);
// Forgets every class (tests).
void UnregisterAllClasses();

}  // namespace platform
