#include "battle/core/list_link.h"

CListLink::~CListLink() {
  if (node_ == nullptr) {
    return;
  }
  if (*head_ == node_) {
    *head_ = node_->next;
  }
  if (node_->previous != nullptr) {
    node_->previous->next = node_->next;
  }
  if (node_->next != nullptr) {
    node_->next->previous = node_->previous;
  }
  delete node_;
}

void CListLink::LinkHead(LinkNode** head, void* object) {
  node_ = new LinkNode{object, nullptr, *head};
  if (*head != nullptr) {
    (*head)->previous = node_;
  }
  *head = node_;
  head_ = head;
}

void CListLink::LinkTail(LinkNode** head, void* object) {
  if (*head == nullptr) {
    LinkHead(head, object);
    return;
  }
  LinkNode* last = *head;
  while (last->next != nullptr) {
    last = last->next;
  }
  node_ = new LinkNode{object, last, nullptr};
  last->next = node_;
  head_ = head;
}
