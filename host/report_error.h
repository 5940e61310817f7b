// The host's only means of reporting: a formatted line on the debugger output.
#pragma once

#include "host/interface/host_record.h"

// Formats like printf into 512 bytes (longer reports are cut) and writes the result with
// OutputDebugStringA. The record is not used.
void ReportError(HostRecord* record, const char* format, ...) __attribute__((format(printf, 2, 3)));
