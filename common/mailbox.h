// Mailboxes: the first-in first-out message queues through which every game object, the game
// session and the network client talk. All live mailboxes hang on one process-wide list, newest
// first, under one lock that exists while at least one mailbox lives. An index by address beside
// the list finds a post's destination without walking every mailbox.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>

class CMailbox;
class MailboxMessage;

// Releases a message block taken from a mailbox.
struct MailboxMessageDeleter {
  void operator()(MailboxMessage* message) const noexcept;
};

// The receiver owns a message from Receive on; the block is freed when the pointer goes.
using MailboxMessagePtr = std::unique_ptr<MailboxMessage, MailboxMessageDeleter>;

// One posted message: sender address, message type and a private copy of the payload, in one
// heap block that is also its place in the queue. Four zero bytes follow the payload, so a
// receiver that reads a short payload's next word finds zeros rather than stale heap contents.
class MailboxMessage {
 public:
  MailboxMessage(const MailboxMessage&) = delete;
  MailboxMessage& operator=(const MailboxMessage&) = delete;

  const std::uint32_t sender;  // 0 for an anonymous post
  const std::uint32_t type;    // one of the MSG_ types
  const std::uint32_t length;  // payload bytes

  const std::uint8_t* Payload() const { return reinterpret_cast<const std::uint8_t*>(this + 1); }
  std::span<const std::uint8_t> Bytes() const { return {Payload(), length}; }

 private:
  friend class CMailbox;
  MailboxMessage(std::uint32_t senderAddress, std::uint32_t messageType,
                 std::uint32_t payloadLength, std::uint32_t postTime)
      : sender(senderAddress), type(messageType), length(payloadLength), postTime_(postTime) {}
  // Null when the block cannot be allocated.
  static MailboxMessagePtr Create(std::uint32_t sender, std::uint32_t type, std::uint32_t length,
                                  const void* payload);

  std::uint32_t postTime_;          // timeGetTime at the post
  MailboxMessage* next_ = nullptr;  // the next newer message while queued
};

// Embedded as a base or a member in its owner. Constructed and destroyed on the main thread
// only; posting and receiving may happen on any thread.
class CMailbox {
 public:
  // Owners in the game pass 0 and set their address once they know it.
  explicit CMailbox(std::uint32_t address = 0);
  virtual ~CMailbox();
  CMailbox(const CMailbox&) = delete;
  CMailbox& operator=(const CMailbox&) = delete;

  std::uint32_t Address() const { return address_.load(std::memory_order_relaxed); }
  void SetAddress(std::uint32_t address);

  // Copies the payload into the queue of the newest live mailbox bearing `destination`, with
  // this mailbox's address as the sender. A destination that no mailbox bears drops the message.
  void Post(std::uint32_t destination, std::uint32_t type, std::uint32_t length,
            const void* payload);
  // As Post, with sender 0 and without needing a mailbox of one's own.
  static void PostAnonymous(std::uint32_t destination, std::uint32_t type, std::uint32_t length,
                            const void* payload);

  // The oldest queued message, or null when the queue is empty or this mailbox has no address
  // yet. `length` receives the payload length (0 with a null result).
  MailboxMessagePtr Receive(std::uint32_t& length);
  // As Receive, also giving the message's post time (timeGetTime at the post).
  MailboxMessagePtr ReceiveTimed(std::uint32_t& length, std::uint32_t& postTime);

  // Blocks until the queue holds a message, WakeWaiters is called or `milliseconds` of the
  // process clock pass. It may return sooner (under a test's virtual clock after 1 ms), so
  // callers loop on their own deadline.
  void WaitForMessage(std::uint32_t milliseconds);
  // Ends every WaitForMessage at once, and each mailbox's next one if it waits at none: for news
  // that comes as no message, such as the end of the network connection.
  static void WakeWaiters();

  // Number of queued messages.
  std::uint32_t Count() const { return count_.load(std::memory_order_acquire); }
  // Whether the process-wide mailbox lock exists: from the first construction to the last
  // destruction.
  static bool IsLockAlive();

 protected:
  // Called under the mailbox lock each time a message of `type` joins this queue, on the posting
  // thread. An owner that sleeps on something other than its queue wakes itself here; it must
  // not post. True asks for Delivered on the same thread once the lock is released: the owner
  // then keeps itself alive until Delivered has returned.
  virtual bool Posted(std::uint32_t /*type*/) { return false; }
  virtual void Delivered() {}

 private:
  static void Deliver(std::uint32_t sender, std::uint32_t destination, std::uint32_t type,
                      std::uint32_t length, const void* payload, std::uint32_t limit);
  static CMailbox* FindLocked(std::uint32_t address);
  void IndexLocked();
  void UnindexLocked();
  void AppendLocked(MailboxMessage* message);
  void FreeQueueLocked();

  // Written under the lock; read without it so that an empty queue costs a receiver no lock.
  std::atomic<std::uint32_t> count_{0};
  MailboxMessage* head_ = nullptr;  // oldest message
  MailboxMessage* tail_ = nullptr;  // newest message
  CMailbox* next_ = nullptr;        // the mailbox constructed before this one
  CMailbox* prev_ = nullptr;
  // The index: the mailboxes whose addresses share a bucket, newest first.
  CMailbox* bucketNext_ = nullptr;
  CMailbox* bucketPrev_ = nullptr;
  std::uint64_t age_ = 0;  // construction order: a newer mailbox has a larger age
  std::atomic<std::uint32_t> address_;
  // The WakeWaiters generation that this mailbox's last wait ended in; under the wait mutex.
  std::uint64_t wakeSeen_ = 0;
};
