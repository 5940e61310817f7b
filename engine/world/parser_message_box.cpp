#include "engine/world/parser_message_box.h"

#include "platform/kernel/message_box.h"

std::int32_t parMessageBox(std::uintptr_t, const char* text) {
  MessageBoxA(nullptr, text, "World File Parser", MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
  return PAR_MESSAGE_SHOWN;
}
