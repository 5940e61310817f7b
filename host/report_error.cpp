#include "host/report_error.h"

#include <cstdarg>
#include <cstdio>

#include "platform/kernel/debug_output.h"

void ReportError(HostRecord* /*record*/, const char* format, ...) {
  char text[512];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  OutputDebugStringA(text);
}
