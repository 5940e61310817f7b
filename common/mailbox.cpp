#include "common/mailbox.h"

#include <array>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <new>

#include "platform/kernel/allocation_hook.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/sync.h"

namespace {

// A flooded queue loses its whole backlog before it takes the next message: a post finds it
// flooded at 300 messages, an anonymous post at exactly 200 (a queue of 201 to 299 takes it on).
constexpr std::uint32_t kPostLimit = 300;
constexpr std::uint32_t kAnonymousPostLimit = 200;
constexpr std::size_t kTrailingZeroBytes = 4;

static_assert(sizeof(MailboxMessage) % alignof(MailboxMessage) == 0,
              "the payload follows the message record");

// Addresses are a kind in the high bits and a number in the low ones: the multiplication mixes
// both into the bucket number.
constexpr std::uint32_t kBucketBits = 10;
std::uint32_t BucketOf(std::uint32_t address) {
  return (address * 0x9E3779B1u) >> (32 - kBucketBits);
}

// Guards the list, the index, every queue and every count.
constinit CRITICAL_SECTION gMailboxLock;
CMailbox* gMailboxListHead = nullptr;  // the newest live mailbox
constinit std::array<CMailbox*, std::size_t{1} << kBucketBits> gMailboxBuckets{};
std::uint64_t gMailboxesBuilt = 0;
// Read without the lock by PostAnonymous.
std::atomic<std::uint32_t> gLiveMailboxes{0};

// Waiting for a message: posts and WakeWaiters notify the signal under its mutex while anyone
// waits; each WakeWaiters starts a new generation, which every mailbox's next wait sees.
struct MailboxWaits {
  std::mutex mutex;
  std::condition_variable signal;
  std::uint64_t generation = 0;
};
std::atomic<std::uint32_t> gWaiters{0};

MailboxWaits& Waits() {
  static MailboxWaits waits;
  return waits;
}

class LockedMailboxes {
 public:
  LockedMailboxes() { EnterCriticalSection(&gMailboxLock); }
  ~LockedMailboxes() { LeaveCriticalSection(&gMailboxLock); }
  LockedMailboxes(const LockedMailboxes&) = delete;
  LockedMailboxes& operator=(const LockedMailboxes&) = delete;
};

}  // namespace

void MailboxMessageDeleter::operator()(MailboxMessage* message) const noexcept {
  message->~MailboxMessage();
  ::operator delete(message);
}

MailboxMessagePtr MailboxMessage::Create(std::uint32_t sender, std::uint32_t type,
                                         std::uint32_t length, const void* payload) {
  const std::size_t size = sizeof(MailboxMessage) + std::size_t{length} + kTrailingZeroBytes;
  void* block = platform::AllocationAllowed(size) ? ::operator new(size, std::nothrow) : nullptr;
  if (block == nullptr) {
    return nullptr;
  }
  MailboxMessagePtr message(new (block) MailboxMessage(sender, type, length, timeGetTime()));
  auto* bytes = static_cast<std::uint8_t*>(block) + sizeof(MailboxMessage);
  if (length != 0) {
    std::memcpy(bytes, payload, length);
  }
  std::memset(bytes + length, 0, kTrailingZeroBytes);
  return message;
}

CMailbox::CMailbox(std::uint32_t address) : address_(address) {
  // The first mailbox is built while no other thread uses mailboxes.
  if (gLiveMailboxes.load() == 0) {
    gMailboxListHead = nullptr;
    gMailboxBuckets.fill(nullptr);
    InitializeCriticalSection(&gMailboxLock);
  }
  gLiveMailboxes.fetch_add(1);
  LockedMailboxes lock;
  next_ = gMailboxListHead;
  if (next_ != nullptr) {
    next_->prev_ = this;
  }
  gMailboxListHead = this;
  age_ = ++gMailboxesBuilt;
  IndexLocked();
}

CMailbox::~CMailbox() {
  EnterCriticalSection(&gMailboxLock);
  FreeQueueLocked();
  if (gLiveMailboxes.fetch_sub(1) == 1) {
    gMailboxListHead = nullptr;
    gMailboxBuckets.fill(nullptr);
    LeaveCriticalSection(&gMailboxLock);
    DeleteCriticalSection(&gMailboxLock);
    return;
  }
  UnindexLocked();
  if (next_ != nullptr) {
    next_->prev_ = prev_;
  }
  if (prev_ != nullptr) {
    prev_->next_ = next_;
  }
  if (gMailboxListHead == this) {
    gMailboxListHead = next_;
  }
  LeaveCriticalSection(&gMailboxLock);
}

void CMailbox::SetAddress(std::uint32_t address) {
  LockedMailboxes lock;
  UnindexLocked();
  address_.store(address, std::memory_order_relaxed);
  IndexLocked();
}

void CMailbox::Post(std::uint32_t destination, std::uint32_t type, std::uint32_t length,
                    const void* payload) {
  Deliver(Address(), destination, type, length, payload, kPostLimit);
}

void CMailbox::PostAnonymous(std::uint32_t destination, std::uint32_t type, std::uint32_t length,
                             const void* payload) {
  if (gLiveMailboxes.load() == 0) {
    return;  // no mailbox, so no lock either
  }
  Deliver(0, destination, type, length, payload, kAnonymousPostLimit);
}

