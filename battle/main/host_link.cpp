#include "battle/main/host_link.h"

HostRecord* gHostRecord = nullptr;
HWND gGameWindow = nullptr;
