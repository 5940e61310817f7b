// The player's chat line: opened by a key, typed into character by character (or by a chat
// macro), sent to the server with Enter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "battle/arena/chat_macros.h"

class CMailbox;

class CChatLine {
 public:
  // Lines are posted from `tankMailbox`; a line holds at most 80 characters less the name's.
  CChatLine(CMailbox& tankMailbox, std::size_t nameLength);

  // An empty line to everybody or to the own team.
  void Open(bool teamChat);
  bool IsOpen() const { return length_ >= 0; }
  // -1 while closed, else the number of characters typed.
  int Length() const { return length_; }
  const std::string& Text() const { return text_; }
  bool TeamChat() const { return teamChat_; }
  // Set by every change; the cockpit clears it when it has drawn the line.
  bool Dirty() const { return dirty_; }
  void ClearDirty() { dirty_ = false; }

  // Edits the open line with one character: Backspace, Enter (sends), Esc (closes), Tab and
  // line feed ignored, anything else typed. Returns the command "none" (0x1001).
  std::int32_t ChatLineKey(int character);
  // Types macro n (0-7) into the open line.
  void PlayChatMacro(const ChatMacros& macros, int n);

 private:
  void Send();
  void Close();

  CMailbox& mailbox_;
  std::size_t nameLength_;
  int length_ = -1;
  std::string text_;
  bool teamChat_ = false;
  bool dirty_ = false;
};