MailboxMessagePtr CMailbox::Receive(std::uint32_t& length) {
  std::uint32_t postTime = 0;
  return ReceiveTimed(length, postTime);
}

MailboxMessagePtr CMailbox::ReceiveTimed(std::uint32_t& length, std::uint32_t& postTime) {
  length = 0;
  if (Address() == 0 || Count() == 0) {
    return nullptr;
  }
  LockedMailboxes lock;
  MailboxMessage* message = head_;
  if (message == nullptr) {
    return nullptr;
  }
  head_ = message->next_;
  if (head_ == nullptr) {
    tail_ = nullptr;
  }
  count_.store(count_.load(std::memory_order_relaxed) - 1, std::memory_order_release);
  length = message->length;
  postTime = message->postTime_;
  return MailboxMessagePtr(message);
}

void CMailbox::WaitForMessage(std::uint32_t milliseconds) {
  MailboxWaits& waits = Waits();
  std::unique_lock lock(waits.mutex);
  // Counted before the queue is looked at: a post either comes before that look and is seen,
  // or finds the count and notifies.
  gWaiters.fetch_add(1);
  std::atomic_thread_fence(std::memory_order_seq_cst);
  // A wake that came since this mailbox's last wait ends this one: its news may have come
  // between the owner's own look and this wait.
  platform::GetProcessClock().WaitFor(waits.signal, lock, milliseconds, [&] {
    return Count() != 0 || waits.generation != wakeSeen_;
  });
  wakeSeen_ = waits.generation;
  gWaiters.fetch_sub(1);
}

void CMailbox::WakeWaiters() {
  MailboxWaits& waits = Waits();
  {
    std::lock_guard lock(waits.mutex);
    ++waits.generation;
  }
  waits.signal.notify_all();
}

bool CMailbox::IsLockAlive() { return gMailboxLock.lock != nullptr; }

void CMailbox::Deliver(std::uint32_t sender, std::uint32_t destination, std::uint32_t type,
                       std::uint32_t length, const void* payload, std::uint32_t limit) {
  CMailbox* delivered = nullptr;
  {
    LockedMailboxes lock;
    CMailbox* target = FindLocked(destination);
    if (target == nullptr) {
      return;
    }
    // Allocate before flushing: a failed allocation drops this message and nothing else.
    MailboxMessagePtr message = MailboxMessage::Create(sender, type, length, payload);
    if (message == nullptr) {
      return;
    }
    const std::uint32_t count = target->count_.load(std::memory_order_relaxed);
    // Anonymous posts onto a queue past 200 could otherwise carry it past 300, where no post
    // would find it flooded again: every post flushes from 300 on, so no queue grows without
    // bound.
    if (count == limit || count >= kPostLimit) {
      target->FreeQueueLocked();
    }
    target->AppendLocked(message.release());
    if (target->Posted(type)) {
      delivered = target;
    }
    // Pairs with the waiter's count before its look at the queue.
    std::atomic_thread_fence(std::memory_order_seq_cst);
    if (gWaiters.load() != 0) {
      MailboxWaits& waits = Waits();
      // Taking the mutex orders this post before or after a waiter's look at the queue.
      { std::lock_guard waitLock(waits.mutex); }
      waits.signal.notify_all();
    }
  }
  if (delivered != nullptr) {
    delivered->Delivered();
  }
}

CMailbox* CMailbox::FindLocked(std::uint32_t address) {
  for (CMailbox* mailbox = gMailboxBuckets[BucketOf(address)]; mailbox != nullptr;
       mailbox = mailbox->bucketNext_) {
    if (mailbox->Address() == address) {
      return mailbox;
    }
  }
  return nullptr;
}

// Keeps each bucket newest first, so that the first match in it is the newest live mailbox
// bearing the address, as on the list.
void CMailbox::IndexLocked() {
  CMailbox** link = &gMailboxBuckets[BucketOf(Address())];
  CMailbox* previous = nullptr;
  while (*link != nullptr && (*link)->age_ > age_) {
    previous = *link;
    link = &previous->bucketNext_;
  }
  bucketNext_ = *link;
  bucketPrev_ = previous;
  if (bucketNext_ != nullptr) {
    bucketNext_->bucketPrev_ = this;
  }
  *link = this;
}

void CMailbox::UnindexLocked() {
  if (bucketNext_ != nullptr) {
    bucketNext_->bucketPrev_ = bucketPrev_;
  }
  if (bucketPrev_ != nullptr) {
    bucketPrev_->bucketNext_ = bucketNext_;
  } else {
    gMailboxBuckets[BucketOf(Address())] = bucketNext_;
  }
  bucketNext_ = nullptr;
  bucketPrev_ = nullptr;
}

void CMailbox::AppendLocked(MailboxMessage* message) {
  if (tail_ != nullptr) {
    tail_->next_ = message;
  } else {
    head_ = message;
  }
  tail_ = message;
  count_.store(count_.load(std::memory_order_relaxed) + 1, std::memory_order_release);
}

void CMailbox::FreeQueueLocked() {
  while (head_ != nullptr) {
    MailboxMessagePtr message(head_);
    head_ = message->next_;
  }
  tail_ = nullptr;
  count_.store(0, std::memory_order_release);
}
