// Opening and closing the keyboard of the host record: the host program's own, never a library's.
// Both reach the module, the window and the DirectInput object through the process's one record,
// gHostRecord.
#pragma once

#include "host/interface/host_record.h"

// True when the keyboard is acquired and ready to be read.
bool OpenKeyboardDevice(KeyboardDevice& keyboard);
// Safe on a closed device and safe twice.
void CloseKeyboardDevice(KeyboardDevice& keyboard);
