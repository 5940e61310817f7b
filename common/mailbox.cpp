#include "common/mailbox.h"

#include <cstring>
#include <new>
#include <utility>

#include "platform/kernel/allocation_hook.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/sync.h"

// One queued message.
struct MailboxQueueNode {
  MailboxQueueNode* next;  // null at the tail
  std::uint32_t length;
  MailboxMessagePtr message;
  std::uint32_t postTime;
};

namespace {

// A flooded queue loses its whole backlog before it takes the next message: a post finds it
// flooded at 300 messages, an anonymous post at exactly 200 (a queue of 201 to 299 takes it on).
constexpr std::uint32_t kPostLimit = 300;
constexpr std::uint32_t kAnonymousPostLimit = 200;
constexpr std::size_t kTrailingZeroBytes = 4;

static_assert(sizeof(MailboxMessage) == 12, "the payload follows sender, type and length");

// Guards the list, every queue and every count.
constinit CRITICAL_SECTION gMailboxLock;
CMailbox* gMailboxListHead = nullptr;  // the newest live mailbox
// Read without the lock by PostAnonymous.
std::atomic<std::uint32_t> gLiveMailboxes{0};

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
  MailboxMessagePtr message(new (block) MailboxMessage(sender, type, length));
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
    InitializeCriticalSection(&gMailboxLock);
  }
  gLiveMailboxes.fetch_add(1);
  LockedMailboxes lock;
  next_ = gMailboxListHead;
  if (next_ != nullptr) {
    next_->prev_ = this;
  }
  gMailboxListHead = this;
}

CMailbox::~CMailbox() {
  EnterCriticalSection(&gMailboxLock);
  FreeQueueLocked();
  if (gLiveMailboxes.fetch_sub(1) == 1) {
    gMailboxListHead = nullptr;
    LeaveCriticalSection(&gMailboxLock);
    DeleteCriticalSection(&gMailboxLock);
    return;
  }
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

void CMailbox::Post(std::uint32_t destination, std::uint32_t type, std::uint32_t length,
                    const void* payload) {
  LockedMailboxes lock;
  Deliver(Address(), destination, type, length, payload, kPostLimit);
}

void CMailbox::PostAnonymous(std::uint32_t destination, std::uint32_t type, std::uint32_t length,
                             const void* payload) {
  if (gLiveMailboxes.load() == 0) {
    return;  // no mailbox, so no lock either
  }
  LockedMailboxes lock;
  Deliver(0, destination, type, length, payload, kAnonymousPostLimit);
}

MailboxMessagePtr CMailbox::Receive(std::uint32_t& length) {
  std::uint32_t postTime = 0;
  return ReceiveTimed(length, postTime);
}

MailboxMessagePtr CMailbox::ReceiveTimed(std::uint32_t& length, std::uint32_t& postTime) {
  length = 0;
  if (Address() == 0) {
    return nullptr;
  }
  LockedMailboxes lock;
  MailboxQueueNode* node = head_;
  if (node == nullptr) {
    return nullptr;
  }
  head_ = node->next;
  --count_;
  length = node->length;
  postTime = node->postTime;
  MailboxMessagePtr message = std::move(node->message);
  delete node;
  return message;
}

std::uint32_t CMailbox::Count() const {
  LockedMailboxes lock;
  return count_;
}

bool CMailbox::IsLockAlive() { return gMailboxLock.lock != nullptr; }

void CMailbox::Deliver(std::uint32_t sender, std::uint32_t destination, std::uint32_t type,
                       std::uint32_t length, const void* payload, std::uint32_t limit) {
  CMailbox* target = FindLocked(destination);
  if (target == nullptr) {
    return;
  }
  // Allocate before flushing: a failed allocation drops this message and nothing else.
  MailboxMessagePtr message = MailboxMessage::Create(sender, type, length, payload);
  if (message == nullptr) {
    return;
  }
  if (!platform::AllocationAllowed(sizeof(MailboxQueueNode))) {
    return;
  }
  auto* node =
      new (std::nothrow) MailboxQueueNode{nullptr, length, std::move(message), timeGetTime()};
  if (node == nullptr) {
    return;
  }
  // Anonymous posts onto a queue past 200 could otherwise carry it past 300, where no post would
  // find it flooded again: every post flushes from 300 on, so no queue grows without bound.
  if (target->count_ == limit || target->count_ >= kPostLimit) {
    target->FreeQueueLocked();
  }
  target->AppendLocked(node);
}

CMailbox* CMailbox::FindLocked(std::uint32_t address) {
  for (CMailbox* mailbox = gMailboxListHead; mailbox != nullptr; mailbox = mailbox->next_) {
    if (mailbox->Address() == address) {
      return mailbox;
    }
  }
  return nullptr;
}

void CMailbox::AppendLocked(MailboxQueueNode* node) {
  MailboxQueueNode** link = &head_;
  while (*link != nullptr) {
    link = &(*link)->next;
  }
  *link = node;
  ++count_;
}

void CMailbox::FreeQueueLocked() {
  while (head_ != nullptr) {
    MailboxQueueNode* node = head_;
    head_ = node->next;
    delete node;
  }
  count_ = 0;
}
