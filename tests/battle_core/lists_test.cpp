#include <gtest/gtest.h>

#include <vector>

#include "battle/core/linked_list.h"
#include "battle/core/list_link.h"

namespace {

std::vector<int> Values(const CLinkedList& list) {
  std::vector<int> values;
  for (ListNode* node = list.GetHeadNode(); node != nullptr; node = node->next) {
    values.push_back(*static_cast<int*>(node->data));
  }
  return values;
}

std::vector<int> ValuesBackwards(const CLinkedList& list) {
  std::vector<int> values;
  for (ListNode* node = list.GetTailNode(); node != nullptr; node = node->previous) {
    values.push_back(*static_cast<int*>(node->data));
  }
  return values;
}

// The owner of a list empties it before it goes.
void Empty(CLinkedList& list) {
  while (list.GetHeadNode() != nullptr) {
    list.RemoveAt(list.GetHeadNode());
  }
}

TEST(CLinkedList, FirstInsertIsHeadAndTailEitherWay) {
  int value = 7;
  for (bool after : {true, false}) {
    CLinkedList list;
    ListNode* node = after ? list.InsertAfter(&value) : list.InsertBefore(&value);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(list.GetHeadNode(), node);
    EXPECT_EQ(list.GetTailNode(), node);
    EXPECT_EQ(list.GetCount(), 1u);
    EXPECT_EQ(node->previous, nullptr);
    EXPECT_EQ(node->next, nullptr);
    Empty(list);
  }
}

TEST(CLinkedList, InsertAfterAppendsAndInsertBeforePrepends) {
  int v[4] = {0, 1, 2, 3};
  CLinkedList list;
  list.InsertAfter(&v[1]);
  list.InsertAfter(&v[2]);
  list.InsertBefore(&v[0]);
  list.InsertAfter(&v[3]);
  EXPECT_EQ(Values(list), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(ValuesBackwards(list), (std::vector<int>{3, 2, 1, 0}));
  EXPECT_EQ(list.GetCount(), 4u);
  Empty(list);
}

TEST(CLinkedList, DestroyingTheListLeavesItsNodesToTheOwner) {
  int value = 5;
  ListNode* node = nullptr;
  {
    CLinkedList list;
    node = list.InsertAfter(&value);
    ASSERT_NE(node, nullptr);
  }
  // Still the owner's node: readable, and freed by the owner.
  EXPECT_EQ(node->data, &value);
  delete node;
}

TEST(CLinkedList, RemoveAtHeadMiddleTailAndOnly) {
  int v[4] = {0, 1, 2, 3};
  CLinkedList list;
  ListNode* nodes[4];
  for (int i = 0; i < 4; ++i) {
    nodes[i] = list.InsertAfter(&v[i]);
  }
  EXPECT_EQ(list.RemoveAt(nodes[1]), &v[1]);
  EXPECT_EQ(Values(list), (std::vector<int>{0, 2, 3}));
  EXPECT_EQ(ValuesBackwards(list), (std::vector<int>{3, 2, 0}));
  EXPECT_EQ(list.RemoveAt(nodes[0]), &v[0]);
  EXPECT_EQ(list.GetHeadNode(), nodes[2]);
  EXPECT_EQ(nodes[2]->previous, nullptr);
  EXPECT_EQ(list.RemoveAt(nodes[3]), &v[3]);
  EXPECT_EQ(list.GetTailNode(), nodes[2]);
  EXPECT_EQ(nodes[2]->next, nullptr);
  EXPECT_EQ(list.RemoveAt(nodes[2]), &v[2]);
  EXPECT_EQ(list.GetHeadNode(), nullptr);
  EXPECT_EQ(list.GetTailNode(), nullptr);
  EXPECT_EQ(list.GetCount(), 0u);
}

// An object kind as the game builds them: a global head and an embedded link.
struct Member {
  static inline LinkNode* list = nullptr;
  explicit Member(int id, bool atTail = false) : id(id) {
    atTail ? link.LinkTail(&list, this) : link.LinkHead(&list, this);
  }
  int id;
  CListLink link;
};

std::vector<int> MemberIds() {
  std::vector<int> ids;
  const LinkNode* previous = nullptr;
  for (LinkNode* node = Member::list; node != nullptr; node = node->next) {
    EXPECT_EQ(node->previous, previous);
    ids.push_back(static_cast<Member*>(node->object)->id);
    previous = node;
  }
  return ids;
}

TEST(CListLink, LinkHeadPushesAndLinkTailAppends) {
  Member a(1);
  Member b(2);
  Member c(3, true);
  Member d(4);
  EXPECT_EQ(MemberIds(), (std::vector<int>{4, 2, 1, 3}));
}

TEST(CListLink, DestroyingMembersKeepsTheListLinked) {
  auto* first = new Member(1, true);
  auto* middle = new Member(2, true);
  auto* last = new Member(3, true);
  delete middle;
  EXPECT_EQ(MemberIds(), (std::vector<int>{1, 3}));
  delete first;
  EXPECT_EQ(MemberIds(), (std::vector<int>{3}));
  EXPECT_EQ(Member::list, last->link.GetNode());
  delete last;
  EXPECT_EQ(Member::list, nullptr);
}

TEST(CListLink, LinkTailOnEmptyListBecomesHead) {
  Member only(9, true);
  EXPECT_EQ(Member::list, only.link.GetNode());
  EXPECT_EQ(MemberIds(), (std::vector<int>{9}));
}

TEST(CListLink, UnlinkedLinkDestroysQuietly) {
  CListLink link;
  EXPECT_EQ(link.GetNode(), nullptr);
}

}  // namespace
