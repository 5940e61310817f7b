#include "battle/core/log.h"

#include <cstdarg>
#include <cstdio>

namespace {

constexpr int kLineTextSize = 20000;

std::FILE* gLogStream = nullptr;

}  // namespace

void OpenLog(const char* fileName) {
  if (fileName == nullptr) {
    return;
  }
  gLogStream = std::fopen(fileName, "a");
  if (gLogStream == nullptr) {
    gLogStream = stderr;
  }
}

void LogPrintf(int level, const char* format, ...) {
  if (gLogStream == nullptr) {
    return;
  }
  char text[kLineTextSize];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  std::fprintf(gLogStream, "%02d %s\n", level, text);
  std::fflush(gLogStream);
}

void CloseLog() {
  if (gLogStream != nullptr && gLogStream != stderr) {
    std::fclose(gLogStream);
  }
  gLogStream = nullptr;
}
