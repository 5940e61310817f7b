// Mailbox throughput: posting and receiving on one thread, and a second thread posting while
// the main thread receives, as the socket thread and the frame do.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "common/mailbox.h"
#include "common/messages.h"

namespace {

constexpr std::uint32_t kSender = KIND_TANK | 1;
constexpr std::uint32_t kReceiver = KIND_TANK | 2;

// Post a burst of range(0) messages of range(1) bytes, then receive them all, with range(2)
// further live mailboxes ahead of the receiver on the list.
void BM_PostThenReceive(benchmark::State& state) {
  const auto burst = static_cast<std::uint32_t>(state.range(0));
  const auto length = static_cast<std::uint32_t>(state.range(1));
  CMailbox receiver(kReceiver);
  std::vector<std::unique_ptr<CMailbox>> others;
  for (std::int64_t i = 0; i < state.range(2); ++i) {
    others.push_back(std::make_unique<CMailbox>(KIND_BULLET | static_cast<std::uint32_t>(i)));
  }
  CMailbox sender(kSender);
  const std::vector<std::uint8_t> payload(length, 0x5A);
  for (auto _ : state) {
    for (std::uint32_t i = 0; i < burst; ++i) {
      sender.Post(kReceiver, MSG_TANK_STATE, length, payload.data());
    }
    std::uint32_t received = 0;
    while (MailboxMessagePtr message = receiver.Receive(received)) {
      benchmark::DoNotOptimize(message->Payload());
    }
  }
  state.SetItemsProcessed(state.iterations() * burst);
}
BENCHMARK(BM_PostThenReceive)
    ->ArgNames({"burst", "bytes", "others"})
    ->Args({1, 36, 0})
    ->Args({1, 1024, 0})
    ->Args({16, 36, 0})
    ->Args({200, 36, 0})
    ->Args({1, 36, 100})
    ->Args({1, 36, 1000})
    ->Args({200, 36, 1000});

// A second thread posts while the main thread receives. Items are the messages received; the
// poster's rate is reported beside them. Unpaced, the poster outruns the receiver and the flood
// flush discards whole backlogs; paced, it waits while 200 messages are queued, so nothing is
// lost and the two rates agree.
void BM_ConcurrentPostReceive(benchmark::State& state) {
  const auto length = static_cast<std::uint32_t>(state.range(0));
  const bool paced = state.range(1) != 0;
  CMailbox receiver(kNetworkAddress);
  CMailbox sender(kSender);
  std::atomic<bool> stop{false};
  std::atomic<std::int64_t> posted{0};
  std::thread poster([&] {
    const std::vector<std::uint8_t> payload(length, 0x5A);
    while (!stop.load(std::memory_order_relaxed)) {
      if (paced && receiver.Count() >= 200) {
        std::this_thread::yield();
        continue;
      }
      sender.Post(kNetworkAddress, MSG_TANK_STATE, length, payload.data());
      posted.fetch_add(1, std::memory_order_relaxed);
    }
  });

  std::int64_t received = 0;
  const std::int64_t postedBefore = posted.load();
  for (auto _ : state) {
    std::uint32_t size = 0;
    if (MailboxMessagePtr message = receiver.Receive(size)) {
      ++received;
    }
  }
  const std::int64_t postedDuring = posted.load() - postedBefore;
  stop.store(true);
  poster.join();
  state.SetItemsProcessed(received);
  state.counters["posted_per_second"] =
      benchmark::Counter(static_cast<double>(postedDuring), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ConcurrentPostReceive)
    ->ArgNames({"bytes", "paced"})
    ->Args({36, 0})
    ->Args({36, 1})
    ->Args({1024, 0})
    ->Args({1024, 1})
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
