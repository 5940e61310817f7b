#include "host/win_main.h"
#include "platform/window/window.h"

// The running program's own module is the null module on this platform (as for
// GetModuleFileNameA), and the host takes no command line.
int main() {
  char commandLine[] = "";
  return WinMain(nullptr, nullptr, commandLine, SW_SHOW);
}
