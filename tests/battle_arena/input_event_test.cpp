#include "battle/arena/input_event.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/byte_reader.h"
#include "common/mailbox.h"
#include "common/messages.h"

namespace {

TEST(InputEventTest, APostedEventIsFortyEightBytesWithTheUnusedWordsZero) {
  CMailbox input(kPlayerInputAddress);
  CMailbox tank(KIND_TANK | 1);
  PostWindowInputEvent(tank, kMouseRightDown, 0x0002, 320, 200);
  std::uint32_t length = 0;
  const MailboxMessagePtr message = input.Receive(length);
  ASSERT_NE(message, nullptr);
  EXPECT_EQ(message->type, MSG_INPUT_EVENT);
  EXPECT_EQ(message->sender, KIND_TANK | 1);
  ASSERT_EQ(length, kInputEventBytes);
  arena::ByteReader reader(message->Bytes());
  std::vector<std::uint32_t> words;
  for (int i = 0; i < 12; ++i) {
    words.push_back(reader.U32());
  }
  EXPECT_EQ(words, (std::vector<std::uint32_t>{5, 2, 2, 320, 200, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(ReadInputEvent(message->Bytes()),
            (InputEvent{kInputMouse, 2, kMouseRightDown, 320, 200}));
}

TEST(InputEventTest, WordsPastAShortPayloadReadAsZero) {
  const std::uint8_t payload[] = {6, 0, 0, 0, 0x37, 0x10, 0, 0};
  EXPECT_EQ(ReadInputEvent(payload), (InputEvent{kInputCommand, 0x1037}));
}

}  // namespace
