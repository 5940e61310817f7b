// Short error reports ("MODULE:step [message]") posted as chat-report messages.
#pragma once

#include <cstdint>
#include <string>

// "%s:%d [%s]", or "%s:%d " without a message, cut to 99 characters as the report's buffer is.
std::string ErrorReportText(const char* module, int number, const char* message);

// Posts the report's text with its NUL as MSG_CHAT_REPORT to the destination, from a temporary
// mailbox at the error-report sender address.
void PostErrorReport(std::uint32_t destination, const char* module, int number,
                     const char* message);
