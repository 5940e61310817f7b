// The contact list of a query: appending, growth and the time order.
// Results: lists or null; the appends give R3X_DONE or R3X_SWEEP_FAILED; the comparison orders.
#pragma once

#include <cstdint>

#include "engine/collide/sweep.h"

struct R3xSweepQuery;

inline constexpr std::uint32_t R3X_CONTACTS_INITIAL = 512;
inline constexpr std::uint32_t R3X_CONTACTS_GROWTH = 128;

// capacity 0 means R3X_CONTACTS_INITIAL. Null when out of memory.
R3xContactList* _r3xCreateContactList(std::uint32_t capacity);
// Null is accepted.
void _r3xDestroyContactList(R3xContactList* list);

// Append a contact (with the query's memberIndex) and put it into the index unsorted. R3X_DONE,
// or R3X_SWEEP_FAILED when the list is full and cannot grow (nothing changed then). A vertex
// feature (kinds 8 and 9) is copied into the contact, which then points to its own copy.
std::int32_t _r3xAddObstacleContact(R3xSweepQuery* query, std::int32_t phase, void* region,
                                    void* obstacle, std::int32_t kind, const void* geometry,
                                    std::int32_t passable, float time, std::int32_t startsBehind);
// The volume is not stored; an edge given with a parent face becomes an R3X_TYPE_XYZ_EDGE record.
std::int32_t _r3xAddObjectContact(R3xSweepQuery* query, std::int32_t phase, R3xActor* actor,
                                  void* part, const void* volume, std::int32_t kind,
                                  const void* geometry, void* parentGeometry, std::int32_t passable,
                                  float time, std::int32_t startsBehind);

// Sorts the index slots from firstNew to count - 1 and merges them into the sorted run before
// firstNew (an older contact stays first at equal times). Slot count becomes null.
void _r3xSortContacts(R3xContactList* list, std::uint32_t firstNew);
// Negative when a comes first: the smaller time, then a touch before a cross.
int _r3xCompareContacts(const R3xContact* a, const R3xContact* b);
