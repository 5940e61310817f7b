// A post whose allocation fails loses that one message and nothing else.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/mailbox.h"
#include "common/messages.h"
#include "tests/support/failing_memory.h"

namespace {

constexpr std::uint32_t kSender = KIND_TANK | 1;
constexpr std::uint32_t kReceiver = KIND_TANK | 2;

std::vector<std::uint32_t> DrainWords(CMailbox& mailbox) {
  std::vector<std::uint32_t> words;
  std::uint32_t length = 0;
  while (MailboxMessagePtr message = mailbox.Receive(length)) {
    std::uint32_t word = 0;
    std::memcpy(&word, message->Payload(), sizeof word);
    words.push_back(word);
  }
  return words;
}

// A post takes one allocation: the message block, which is also its place in the queue.
TEST(MailboxAllocationFailure, DropsOnlyTheMessageBeingPosted) {
  CMailbox sender(kSender);
  CMailbox receiver(kReceiver);
  for (std::uint32_t word : {1u, 2u}) {
    sender.Post(kReceiver, MSG_TANK_STATE, sizeof word, &word);
  }
  {
    test_support::FailingMemory failing(0);
    const std::uint32_t lost = 3;
    sender.Post(kReceiver, MSG_TANK_STATE, sizeof lost, &lost);
    EXPECT_EQ(failing.Refused(), 1) << "no allocation failed";
  }
  EXPECT_EQ(receiver.Count(), 2u);

  const std::uint32_t next = 4;
  sender.Post(kReceiver, MSG_TANK_STATE, sizeof next, &next);
  EXPECT_EQ(receiver.Count(), 3u);
  EXPECT_EQ(DrainWords(receiver), (std::vector<std::uint32_t>{1, 2, 4}));
}

// A full queue keeps its backlog when the message that would flush it cannot be allocated.
TEST(MailboxAllocationFailure, FullQueueIsKeptWhenTheNextMessageFails) {
  CMailbox receiver(kReceiver);
  for (std::uint32_t word = 0; word < 200; ++word) {
    CMailbox::PostAnonymous(kReceiver, MSG_TANK_STATE, sizeof word, &word);
  }
  {
    test_support::FailingMemory failing(0);
    const std::uint32_t lost = 200;
    CMailbox::PostAnonymous(kReceiver, MSG_TANK_STATE, sizeof lost, &lost);
    EXPECT_EQ(failing.Refused(), 1) << "no allocation failed";
  }
  EXPECT_EQ(receiver.Count(), 200u);
  EXPECT_EQ(DrainWords(receiver).size(), 200u);
}

}  // namespace
