#include "engine/collide/contact_list.h"

#include <algorithm>
#include <cstddef>

#include "engine/collide/sweep_query.h"
#include "engine/collide/sweep_status.h"
#include "engine/core/memory.h"
#include "engine/core/object.h"
#include "engine/core/obstacle.h"

namespace {

// The sorted run, its null and a merge buffer as long as the run: 2 x capacity + 1 slots, so that
// a full list still has room to merge.
std::size_t indexSlots(std::uint32_t capacity) {
  return 2 * static_cast<std::size_t>(capacity) + 1;
}

// A contact whose geometry is its own point record keeps pointing into its own record.
void repointOwnPoint(const R3xContact* from, R3xContact* to) {
  if (from->geometry == &from->point) {
    to->geometry = &to->point;
  }
}

std::int32_t grow(R3xContactList* list) {
  const std::uint32_t capacity = list->capacity + R3X_CONTACTS_GROWTH;
  auto* contacts = static_cast<R3xContact*>(r3xMalloc(sizeof(R3xContact) * capacity));
  auto* index = static_cast<R3xContact**>(r3xMalloc(sizeof(R3xContact*) * indexSlots(capacity)));
  if (contacts == nullptr || index == nullptr) {
    r3xFree(contacts);
    r3xFree(index);
    return R3X_SWEEP_FAILED;
  }
  R3xContact* old = list->contacts;
  for (std::uint32_t i = 0; i < list->count; ++i) {
    contacts[i] = old[i];
    repointOwnPoint(&old[i], &contacts[i]);
  }
  for (std::uint32_t i = 0; i < list->count; ++i) {
    index[i] = contacts + (list->index[i] - old);
  }
  // The stop contact of an earlier sweep stays readable at the same place.
  if (list->stopContact != nullptr) {
    list->stopContact = contacts + (list->stopContact - old);
  }
  r3xFree(old);
  r3xFree(list->index);
  list->contacts = contacts;
  list->index = index;
  list->capacity = capacity;
  return R3X_DONE;
}

R3xContact* nextContact(R3xSweepQuery* query) {
  R3xContactList* list = query->contacts;
  if (list->count == list->capacity && grow(list) == R3X_SWEEP_FAILED) {
    return nullptr;
  }
  R3xContact* contact = &list->contacts[list->count];
  list->index[list->count] = contact;
  ++list->count;
  *contact = R3xContact{};
  contact->memberIndex = query->memberIndex;
  return contact;
}

void setGeometry(R3xContact* contact, std::int32_t kind, const void* geometry) {
  contact->kind = kind;
  if (kind == R3X_OBSTACLE_XY_VERTEX || kind == R3X_OBSTACLE_XYZ_VERTEX) {
    const auto* point = static_cast<const float*>(geometry);
    contact->point = {kind == R3X_OBSTACLE_XY_VERTEX ? R3X_TYPE_XY_VERTEX : R3X_TYPE_XYZ_VERTEX,
                      point[0], point[1], point[2]};
    contact->geometry = &contact->point;
    return;
  }
  // The world's records: the contact hands them to the callbacks, which may not change them.
  contact->geometry = const_cast<void*>(geometry);
}

bool before(const R3xContact* a, const R3xContact* b) { return _r3xCompareContacts(a, b) < 0; }

bool earlier(const R3xContact* a, const R3xContact* b) { return a->time < b->time; }

}  // namespace

R3xContactList* _r3xCreateContactList(std::uint32_t capacity) {
  if (capacity == 0) {
    capacity = R3X_CONTACTS_INITIAL;
  }
  auto* list = static_cast<R3xContactList*>(r3xMalloc(sizeof(R3xContactList)));
  if (list == nullptr) {
    return nullptr;
  }
  list->capacity = capacity;
  list->contacts = static_cast<R3xContact*>(r3xMalloc(sizeof(R3xContact) * capacity));
  list->index = static_cast<R3xContact**>(r3xMalloc(sizeof(R3xContact*) * indexSlots(capacity)));
  if (list->contacts == nullptr || list->index == nullptr) {
    _r3xDestroyContactList(list);
    return nullptr;
  }
  return list;
}

void _r3xDestroyContactList(R3xContactList* list) {
  if (list == nullptr) {
    return;
  }
  r3xFree(list->contacts);
  r3xFree(list->index);
  r3xFree(list);
}

std::int32_t _r3xAddObstacleContact(R3xSweepQuery* query, std::int32_t phase, void* region,
                                    void* obstacle, std::int32_t kind, const void* geometry,
                                    std::int32_t passable, float time, std::int32_t startsBehind) {
  R3xContact* contact = nextContact(query);
  if (contact == nullptr) {
    return R3X_SWEEP_FAILED;
  }
  contact->phase = phase;
  contact->contactClass = R3X_CONTACT_OBSTACLE;
  contact->target = region;
  contact->obstacle = obstacle;
  const auto* record = static_cast<const R3xObstacle*>(obstacle);
  // A piece of the obstacle (an end vertex, an edge or corner of a polygon) names the whole.
  if (geometry != record->geometry && kind != record->kind) {
    contact->parentGeometry = record->geometry;
  }
  setGeometry(contact, kind, geometry);
  contact->passable = passable;
  contact->time = time;
  contact->startsBehind = startsBehind;
  return R3X_DONE;
}

std::int32_t _r3xAddObjectContact(R3xSweepQuery* query, std::int32_t phase, R3xActor* actor,
                                  void* part, const void* /*volume*/, std::int32_t kind,
                                  const void* geometry, void* parentGeometry, std::int32_t passable,
                                  float time, std::int32_t startsBehind) {
  R3xContact* contact = nextContact(query);
  if (contact == nullptr) {
    return R3X_SWEEP_FAILED;
  }
  contact->phase = phase;
  contact->contactClass = R3X_CONTACT_OBJECT;
  contact->target = actor;
  contact->obstacle = part;
  contact->parentGeometry = parentGeometry;
  setGeometry(contact, kind, geometry);
  if (kind == R3X_OBSTACLE_XYZ_EDGE && parentGeometry != nullptr) {
    static_cast<R3xXYZEdge*>(contact->geometry)->type = R3X_TYPE_XYZ_EDGE;
  }
  contact->passable = passable;
  contact->time = time;
  contact->startsBehind = startsBehind;
  return R3X_DONE;
}

int _r3xCompareContacts(const R3xContact* a, const R3xContact* b) {
  if (a->time < b->time) {
    return R3X_SWEEP_FAILED;
  }
  if (b->time < a->time) {
    return R3X_DONE;
  }
  return a->phase - b->phase;
}

void _r3xSortContacts(R3xContactList* list, std::uint32_t firstNew) {
  R3xContact** index = list->index;
  const std::uint32_t count = list->count;
  if (firstNew < count) {
    std::sort(index + firstNew, index + count, before);
    if (firstNew > 0) {
      R3xContact** buffer = index + count + 1;
      // A new contact goes first only when strictly earlier: at an equal time the older one
      // stays first, even a crossing before a new touch.
      std::merge(index, index + firstNew, index + firstNew, index + count, buffer, earlier);
      std::copy(buffer, buffer + count, index);
    }
  }
  index[count] = nullptr;
}
