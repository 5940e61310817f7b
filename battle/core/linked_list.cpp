#include "battle/core/linked_list.h"

#include <new>

ListNode* CLinkedList::InsertAfter(void* data) {
  auto* node = new (std::nothrow) ListNode{tail_, data, nullptr};
  if (node == nullptr) {
    return nullptr;
  }
  if (tail_ != nullptr) {
    tail_->next = node;
  } else {
    head_ = node;
  }
  tail_ = node;
  ++count_;
  return node;
}

ListNode* CLinkedList::InsertBefore(void* data) {
  auto* node = new (std::nothrow) ListNode{nullptr, data, head_};
  if (node == nullptr) {
    return nullptr;
  }
  if (head_ != nullptr) {
    head_->previous = node;
  } else {
    tail_ = node;
  }
  head_ = node;
  ++count_;
  return node;
}

void* CLinkedList::RemoveAt(ListNode* node) {
  (node->previous != nullptr ? node->previous->next : head_) = node->next;
  (node->next != nullptr ? node->next->previous : tail_) = node->previous;
  void* data = node->data;
  delete node;
  --count_;
  return data;
}
