#include "battle/core/error_report.h"

#include <cstdio>

#include "common/mailbox.h"
#include "common/messages.h"

namespace {
constexpr std::size_t kReportSize = 100;
}  // namespace

std::string ErrorReportText(const char* module, int number, const char* message) {
  char text[kReportSize];
  if (message != nullptr) {
    std::snprintf(text, sizeof text, "%s:%d [%s]", module, number, message);
  } else {
    std::snprintf(text, sizeof text, "%s:%d ", module, number);
  }
  return text;
}

void PostErrorReport(std::uint32_t destination, const char* module, int number,
                     const char* message) {
  CMailbox sender;
  sender.SetAddress(kErrorReportSender);
  const std::string text = ErrorReportText(module, number, message);
  sender.Post(destination, MSG_CHAT_REPORT, static_cast<std::uint32_t>(text.size() + 1),
              text.c_str());
}
