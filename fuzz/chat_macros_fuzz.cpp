// "macro.dat": any bytes are loaded and every macro is typed into an open chat line; no macro is
// longer than a line of the file may be and none keeps its line end; a line sent by a CR in it
// ends with its NUL.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "battle/arena/chat_line.h"
#include "battle/arena/chat_macros.h"
#include "common/mailbox.h"
#include "common/messages.h"
#include "fuzz/fuzz_input_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ChatMacros macros = LoadChatMacros(fuzz_input::WriteInputFile(nullptr, 0, data, size));
  CMailbox network(kNetworkAddress);
  CMailbox tank(KIND_TANK | 1);
  CChatLine line(tank, 8);
  for (std::size_t n = 0; n < macros.size(); ++n) {
    const std::string& macro = macros[n];
    if (macro.size() > kChatMacroLength || macro.ends_with('\n')) {
      std::abort();
    }
    line.Open(n % 2 == 1);
    line.PlayChatMacro(macros, static_cast<int>(n));
    if (line.Length() > 72) {
      std::abort();
    }
  }
  std::uint32_t length = 0;
  while (const MailboxMessagePtr message = network.Receive(length)) {
    if (length == 0 || message->Payload()[length - 1] != 0) {
      std::abort();
    }
  }
  return 0;
}
