// CListLink: an object's membership in an object list whose whole state is one head pointer
// (a global per object kind). The member embeds the link, which joins the list when the object
// is created and leaves it when the object is destroyed, so no entry outlives its object.
#pragma once

struct LinkNode {
  void* object;
  LinkNode* previous;
  LinkNode* next;
};

class CListLink {
 public:
  CListLink() = default;
  ~CListLink();
  CListLink(const CListLink&) = delete;
  CListLink& operator=(const CListLink&) = delete;

  // Pushes the object in front of the list.
  void LinkHead(LinkNode** head, void* object);
  // Appends the object after the list's last node.
  void LinkTail(LinkNode** head, void* object);

  LinkNode* GetNode() const { return node_; }

 private:
  LinkNode* node_ = nullptr;
  LinkNode** head_ = nullptr;
};
