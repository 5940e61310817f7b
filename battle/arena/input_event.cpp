#include "battle/arena/input_event.h"

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "common/mailbox.h"
#include "common/messages.h"

void PostInputEvent(CMailbox& from, const InputEvent& event) {
  arena::ByteWriter writer;
  writer.U32(event.kind);
  writer.U32(event.value);
  writer.U32(event.mouseCode);
  writer.U32(event.x);
  writer.U32(event.y);
  writer.Zeros(kInputEventBytes - writer.size());
  from.Post(kPlayerInputAddress, MSG_INPUT_EVENT, kInputEventBytes, writer.bytes().data());
}

InputEvent ReadInputEvent(std::span<const std::uint8_t> payload) {
  arena::ByteReader reader(payload);
  InputEvent event;
  event.kind = reader.U32();
  event.value = reader.U32();
  event.mouseCode = reader.U32();
  event.x = reader.U32();
  event.y = reader.U32();
  return event;
}

void PostWindowInputEvent(CMailbox& tankMailbox, std::uint32_t mouseCode, std::uint32_t wParam,
                          std::uint32_t x, std::uint32_t y) {
  PostInputEvent(tankMailbox, {kInputMouse, wParam, mouseCode, x, y});
}
