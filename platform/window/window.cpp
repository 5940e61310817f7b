#include "platform/window/window.h"

#include <map>
#include <mutex>
#include <string>

#include "platform/backend/display_backend.h"
#include "platform/window/message_queue.h"
#include "platform/window/messages.h"
#include "platform/window/window_class.h"

namespace {

struct WindowRecord {
  std::string title;
  WNDPROC procedure;
  std::thread::id thread;
  platform::WindowState state;
  bool destroying = false;
};

struct WindowTable {
  std::mutex mutex;
  std::map<std::uintptr_t, WindowRecord> windows;
  // Handles are never reused, so a stale handle names no window.
  std::uintptr_t nextHandle = 0x100;
  bool focused = true;
  HWND active = nullptr;
  // The window that becomes active again when the application gets the focus back.
  HWND foreground = nullptr;
  HWND shown = nullptr;
  DWORD activeChanges = 0;
};

WindowTable& Windows() {
  static WindowTable table;
  return table;
}

std::uintptr_t KeyOf(HWND window) { return reinterpret_cast<std::uintptr_t>(window); }

WindowRecord* Find(WindowTable& table, HWND window) {
  const auto found = table.windows.find(KeyOf(window));
  return found != table.windows.end() && !found->second.destroying ? &found->second : nullptr;
}

void SetActive(WindowTable& table, HWND window) {
  if (table.active != window) {
    table.active = window;
    ++table.activeChanges;
  }
}

}  // namespace

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND /*parent*/, HMENU /*menu*/, HINSTANCE /*instance*/,
                     LPVOID /*parameter*/) {
  const WNDPROC procedure = platform::FindClassProcedure(className);
  if (procedure == nullptr) {
    return nullptr;
  }
  HWND window;
  {
    WindowTable& table = Windows();
    std::lock_guard lock(table.mutex);
    window = reinterpret_cast<HWND>(table.nextHandle++);
    WindowRecord record{windowName != nullptr ? windowName : "",
                        procedure,
                        std::this_thread::get_id(),
                        {style & ~WS_VISIBLE, exStyle, x, y, width, height, false}};
    table.windows.emplace(KeyOf(window), std::move(record));
  }
  if (SendMessageA(window, WM_CREATE, 0, 0) == -1) {
    DestroyWindow(window);
    return nullptr;
  }
  if ((style & WS_VISIBLE) != 0) {
    ShowWindow(window, SW_SHOW);
  }
  return window;
}

BOOL DestroyWindow(HWND window) {
  WNDPROC procedure;
  {
    WindowTable& table = Windows();
    std::lock_guard lock(table.mutex);
    WindowRecord* record = Find(table, window);
    if (record == nullptr) {
      return FALSE;
    }
    // From here on the window takes no more calls, also from its own WM_DESTROY handler.
    record->destroying = true;
    procedure = record->procedure;
  }
  procedure(window, WM_DESTROY, 0, 0);
  bool wasShown;
  {
    WindowTable& table = Windows();
    std::lock_guard lock(table.mutex);
    table.windows.erase(KeyOf(window));
    if (table.active == window) {
      SetActive(table, nullptr);
    }
    if (table.foreground == window) {
      table.foreground = nullptr;
    }
    wasShown = table.shown == window;
    if (wasShown) {
      table.shown = nullptr;
    }
  }
  platform::DropQueuedMessages(window);
  if (wasShown) {
    platform::GetDisplayBackend().HideWindow();
  }
  return TRUE;
}

LONG_PTR SetWindowLongA(HWND window, int index, LONG_PTR value) {
  WindowTable& table = Windows();
  std::lock_guard lock(table.mutex);
  WindowRecord* record = Find(table, window);
  if (record == nullptr) {
    return 0;
  }
  if (index == GWL_WNDPROC) {
    if (value == 0) {
      return 0;
    }
    const WNDPROC previous = record->procedure;
    record->procedure = reinterpret_cast<WNDPROC>(value);
    return reinterpret_cast<LONG_PTR>(previous);
  }
  if (index == GWL_STYLE) {
    const DWORD previous = record->state.style;
    record->state.style = static_cast<DWORD>(value);
    return previous;
  }
  return 0;
}

HWND GetActiveWindow() {
  WindowTable& table = Windows();
  std::lock_guard lock(table.mutex);
  return table.active;
}

