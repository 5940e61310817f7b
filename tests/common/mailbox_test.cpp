#include "common/mailbox.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "common/messages.h"
#include "platform/kernel/clock.h"

namespace {

constexpr std::uint32_t kTankA = KIND_TANK | 1;
constexpr std::uint32_t kTankB = KIND_TANK | 2;
constexpr std::uint32_t kTestType = MSG_TANK_STATE;

std::uint32_t WordOf(const MailboxMessage& message) {
  std::uint32_t word = 0;
  EXPECT_GE(message.length, sizeof word);
  std::memcpy(&word, message.Payload(), sizeof word);
  return word;
}

void PostWord(CMailbox& from, std::uint32_t destination, std::uint32_t word) {
  from.Post(destination, kTestType, sizeof word, &word);
}

// Receives everything queued and returns the payload words in the order received.
std::vector<std::uint32_t> DrainWords(CMailbox& mailbox) {
  std::vector<std::uint32_t> words;
  std::uint32_t length = 0;
  while (MailboxMessagePtr message = mailbox.Receive(length)) {
    words.push_back(WordOf(*message));
  }
  return words;
}

TEST(Mailbox, PostToUnknownAddressChangesNoQueue) {
  CMailbox a(kTankA);
  CMailbox b(kTankB);
  PostWord(a, kTankB, 1);
  PostWord(a, KIND_TANK | 3, 2);
  CMailbox::PostAnonymous(KIND_TANK | 3, kTestType, 0, nullptr);
  // Nobody bears the error sink's address: reports sent there vanish.
  a.Post(KIND_ERROR_SINK, MSG_CHAT_REPORT, 6, "WORLD");
  EXPECT_EQ(a.Count(), 0u);
  EXPECT_EQ(b.Count(), 1u);
  EXPECT_EQ(DrainWords(b), std::vector<std::uint32_t>{1});
}

TEST(Mailbox, ReceiveHandsOutSenderTypeAndPayloadCopy) {
  CMailbox sender(kTankA);
  CMailbox receiver(kTankB);
  std::array<std::uint8_t, 5> payload{1, 2, 3, 4, 5};
  sender.Post(kTankB, MSG_FIRE_FLARES, payload.size(), payload.data());
  payload.fill(0xEE);  // the queue holds its own copy

  std::uint32_t length = 99;
  MailboxMessagePtr message = receiver.Receive(length);
  ASSERT_NE(message, nullptr);
  EXPECT_EQ(length, 5u);
  EXPECT_EQ(message->length, 5u);
  EXPECT_EQ(message->sender, kTankA);
  EXPECT_EQ(message->type, MSG_FIRE_FLARES);
  const std::vector<std::uint8_t> bytes(message->Bytes().begin(), message->Bytes().end());
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(receiver.Receive(length), nullptr);
  EXPECT_EQ(length, 0u);
}

TEST(Mailbox, PayloadIsFollowedByFourZeroBytes) {
  CMailbox receiver(kTankB);
  for (std::uint32_t length : {0u, 1u, 5u, 36u}) {
    const std::vector<std::uint8_t> payload(length, 0xAB);
    CMailbox::PostAnonymous(kTankB, kTestType, length, payload.data());
    std::uint32_t received = 99;
    MailboxMessagePtr message = receiver.Receive(received);
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(received, length);
    EXPECT_EQ(message->sender, 0u);
    for (std::uint32_t i = 0; i < 4; ++i) {
      EXPECT_EQ(message->Payload()[length + i], 0) << "length " << length << " byte " << i;
    }
  }
}

TEST(Mailbox, EmptyPayloadCarriesSenderAndTypeOnly) {
  CMailbox sender(kSessionAddress);
  CMailbox network(kNetworkAddress);
  sender.Post(kNetworkAddress, MSG_SYNC_PING, 0, nullptr);
  std::uint32_t length = 99;
  MailboxMessagePtr message = network.Receive(length);
  ASSERT_NE(message, nullptr);
  EXPECT_EQ(length, 0u);
  EXPECT_TRUE(message->Bytes().empty());
  EXPECT_EQ(message->sender, kSessionAddress);
  EXPECT_EQ(message->type, MSG_SYNC_PING);
}

TEST(Mailbox, MessagesArriveInPostOrder) {
  CMailbox sender(kTankA);
  CMailbox receiver(kTankB);
  std::vector<std::uint32_t> expected;
  for (std::uint32_t i = 0; i < 50; ++i) {
    PostWord(sender, kTankB, i * 7);
    expected.push_back(i * 7);
  }
  EXPECT_EQ(receiver.Count(), 50u);
  EXPECT_EQ(DrainWords(receiver), expected);
  EXPECT_EQ(receiver.Count(), 0u);
}

struct FloodCase {
  const char* name;
  bool anonymous;
  std::uint32_t limit;
};

class MailboxFlood : public testing::TestWithParam<FloodCase> {};

TEST_P(MailboxFlood, FullQueueIsEmptiedBeforeTheNextMessage) {
  const FloodCase& flood = GetParam();
  CMailbox sender(kTankA);
  CMailbox receiver(kTankB);
  auto post = [&](std::uint32_t word) {
    if (flood.anonymous) {
      CMailbox::PostAnonymous(kTankB, kTestType, sizeof word, &word);
    } else {
      PostWord(sender, kTankB, word);
    }
  };
  for (std::uint32_t i = 0; i < flood.limit; ++i) {
    post(i);
  }
  EXPECT_EQ(receiver.Count(), flood.limit);
  post(flood.limit);
  EXPECT_EQ(receiver.Count(), 1u);
  EXPECT_EQ(DrainWords(receiver), std::vector<std::uint32_t>{flood.limit});
  EXPECT_EQ(receiver.Count(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Limits, MailboxFlood,
                         testing::Values(FloodCase{"Post", false, 300},
                                         FloodCase{"PostAnonymous", true, 200}),
                         [](const testing::TestParamInfo<FloodCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(Mailbox, AnonymousPostOntoAQueueBetweenItsLimitsKeepsTheBacklog) {
  CMailbox sender(kTankA);
  CMailbox receiver(kTankB);
  for (std::uint32_t queued : {201u, 250u, 299u}) {
    SCOPED_TRACE(queued);
    for (std::uint32_t i = 0; i < queued; ++i) {
      PostWord(sender, kTankB, i);
    }
    const std::uint32_t word = 7777;
    CMailbox::PostAnonymous(kTankB, kTestType, sizeof word, &word);
    EXPECT_EQ(receiver.Count(), queued + 1);
    const std::vector<std::uint32_t> words = DrainWords(receiver);
    ASSERT_EQ(words.size(), queued + 1);
    EXPECT_EQ(words.front(), 0u);
    EXPECT_EQ(words.back(), word);
  }
}

// Mend: anonymous posts can carry a queue past 300, where no post would find it at exactly its
// limit again; from 300 on every post flushes, so the queue stays bounded.
TEST(Mailbox, MendAQueueCarriedPastItsLimitIsFlushedByEveryPost) {
  CMailbox sender(kTankA);
  CMailbox receiver(kTankB);
  for (std::uint32_t i = 0; i < 299; ++i) {
    PostWord(sender, kTankB, i);
  }
  const std::uint32_t word = 1;
  CMailbox::PostAnonymous(kTankB, kTestType, sizeof word, &word);
  EXPECT_EQ(receiver.Count(), 300u);
  CMailbox::PostAnonymous(kTankB, kTestType, sizeof word, &word);
  EXPECT_EQ(receiver.Count(), 1u);
}

TEST(Mailbox, NoAddressMeansNothingToReceive) {
  CMailbox owner;  // owners set their address after construction
  CMailbox::PostAnonymous(0, kTestType, 4, "abc");
  std::uint32_t length = 99;
  EXPECT_EQ(owner.Receive(length), nullptr);
  EXPECT_EQ(length, 0u);
  EXPECT_EQ(owner.Count(), 1u);

  owner.SetAddress(kTankA);
  MailboxMessagePtr message = owner.Receive(length);
  ASSERT_NE(message, nullptr);
  EXPECT_STREQ(reinterpret_cast<const char*>(message->Payload()), "abc");
}

TEST(Mailbox, NewestOfSameAddressReceivesUntilDestroyed) {
  CMailbox older(KIND_SMOKE);
  auto newer = std::make_unique<CMailbox>(KIND_SMOKE);
  CMailbox unrelated(kTankA);
  PostWord(unrelated, KIND_SMOKE, 1);
  PostWord(unrelated, KIND_SMOKE, 2);
  EXPECT_EQ(older.Count(), 0u);
  EXPECT_EQ(newer->Count(), 2u);

  newer.reset();  // its queued messages go with it
  PostWord(unrelated, KIND_SMOKE, 3);
  EXPECT_EQ(DrainWords(older), std::vector<std::uint32_t>{3});
}

// Newest means built last, whenever the address was set: the look-up by address keeps the
// order of the list.
TEST(Mailbox, NewestBuiltWinsWhateverTheOrderOfSetAddress) {
  CMailbox older;
  CMailbox newer;
  CMailbox sender(kTankA);
  newer.SetAddress(KIND_SMOKE);
  older.SetAddress(KIND_SMOKE);
  PostWord(sender, KIND_SMOKE, 1);
  EXPECT_EQ(older.Count(), 0u);
  EXPECT_EQ(DrainWords(newer), std::vector<std::uint32_t>{1});

  newer.SetAddress(KIND_TANK | 9);  // moving away hands the address back to the older one
  PostWord(sender, KIND_SMOKE, 2);
  PostWord(sender, KIND_TANK | 9, 3);
  EXPECT_EQ(DrainWords(older), std::vector<std::uint32_t>{2});
  EXPECT_EQ(DrainWords(newer), std::vector<std::uint32_t>{3});
}

// Many live mailboxes, with addresses that share look-up buckets: each post reaches exactly its
// own destination, also after mailboxes around it are gone.
TEST(Mailbox, EveryOneOfManyMailboxesReceivesItsOwnPosts) {
  constexpr std::uint32_t kCount = 3000;
  CMailbox sender(kTankA);
  std::vector<std::unique_ptr<CMailbox>> boxes;
  for (std::uint32_t i = 0; i < kCount; ++i) {
    boxes.push_back(std::make_unique<CMailbox>(KIND_BULLET | i));
  }
  for (std::uint32_t i = 0; i < kCount; i += 2) {
    boxes[i].reset();
  }
  for (std::uint32_t i = 0; i < kCount; ++i) {
    PostWord(sender, KIND_BULLET | i, i);
  }
  for (std::uint32_t i = 1; i < kCount; i += 2) {
    ASSERT_EQ(DrainWords(*boxes[i]), std::vector<std::uint32_t>{i}) << i;
  }
}

TEST(Mailbox, LockLivesFromFirstMailboxToLast) {
  ASSERT_FALSE(CMailbox::IsLockAlive());
  // With no mailbox at all an anonymous post has nothing to lock.
  CMailbox::PostAnonymous(kTankA, kTestType, 0, nullptr);
  EXPECT_FALSE(CMailbox::IsLockAlive());

  auto first = std::make_unique<CMailbox>(kTankA);
  EXPECT_TRUE(CMailbox::IsLockAlive());
  auto second = std::make_unique<CMailbox>(kTankB);
  first.reset();
  EXPECT_TRUE(CMailbox::IsLockAlive());
  PostWord(*second, kTankB, 5);
  second.reset();
  EXPECT_FALSE(CMailbox::IsLockAlive());

  CMailbox again(kTankA);
  EXPECT_TRUE(CMailbox::IsLockAlive());
  PostWord(again, kTankA, 6);
  EXPECT_EQ(DrainWords(again), std::vector<std::uint32_t>{6});
}

TEST(Mailbox, PostTimeComesFromTheProcessClock) {
  platform::VirtualClock clock(5000);
  platform::ScopedProcessClock scope(clock);
  CMailbox sender(kTankA);
  CMailbox receiver(kTankB);
  PostWord(sender, kTankB, 1);
  clock.Advance(250);
  CMailbox::PostAnonymous(kTankB, kTestType, 0, nullptr);
  clock.Advance(1000);

  std::uint32_t length = 0;
  std::uint32_t postTime = 0;
  ASSERT_NE(receiver.ReceiveTimed(length, postTime), nullptr);
  EXPECT_EQ(postTime, 5000u);
  EXPECT_EQ(length, 4u);
  ASSERT_NE(receiver.ReceiveTimed(length, postTime), nullptr);
  EXPECT_EQ(postTime, 5250u);
  EXPECT_EQ(length, 0u);
}

// Two threads post to one mailbox while it is drained: each sender's messages arrive complete
// and in their order, and post times never go back.
TEST(Mailbox, ConcurrentPostersKeepEachSendersOrder) {
  constexpr std::uint32_t kPerSender = 20000;
  constexpr std::uint32_t kBelowFlood = 250;
  CMailbox receiver(kNetworkAddress);
  std::array<std::unique_ptr<CMailbox>, 2> senders{std::make_unique<CMailbox>(kTankA),
                                                   std::make_unique<CMailbox>(kTankB)};
  std::vector<std::thread> threads;
  for (auto& sender : senders) {
    threads.emplace_back([&receiver, mailbox = sender.get()] {
      for (std::uint32_t i = 0; i < kPerSender; ++i) {
        while (receiver.Count() >= kBelowFlood) {
          std::this_thread::yield();  // stay clear of the flood flush
        }
        PostWord(*mailbox, kNetworkAddress, i);
      }
    });
  }

  std::array<std::uint32_t, 2> nextExpected{0, 0};
  std::uint32_t lastPostTime = 0;
  bool inOrder = true;
  // A lost message would otherwise keep this loop waiting for ever.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while ((nextExpected[0] < kPerSender || nextExpected[1] < kPerSender) &&
         std::chrono::steady_clock::now() < deadline) {
    std::uint32_t length = 0;
    std::uint32_t postTime = 0;
    MailboxMessagePtr message = receiver.ReceiveTimed(length, postTime);
    if (message == nullptr) {
      std::this_thread::yield();
      continue;
    }
    const std::size_t index = message->sender == kTankA ? 0 : 1;
    inOrder = inOrder && WordOf(*message) == nextExpected[index] && postTime >= lastPostTime;
    ++nextExpected[index];
    lastPostTime = postTime;
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  EXPECT_TRUE(inOrder);
  EXPECT_EQ(nextExpected, (std::array<std::uint32_t, 2>{kPerSender, kPerSender}));
  EXPECT_EQ(receiver.Count(), 0u);
}

using WaitClock = std::chrono::steady_clock;

// Far beyond what any of these waits may take; a wait that runs into it was not woken.
constexpr std::uint32_t kLongWaitMs = 20000;
constexpr auto kWokenWithin = std::chrono::seconds(10);

TEST(MailboxWait, APostFromAnotherThreadEndsTheWait) {
  CMailbox receiver(kTankA);
  CMailbox sender(kTankB);
  const auto start = WaitClock::now();
  std::thread poster([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    PostWord(sender, kTankA, 7);
  });
  while (receiver.Count() == 0 && WaitClock::now() - start < kWokenWithin) {
    receiver.WaitForMessage(kLongWaitMs);
  }
  poster.join();
  EXPECT_LT(WaitClock::now() - start, kWokenWithin);
  EXPECT_EQ(DrainWords(receiver), std::vector<std::uint32_t>{7});
}

TEST(MailboxWait, WithoutNewsTheWaitLastsItsTime) {
  CMailbox receiver(kTankA);
  receiver.WaitForMessage(0);  // takes any wake left by an earlier test
  const auto start = WaitClock::now();
  receiver.WaitForMessage(60);
  EXPECT_GE(WaitClock::now() - start, std::chrono::milliseconds(60));
}

TEST(MailboxWait, WakeWaitersEndsAWaitAndTheNextOneThatMissedIt) {
  CMailbox receiver(kTankA);
  receiver.WaitForMessage(0);
  auto start = WaitClock::now();
  std::thread waker([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    CMailbox::WakeWaiters();
  });
  receiver.WaitForMessage(kLongWaitMs);
  waker.join();
  EXPECT_LT(WaitClock::now() - start, kWokenWithin);
  // A wake while nobody waits ends the mailbox's next wait at once, and that wait only.
  CMailbox::WakeWaiters();
  start = WaitClock::now();
  receiver.WaitForMessage(kLongWaitMs);
  EXPECT_LT(WaitClock::now() - start, kWokenWithin);
  start = WaitClock::now();
  receiver.WaitForMessage(60);
  EXPECT_GE(WaitClock::now() - start, std::chrono::milliseconds(60));
}

TEST(MailboxWait, AVirtualClockMovesOneMillisecondAWaitAndNoneWithAMessage) {
  platform::VirtualClock clock(5000);
  platform::ScopedProcessClock scope(clock);
  CMailbox receiver(kTankA);
  receiver.WaitForMessage(0);
  receiver.WaitForMessage(kLongWaitMs);
  EXPECT_EQ(timeGetTime(), 5001u);
  CMailbox sender(kTankB);
  PostWord(sender, kTankA, 1);
  receiver.WaitForMessage(kLongWaitMs);
  EXPECT_EQ(timeGetTime(), 5001u);
  EXPECT_EQ(receiver.Count(), 1u);
}

// A mailbox that asks to be told, once the lock is released, of the chat messages posted to it.
class NotifiedMailbox : public CMailbox {
 public:
  explicit NotifiedMailbox(std::uint32_t address) : CMailbox(address) {}

  std::vector<std::uint32_t> postedTypes;
  std::vector<std::uint32_t> countsWhenDelivered;
  std::vector<std::thread::id> deliveredOn;

 protected:
  bool Posted(std::uint32_t type) override {
    postedTypes.push_back(type);
    return type == MSG_CHAT;
  }
  void Delivered() override {
    countsWhenDelivered.push_back(Count());
    deliveredOn.push_back(std::this_thread::get_id());
    // Another thread can post now: the posting thread no longer holds the lock.
    std::thread other([this] { PostAnonymous(Address(), MSG_SYNC_PING, 0, nullptr); });
    other.join();
  }
};

TEST(MailboxTest, DeliveredFollowsOnThePostingThreadOnlyThePostsThatAskForIt) {
  NotifiedMailbox receiver(kTankA);
  CMailbox sender(kTankB);
  PostWord(sender, kTankA, 1);
  sender.Post(kTankA, MSG_CHAT, 0, nullptr);
  PostWord(sender, kTankA, 2);
  EXPECT_EQ(receiver.postedTypes,
            (std::vector<std::uint32_t>{kTestType, MSG_CHAT, MSG_SYNC_PING, kTestType}));
  // The chat was queued before Delivered ran, and the other thread's post after it.
  EXPECT_EQ(receiver.countsWhenDelivered, std::vector<std::uint32_t>{2});
  EXPECT_EQ(receiver.deliveredOn, std::vector<std::thread::id>{std::this_thread::get_id()});
  std::vector<std::uint32_t> types;
  std::uint32_t length = 0;
  while (MailboxMessagePtr message = receiver.Receive(length)) {
    types.push_back(message->type);
  }
  EXPECT_EQ(types, (std::vector<std::uint32_t>{kTestType, MSG_CHAT, MSG_SYNC_PING, kTestType}));
}

}  // namespace
