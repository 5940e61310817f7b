#include "battle/main/login.h"

#include <cstdint>
#include <string>

#include "base/byte_reader.h"
#include "battle/core/game_params.h"
#include "battle/main/game_session.h"
#include "common/messages.h"
#include "host/interface/host_record.h"
#include "platform/kernel/clock.h"

namespace {

constexpr DWORD kLoginWait = 16000;
constexpr std::uint32_t kParamWords = GAME_PARAM_COUNT;

// Wrap-safe: true once the clock has passed the deadline.
bool IsPast(DWORD deadline) { return static_cast<std::int32_t>(timeGetTime() - deadline) > 0; }

// One pass of either wait: false when the wait must fail; otherwise the session's next message
// (null when none is there, after waiting for a post, the connection's end or the deadline).
bool TakeMessage(CNetSocket& net, DWORD deadline, MailboxMessagePtr& message,
                 std::uint32_t& length) {
  net.Poll();
  if (IsPast(deadline) || !net.IsConnected()) {
    return false;
  }
  message = gGameSession.Receive(length);
  if (message == nullptr) {
    // Until just past the deadline, which IsPast then sees.
    gGameSession.WaitForMessage(deadline - timeGetTime() + 1);
  }
  return true;
}

bool WaitForConnected(CNetSocket& net, DWORD deadline) {
  MailboxMessagePtr message;
  std::uint32_t length = 0;
  while (TakeMessage(net, deadline, message, length)) {
    if (message != nullptr && message->type == MSG_CONNECTED) {
      return true;
    }
  }
  return false;
}

bool WaitForParameters(CNetSocket& net, DWORD deadline) {
  std::uint32_t paramCount = 0;
  bool recordSeen = false;
  while (!recordSeen || paramCount < kParamWords) {
    MailboxMessagePtr message;
    std::uint32_t length = 0;
    if (!TakeMessage(net, deadline, message, length)) {
      return false;
    }
    if (message == nullptr) {
      continue;
    }
    switch (message->type) {
      case MSG_LOGOUT:
        return false;
      case MSG_PARAM_TABLE: {
        // Whole words only; a trailing part word is ignored.
        arena::ByteReader words(message->Bytes());
        while (words.remaining() >= 4 && paramCount < kParamWords) {
          GameParamTable[paramCount++].SetConfirmed(words.U32());
        }
        break;
      }
      case GLOBAL_PARAMS_PASS:
        // The login takes the record at its exact size only.
        if (length != GLOBAL_PARAMS_SIZE || !gGameSession.ApplyGlobalParams(message->Bytes())) {
          return false;
        }
        recordSeen = true;
        break;
      default:
        break;
    }
  }
  return true;
}

}  // namespace

int LoginToServer(const LoginBlock* block) {
  CNetSocket& net = gGameSession.netSocket;
  const DWORD deadline = timeGetTime() + kLoginWait;
  const std::string host(FieldText(block->serverHost));
  if (net.Open(host.c_str(), block->serverPort) == 0) {
    return 1;
  }
  if (!WaitForConnected(net, deadline)) {
    net.Close();
    return 1;
  }
  const std::string login(FieldText(block->loginText));
  gGameSession.Post(kNetworkAddress, MSG_LOGIN, static_cast<std::uint32_t>(login.size() + 1),
                    login.c_str());
  if (!WaitForParameters(net, timeGetTime() + kLoginWait)) {
    net.Close();
    return 1;
  }
  return 0;
}
