#include "battle/arena/chat_macros.h"

#include <cstdio>
#include <memory>

ChatMacros LoadChatMacros(const char* fileName) {
  ChatMacros macros;
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(fileName, "r"),
                                                             std::fclose);
  if (!file) {
    return macros;
  }
  for (std::string& macro : macros) {
    char line[kChatMacroLength + 1];
    if (std::fgets(line, sizeof line, file.get()) == nullptr) {
      break;
    }
    macro = line;
    if (!macro.empty() && macro.back() == '\n') {
      macro.pop_back();
    }
    // Read as text on Windows, a CR LF file never showed its CR, which the chat line would take
    // for Enter and send the line.
    if (!macro.empty() && macro.back() == '\r') {
      macro.pop_back();
    }
  }
  return macros;
}
