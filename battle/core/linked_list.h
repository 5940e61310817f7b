// CLinkedList: a doubly linked list of untyped data pointers with a head, a tail and a count.
// Its owner empties it with RemoveAt before it goes: destroying the list frees no node, and the
// list never owns the data its nodes point to.
#pragma once

#include <cstdint>

struct ListNode {
  ListNode* previous;
  void* data;
  ListNode* next;
};

class CLinkedList {
 public:
  CLinkedList() = default;
  CLinkedList(const CLinkedList&) = delete;
  CLinkedList& operator=(const CLinkedList&) = delete;

  // Appends after the tail; null (list unchanged) when the node cannot be allocated.
  ListNode* InsertAfter(void* data);
  // Inserts before the head; null (list unchanged) when the node cannot be allocated.
  ListNode* InsertBefore(void* data);
  // Unlinks and frees the node, returns its data.
  void* RemoveAt(ListNode* node);

  ListNode* GetHeadNode() const { return head_; }
  ListNode* GetTailNode() const { return tail_; }
  std::uint32_t GetCount() const { return count_; }

 private:
  ListNode* head_ = nullptr;
  ListNode* tail_ = nullptr;
  std::uint32_t count_ = 0;
};
