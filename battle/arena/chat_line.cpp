#include "battle/arena/chat_line.h"

#include <cstdint>

#include "battle/arena/key_binding.h"
#include "common/mailbox.h"
#include "common/messages.h"

namespace {

// A line and the player's name fit the server's 80 characters.
constexpr std::int64_t kLineAndNameLength = 80;

}  // namespace

CChatLine::CChatLine(CMailbox& tankMailbox, std::size_t nameLength)
    : mailbox_(tankMailbox), nameLength_(nameLength) {}

void CChatLine::Open(bool teamChat) {
  teamChat_ = teamChat;
  length_ = 0;
  text_.clear();
  dirty_ = true;
}

void CChatLine::Close() {
  length_ = -1;
  text_.clear();
  dirty_ = true;
}

void CChatLine::Send() {
  std::uint32_t type = teamChat_ ? MSG_CHAT_TEAM : MSG_CHAT;
  if (text_.starts_with('/')) {
    type = MSG_CHAT_COMMAND;
  } else if (text_.starts_with('%')) {
    type = MSG_CHAT_REPORT;
  }
  // With its terminating NUL.
  mailbox_.Post(kNetworkAddress, type, static_cast<std::uint32_t>(text_.size() + 1), text_.c_str());
}

std::int32_t CChatLine::ChatLineKey(int character) {
  if (!IsOpen()) {
    return kNoCommand;
  }
  switch (character) {
    case '\b':
      --length_;
      if (!text_.empty()) {
        text_.pop_back();
      }
      dirty_ = true;
      if (length_ < 0) {
        Close();
      }
      break;
    case '\t':
    case '\n':
      break;
    case '\r':
      if (length_ > 0) {
        Send();
      }
      Close();
      break;
    case 0x1B:
      Close();
      break;
    default:
      if (length_ < kLineAndNameLength - static_cast<std::int64_t>(nameLength_)) {
        text_.push_back(static_cast<char>(character));
        ++length_;
        dirty_ = true;
      }
      break;
  }
  return kNoCommand;
}

void CChatLine::PlayChatMacro(const ChatMacros& macros, int n) {
  if (n < 0 || n >= static_cast<int>(macros.size()) || !IsOpen()) {
    return;
  }
  for (const char character : macros[static_cast<std::size_t>(n)]) {
    ChatLineKey(character);
  }
}
