#include "platform/window/window_class.h"

#include <cctype>
#include <map>
#include <mutex>
#include <string>

#include "platform/dialog/dialog_resources.h"

namespace {

struct ClassTable {
  std::mutex mutex;
  // By lower-case name.
  std::map<std::string, WNDPROC> procedures;
  ATOM nextAtom = 0xC000;
};

ClassTable& Classes() {
  static ClassTable table;
  return table;
}

std::string LowerCase(const char* name) {
  std::string lower(name);
  for (char& c : lower) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return lower;
}

// The application icon is a fixed object that no module owns.
int gApplicationIcon;

}  // namespace

ATOM RegisterClassA(const WNDCLASSA* windowClass) {
  if (windowClass == nullptr || windowClass->lpszClassName == nullptr ||
      windowClass->lpfnWndProc == nullptr) {
    return 0;
  }
  ClassTable& table = Classes();
  std::lock_guard lock(table.mutex);
  if (!table.procedures.emplace(LowerCase(windowClass->lpszClassName), windowClass->lpfnWndProc)
           .second) {
    return 0;
  }
  return table.nextAtom++;
}

HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
  if (instance == nullptr && name == IDI_APPLICATION) {
    return &gApplicationIcon;
  }
  return LoadRegisteredIcon(name);
}

namespace platform {

WNDPROC FindClassProcedure(const char* className) {
  if (className == nullptr) {
    return nullptr;
  }
  ClassTable& table = Classes();
  std::lock_guard lock(table.mutex);
  const auto found = table.procedures.find(LowerCase(className));
  return found != table.procedures.end() ? found->second : nullptr;
}

void UnregisterAllClasses() {
  ClassTable& table = Classes();
  std::lock_guard lock(table.mutex);
  table.procedures.clear();
}

}  // namespace platform
