#include "battle/main/error_report.h"

#include <cstdio>
#include <cstring>

#include "common/mailbox.h"
#include "common/messages.h"

namespace {
constexpr std::size_t kReportSize = 100;
}  // namespace

void PostErrorReport(std::uint32_t destination, const char* module, int number,
                     const char* message) {
  CMailbox sender;
  sender.SetAddress(kErrorReportSender);
  char text[kReportSize];
  if (message != nullptr) {
    std::snprintf(text, sizeof text, "%s:%d [%s]", module, number, message);
  } else {
    std::snprintf(text, sizeof text, "%s:%d ", module, number);
  }
  sender.Post(destination, MSG_CHAT_REPORT, static_cast<std::uint32_t>(std::strlen(text) + 1),
              text);
}