BOOL ShowWindow(HWND window, int command) {
  bool wasVisible;
  bool hide = false;
  bool present = false;
  std::string title;
  int width = 0;
  int height = 0;
  {
    WindowTable& table = Windows();
    std::lock_guard lock(table.mutex);
    WindowRecord* record = Find(table, window);
    if (record == nullptr) {
      return FALSE;
    }
    wasVisible = record->state.visible;
    if (command == SW_HIDE) {
      record->state.visible = false;
      record->state.style &= ~WS_VISIBLE;
      hide = table.shown == window;
      if (hide) {
        table.shown = nullptr;
      }
    } else {
      record->state.visible = true;
      record->state.style |= WS_VISIBLE;
      present = table.shown != window;
      table.shown = window;
      table.foreground = window;
      if (table.focused) {
        SetActive(table, window);
      }
      title = record->title;
      width = record->state.width;
      height = record->state.height;
    }
  }
  if (hide) {
    platform::GetDisplayBackend().HideWindow();
  }
  if (present) {
    platform::GetDisplayBackend().ShowWindow(title, width, height);
  }
  return wasVisible ? TRUE : FALSE;
}

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
  bool resizeShown;
  std::string title;
  {
    WindowTable& table = Windows();
    std::lock_guard lock(table.mutex);
    WindowRecord* record = Find(table, window);
    if (record == nullptr) {
      return FALSE;
    }
    if (insertAfter == HWND_TOPMOST) {
      record->state.exStyle |= WS_EX_TOPMOST;
    } else if (insertAfter == HWND_NOTOPMOST) {
      record->state.exStyle &= ~WS_EX_TOPMOST;
    }
    if ((flags & SWP_NOMOVE) == 0) {
      record->state.x = x;
      record->state.y = y;
    }
    resizeShown = (flags & SWP_NOSIZE) == 0 && table.shown == window;
    if ((flags & SWP_NOSIZE) == 0) {
      record->state.width = width;
      record->state.height = height;
    }
    title = record->title;
  }
  if (resizeShown) {
    platform::GetDisplayBackend().ShowWindow(title, width, height);
  }
  return TRUE;
}

namespace platform {

bool GetWindowState(HWND window, WindowState& state) {
  WindowTable& table = Windows();
  std::lock_guard lock(table.mutex);
  const WindowRecord* record = Find(table, window);
  if (record == nullptr) {
    return false;
  }
  state = record->state;
  return true;
}

bool GetWindowTarget(HWND window, WNDPROC& procedure, std::thread::id& thread) {
  WindowTable& table = Windows();
  std::lock_guard lock(table.mutex);
  const WindowRecord* record = Find(table, window);
  if (record == nullptr) {
    return false;
  }
  procedure = record->procedure;
  thread = record->thread;
  return true;
}

HWND GetShownWindow() {
  WindowTable& table = Windows();
  std::lock_guard lock(table.mutex);
  return table.shown;
}

void SetApplicationFocus(bool focused) {
  HWND window;
  {
    WindowTable& table = Windows();
    std::lock_guard lock(table.mutex);
    if (table.focused == focused) {
      return;
    }
    table.focused = focused;
    window = focused ? table.foreground : table.active;
    SetActive(table, focused ? table.foreground : nullptr);
  }
  if (window == nullptr) {
    return;
  }
  if (focused) {
    SendMessageA(window, WM_ACTIVATEAPP, TRUE, 0);
    SendMessageA(window, WM_ACTIVATE, WA_ACTIVE, 0);
    SendMessageA(window, WM_SETFOCUS, 0, 0);
  } else {
    SendMessageA(window, WM_ACTIVATE, WA_INACTIVE, 0);
    SendMessageA(window, WM_ACTIVATEAPP, FALSE, 0);
  }
}

DWORD GetActiveWindowChanges() {
  WindowTable& table = Windows();
  std::lock_guard lock(table.mutex);
  return table.activeChanges;
}

void ResetWindows() {
  bool hadShown;
  {
    WindowTable& table = Windows();
    std::lock_guard lock(table.mutex);
    for (const auto& [key, record] : table.windows) {
      DropQueuedMessages(reinterpret_cast<HWND>(key));
    }
    table.windows.clear();
    table.focused = true;
    SetActive(table, nullptr);
    table.foreground = nullptr;
    hadShown = table.shown != nullptr;
    table.shown = nullptr;
  }
  if (hadShown) {
    GetDisplayBackend().HideWindow();
  }
}

}  // namespace platform
