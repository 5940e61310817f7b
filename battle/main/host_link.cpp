// The host record lent to dll_main, where the session's view commands find the screen settings.
#include "battle/main/dll_main.h"

HostRecord* gHostRecord = nullptr;
