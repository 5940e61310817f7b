#include "engine/collide/sweep_query.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/collide/contact_list.h"
#include "engine/r3x.h"
#include "sweep_world.h"
#include "tests/support/failing_memory.h"

namespace sweep_test {
namespace {

constexpr float kBackoff = 0.001f;

// A free sphere swept through a loaded world.
class FreeSphere {
 public:
  explicit FreeSphere(float radius)
      : volume_(r3xCreateSphereVolume(radius)), query_(r3xCreateSweepQuery()) {}
  ~FreeSphere() {
    r3xDestroySweepQuery(query_);
    r3xFreeVolumeRecord(reinterpret_cast<R3xVolume*>(volume_));
  }
  FreeSphere(const FreeSphere&) = delete;
  FreeSphere& operator=(const FreeSphere&) = delete;

  std::int32_t Sweep(R3xWorld* world, const std::vector<float>& from, const std::vector<float>& to,
                     R3xSweepHitFn hit = nullptr, R3xSweepFilterFn filter = nullptr,
                     void* user = nullptr, std::uint32_t mode = 0) {
    placement_ = {from[0], from[1], from[2], 0.0f, 0.0f, 0.0f, -1};
    return r3xSweepActor(world, nullptr, reinterpret_cast<R3xVolume*>(volume_), 1.0f, &placement_,
                         to.data(), nullptr, 0.0f, 0, mode, filter, hit, query_, user, stop_,
                         nullptr, 0);
  }

  R3xContactList* Contacts() const { return r3xGetSweepContacts(query_); }
  const float* Stop() const { return stop_; }
  R3xSweepQuery* Query() const { return query_; }
  const R3xPlacement& Placement() const { return placement_; }

 private:
  R3xSphereVolume* volume_;
  R3xSweepQuery* query_;
  R3xPlacement placement_{};
  float stop_[3] = {-1.0f, -1.0f, -1.0f};
};

std::int32_t PassEverything(R3xContact*, void*, std::int32_t* pass, std::int32_t* remaining,
                            float* backoff) {
  *pass = 1;
  *remaining = 0;
  *backoff = 0.0f;
  return 0;
}

// The regions whose obstacles gave a contact.
std::vector<R3xRegion*> ContactRegions(const R3xContactList* list) {
  std::vector<R3xRegion*> regions;
  for (std::uint32_t i = 0; i < list->count; ++i) {
    if (list->contacts[i].contactClass == R3X_CONTACT_OBSTACLE) {
      regions.push_back(static_cast<R3xRegion*>(list->contacts[i].target));
    }
  }
  return regions;
}

TEST(SweepQuery, DefaultCallbacksPassThePortalAndStopBeforeTheFarWall) {
  LoadedWorld loaded(RoomsWorld({}));
  ASSERT_EQ(loaded.result(), 0);
  FreeSphere sphere(1.0f);
  ASSERT_EQ(sphere.Sweep(loaded.world(), {5, 5, 0}, {35, 5, 0}), 0);
  // The east wall at x = 20 is touched after 14.
  EXPECT_NEAR(sphere.Stop()[0], 19.0f - kBackoff, 1e-4f);
  EXPECT_FLOAT_EQ(sphere.Stop()[1], 5.0f);
  const R3xContact* stop = sphere.Contacts()->stopContact;
  ASSERT_NE(stop, nullptr);
  EXPECT_EQ(stop->contactClass, R3X_CONTACT_OBSTACLE);
  EXPECT_EQ(stop->kind, R3X_OBSTACLE_XY_LINE);
  EXPECT_EQ(stop->passable, 0);
  EXPECT_FLOAT_EQ(stop->time, 14.0f);
  EXPECT_EQ(stop->target, r3xGetRegion(loaded.world(), 1));
  EXPECT_EQ(sphere.Placement().region, 0);
}

TEST(SweepQuery, ACallbackPassingASolidWallStillStops) {
  LoadedWorld loaded(RoomsWorld({}));
  ASSERT_EQ(loaded.result(), 0);
  FreeSphere sphere(1.0f);
  ASSERT_EQ(sphere.Sweep(loaded.world(), {15, 5, 0}, {-25, 5, 0}, PassEverything), 0);
  // Through the portal to the west wall; a back-off of 0 stops at the contact.
  EXPECT_FLOAT_EQ(sphere.Stop()[0], 1.0f);
  ASSERT_NE(sphere.Contacts()->stopContact, nullptr);
  EXPECT_EQ(sphere.Contacts()->stopContact->target, r3xGetRegion(loaded.world(), 0));
}

std::int32_t NegativeBackoff(R3xContact* contact, void*, std::int32_t* pass,
                             std::int32_t* remaining, float* backoff) {
  *pass = contact->passable;
  *remaining = 0;
  *backoff = -5.0f;
  return 0;
}

TEST(SweepQuery, ANegativeBackoffStopsAtTheContact) {
  LoadedWorld loaded(RoomsWorld({}));
  ASSERT_EQ(loaded.result(), 0);
  FreeSphere sphere(1.0f);
  ASSERT_EQ(sphere.Sweep(loaded.world(), {5, 5, 0}, {35, 5, 0}, NegativeBackoff), 0);
  EXPECT_FLOAT_EQ(sphere.Stop()[0], 19.0f);
}

TEST(SweepQuery, AMotionThatStopsNowhereEndsAtItsEndAndKeepsTheLastStop) {
  LoadedWorld loaded(RoomsWorld({}));
  ASSERT_EQ(loaded.result(), 0);
  FreeSphere sphere(1.0f);
  ASSERT_EQ(sphere.Sweep(loaded.world(), {5, 5, 0}, {35, 5, 0}), 0);
  const R3xContact* earlier = sphere.Contacts()->stopContact;
  ASSERT_EQ(sphere.Sweep(loaded.world(), {5, 5, 0}, {12, 5, 0}), 0);
  EXPECT_FLOAT_EQ(sphere.Stop()[0], 12.0f);
  EXPECT_EQ(sphere.Contacts()->stopContact, earlier);
}

// A post at (8, 2) in the west room stands before the portal.
RoomsSpec WithPost() {
  RoomsSpec spec;
  spec.extraVertexLines = "XYZ 8.0 2.0 0.0\n";
  spec.extraVertices = 1;
  spec.extraObstacles = "  OBSTACLE 100 XY_VERTEX 0 7 NEXTREGION 0 ENDOBSTACLE 100\n";
  spec.extraCount = 1;
  spec.definitions =
      "ACTORDEF ACTORTAG plain NUMACTIONS 1 ACTION 1 NUMLEVELSOFDETAIL 1 LEVELOFDETAIL 1 "
      "NULLSPRITE ENDLEVELOFDETAIL 1 ENDACTION 1 SPHERE 1.0 ENDACTORDEF\n";
  return spec;
}

// A line, an XY edge and an XYZ edge through the one point (8, 2) in the west room.
RoomsSpec WithObstaclesThroughOnePoint() {
  RoomsSpec spec;
  spec.extraVertexLines = "XYZ 8.0 2.0 0.0\n";
  spec.extraVertices = 1;
  spec.extraObstacles =
      "  OBSTACLE 100 XY_LINE 0 7 7 NEXTREGION 0 ENDOBSTACLE 100\n"
      "  OBSTACLE 101 XY_EDGE 0 7 7 NEXTREGION 0 ENDOBSTACLE 101\n"
      "  OBSTACLE 102 XYZ_EDGE 0 7 7 NEXTREGION 0 ENDOBSTACLE 102\n";
  spec.extraCount = 3;
  return spec;
}

TEST(SweepQuery, ObstaclesThroughOnePointStopNothingSweptOrAtRest) {
  LoadedWorld loaded(RoomsWorld(WithObstaclesThroughOnePoint()));
  ASSERT_EQ(loaded.result(), 0);
  FreeSphere sphere(1.0f);
  // Straight through the point, and at rest on it.
  ASSERT_EQ(sphere.Sweep(loaded.world(), {2, 2, 0}, {9, 2, 0}), 0);
  EXPECT_EQ(sphere.Contacts()->count, 0u);
  EXPECT_FLOAT_EQ(sphere.Stop()[0], 9.0f);
  ASSERT_EQ(sphere.Sweep(loaded.world(), {8, 2, 0}, {8, 2, 0}), 0);
  EXPECT_EQ(sphere.Contacts()->count, 0u);
  EXPECT_EQ(sphere.Contacts()->stopContact, nullptr);
}

std::uint32_t CountingFilter(R3xActor*, void* user) {
  ++*static_cast<int*>(user);
  return 0xE02;
}

TEST(SweepQuery, AWallBeforeThePortalStopsWithoutTheSecondRoomBeingTested) {
  LoadedWorld loaded(RoomsWorld(WithPost()));
  ASSERT_EQ(loaded.result(), 0);
  // An actor in the east room on the way: its region is never tested, so it is never asked.
  const R3xPlacement at{15, 2, 0, 0, 0, 0, 0};
  R3xSphereVolume* ball = r3xCreateSphereVolume(1.0f);
  ASSERT_NE(r3xCreateActor(
                loaded.world(), reinterpret_cast<R3xActorDef*>(r3xFindTag(loaded.world(), "plain")),
                nullptr, &at, reinterpret_cast<R3xVolume*>(ball), nullptr, 1.0f, 1.0f, 0),
            nullptr);
  r3xFreeVolumeRecord(reinterpret_cast<R3xVolume*>(ball));
  FreeSphere sphere(1.0f);
  int asked = 0;
  ASSERT_EQ(sphere.Sweep(loaded.world(), {2, 2, 0}, {32, 2, 0}, nullptr, CountingFilter, &asked),
            0);
  EXPECT_EQ(asked, 0);
  const R3xContact* stop = sphere.Contacts()->stopContact;
  ASSERT_NE(stop, nullptr);
  EXPECT_EQ(stop->kind, R3X_OBSTACLE_XY_VERTEX);
  EXPECT_EQ(stop->geometry, &stop->point);
  EXPECT_FLOAT_EQ(stop->point.x, 8.0f);
  EXPECT_NEAR(sphere.Stop()[0], 7.0f - kBackoff, 1e-4f);
  const R3xRegion* west = r3xGetRegion(loaded.world(), 0);
  for (const R3xRegion* region : ContactRegions(sphere.Contacts())) {
    EXPECT_EQ(region, west);
  }
}

TEST(SweepQuery, ContactsComeInTimeOrderWithTheCrossingsWhenAsked) {
  LoadedWorld loaded(RoomsWorld({}));
  ASSERT_EQ(loaded.result(), 0);
  FreeSphere sphere(1.0f);
  // From within the radius of the portal: touch at 0 and, with crossings, its crossing later.
  ASSERT_EQ(sphere.Sweep(loaded.world(), {9.5f, 5, 0}, {15, 5, 0}, PassEverything, nullptr, nullptr,
                         R3X_TEST_CROSS),
            0);
  const R3xContactList* list = sphere.Contacts();
  ASSERT_GE(list->count, 2u);
  for (std::uint32_t i = 1; i < list->count; ++i) {
    const R3xContact* a = list->index[i - 1];
    const R3xContact* b = list->index[i];
    EXPECT_TRUE(a->time < b->time || (a->time == b->time && a->phase <= b->phase));
  }
  bool crossed = false;
  for (std::uint32_t i = 0; i < list->count; ++i) {
    crossed |= list->contacts[i].phase == R3X_CONTACT_CROSS &&
               list->contacts[i].kind == R3X_OBSTACLE_XY_LINE && list->contacts[i].passable == 1;
  }
  EXPECT_TRUE(crossed);
}

TEST(SweepQuery, SetUpFailuresLeaveNoContacts) {
  LoadedWorld loaded(RoomsWorld({}));
  ASSERT_EQ(loaded.result(), 0);
  FreeSphere sphere(1.0f);
  ASSERT_EQ(sphere.Sweep(loaded.world(), {5, 5, 0}, {35, 5, 0}), 0);
  ASSERT_GT(sphere.Contacts()->count, 0u);
  R3xSphereVolume* volume = r3xCreateSphereVolume(1.0f);
  R3xPlacement placement{5, 5, 0, 0, 0, 0, 0};
  const float target[3] = {6, 5, 0};
  for (const float scale : {0.0f, -1.0f}) {
    EXPECT_EQ(r3xSweepActor(loaded.world(), nullptr, reinterpret_cast<R3xVolume*>(volume), scale,
                            &placement, target, nullptr, 0.0f, 0, 0, nullptr, nullptr,
                            sphere.Query(), nullptr, nullptr, nullptr, 0),
              R3X_ERR_FAILED);
    EXPECT_EQ(sphere.Contacts()->count, 0u);
  }
  // A distance without a direction.
  EXPECT_EQ(r3xSweepActor(loaded.world(), nullptr, reinterpret_cast<R3xVolume*>(volume), 1.0f,
                          &placement, nullptr, nullptr, 3.0f, 0, 0, nullptr, nullptr,
                          sphere.Query(), nullptr, nullptr, nullptr, 0),
            R3X_ERR_FAILED);
  EXPECT_EQ(r3xSweepActor(loaded.world(), nullptr, reinterpret_cast<R3xVolume*>(volume), 1.0f,
                          &placement, target, nullptr, 0.0f, 0, 0, nullptr, nullptr, nullptr,
                          nullptr, nullptr, nullptr, 0),
            R3X_ERR_FAILED);
  r3xFreeVolumeRecord(reinterpret_cast<R3xVolume*>(volume));
}

TEST(SweepQuery, AStartInNoRegionFailsWithoutContacts) {
  LoadedWorld loaded(RoomsWorld({}));
  // The loaded world keeps the math tables; an empty world has no tree: no point lies in a region.
  R3xWorld* empty = r3xCreateWorld(nullptr, 0, nullptr);
  FreeSphere sphere(1.0f);
  EXPECT_EQ(sphere.Sweep(empty, {5, 5, 0}, {35, 5, 0}), R3X_ERR_FAILED);
  EXPECT_EQ(sphere.Contacts()->count, 0u);
  EXPECT_EQ(sphere.Contacts()->stopContact, nullptr);
  r3xDestroyWorld(empty);
}

TEST(SweepQuery, AZeroLengthSweepReportsOverlapsAtTimeZeroAndStopsAtTheFirstSolidOne) {
  LoadedWorld loaded(RoomsWorld({}));
  ASSERT_EQ(loaded.result(), 0);
  FreeSphere sphere(1.0f);
  // In the corner by the portal: the portal, the top wall of both rooms and the east room's
  // portal side.
  ASSERT_EQ(sphere.Sweep(loaded.world(), {9.5f, 9.5f, 0}, {9.5f, 9.5f, 0}), 0);
  const R3xContactList* list = sphere.Contacts();
  ASSERT_GE(list->count, 3u);
  for (std::uint32_t i = 0; i < list->count; ++i) {
    EXPECT_EQ(list->contacts[i].time, 0.0f);
    EXPECT_EQ(list->contacts[i].phase, R3X_CONTACT_TOUCH);
  }
  ASSERT_NE(list->stopContact, nullptr);
  EXPECT_EQ(list->stopContact->passable, 0);
  EXPECT_FLOAT_EQ(sphere.Stop()[0], 9.5f);
  EXPECT_FLOAT_EQ(sphere.Stop()[1], 9.5f);
  // Both rooms were looked at.
  const std::vector<R3xRegion*> regions = ContactRegions(list);
  EXPECT_NE(std::find(regions.begin(), regions.end(), r3xGetRegion(loaded.world(), 1)),
            regions.end());
}

// 600 vertices leading into the east room (passable, so the sweep goes on past them) along
// y = 5.1 from x = 1 on.
RoomsSpec WithPassableVertices() {
  RoomsSpec spec;
  constexpr int kCount = 600;
  std::string vertices;
  std::string obstacles;
  for (int i = 0; i < kCount; ++i) {
    vertices += "XYZ " + std::to_string(1.0f + 0.0125f * static_cast<float>(i)) + " 5.1 0.0\n";
    const std::string number = std::to_string(100 + i);
    obstacles += "  OBSTACLE " + number + " XY_VERTEX 0 " + std::to_string(7 + i) +
                 " NEXTREGION 2 ENDOBSTACLE " + number + "\n";
  }
  spec.extraVertexLines = vertices;
  spec.extraVertices = kCount;
  spec.extraObstacles = obstacles;
  spec.extraCount = kCount;
  return spec;
}

TEST(SweepQuery, ASweepGrowsItsContactsPast512InOrderAndKeepsAnEarlierStopReadable) {
  LoadedWorld loaded(RoomsWorld(WithPassableVertices()));
  ASSERT_EQ(loaded.result(), 0);
  FreeSphere sphere(0.5f);
  // A first sweep stops at the west wall.
  ASSERT_EQ(sphere.Sweep(loaded.world(), {5, 2, 0}, {-5, 2, 0}), 0);
  ASSERT_NE(sphere.Contacts()->stopContact, nullptr);
  const std::uint32_t stopSlot =
      static_cast<std::uint32_t>(sphere.Contacts()->stopContact - sphere.Contacts()->contacts);
  // The second passes every vertex and ends before the east wall without stopping.
  ASSERT_EQ(sphere.Sweep(loaded.world(), {0.6f, 5, 0}, {15, 5, 0}), 0);
  const R3xContactList* list = sphere.Contacts();
  EXPECT_FLOAT_EQ(sphere.Stop()[0], 15.0f);
  ASSERT_GT(list->count, 600u);
  EXPECT_GT(list->capacity, 512u);
  // Stale (its record now holds a contact of this sweep) but within the grown array.
  EXPECT_EQ(list->stopContact, list->contacts + stopSlot);
  float lastX = 0.0f;
  for (std::uint32_t i = 1; i < list->count; ++i) {
    EXPECT_LE(list->index[i - 1]->time, list->index[i]->time);
    const R3xContact* contact = list->index[i];
    if (contact->kind == R3X_OBSTACLE_XY_VERTEX) {
      EXPECT_EQ(contact->geometry, &contact->point);
      EXPECT_GT(contact->point.x, lastX);
      lastX = contact->point.x;
    }
  }
  EXPECT_EQ(list->index[list->count], nullptr);
}

// The world's records as a faulty world file could leave them.
TEST(SweepQuery, ANeighbourOutsideTheWorldLeadsNowhereAndCuttingCountsStayWithinTheList) {
  LoadedWorld loaded(RoomsWorld({}));
  ASSERT_EQ(loaded.result(), 0);
  R3xObstacleList* west = r3xGetRegion(loaded.world(), 0)->obstacles;
  ASSERT_EQ(west->obstacles[0].neighbour, 1);
  west->obstacles[0].neighbour = 99;
  west->cuttingCount = 1000;
  FreeSphere sphere(1.0f);
  // From beside the portal (the start sphere overlaps it) towards it: it stops there as a wall.
  ASSERT_EQ(sphere.Sweep(loaded.world(), {9.5f, 5, 0}, {30, 5, 0}), 0);
  ASSERT_NE(sphere.Contacts()->stopContact, nullptr);
  EXPECT_EQ(sphere.Contacts()->stopContact->obstacle, &west->obstacles[0]);
  EXPECT_EQ(sphere.Contacts()->stopContact->passable, 0);
  EXPECT_FLOAT_EQ(sphere.Stop()[0], 9.5f);
  west->obstacles[0].neighbour = 1;
}

TEST(SweepQuery, ACuttingObstacleThatCannotLeadAnywhereFailsTheSweep) {
  LoadedWorld loaded(RoomsWorld(WithPost()));
  ASSERT_EQ(loaded.result(), 0);
  R3xObstacleList* west = r3xGetRegion(loaded.world(), 0)->obstacles;
  // The post made a cutting obstacle: the first of the list.
  std::swap(west->obstacles[0], west->obstacles[west->obstacleCount - 1]);
  FreeSphere sphere(1.0f);
  EXPECT_EQ(sphere.Sweep(loaded.world(), {5, 5, 0}, {30, 5, 0}), R3X_ERR_FAILED);
  std::swap(west->obstacles[0], west->obstacles[west->obstacleCount - 1]);
  EXPECT_EQ(sphere.Sweep(loaded.world(), {5, 5, 0}, {30, 5, 0}), 0);
}

// Candidate regions: a row of rooms that one motion crosses.
TEST(SweepQuery, ASweepReaches128RegionsAndFailsAtThe129th) {
  for (const std::uint32_t rooms : {128u, 129u}) {
    RoomsSpec spec;
    spec.rooms = rooms;
    spec.width = 1.0f;
    LoadedWorld loaded(RoomsWorld(spec));
    ASSERT_EQ(loaded.result(), 0);
    FreeSphere sphere(0.25f);
    const float end = static_cast<float>(rooms) - 0.5f;
    EXPECT_EQ(sphere.Sweep(loaded.world(), {0.5f, 5, 0}, {end, 5, 0}),
              rooms == 128 ? 0 : R3X_ERR_FAILED)
        << rooms;
    EXPECT_FLOAT_EQ(sphere.Stop()[0], end);
  }
}

// The contact list on its own.
class ContactListTest : public ::testing::Test {
 protected:
  ContactListTest() : query_(r3xCreateSweepQuery()) {
    obstacle_.kind = R3X_OBSTACLE_XYZ_VERTEX;
    obstacle_.geometry = vertex_;
  }
  ~ContactListTest() override { r3xDestroySweepQuery(query_); }

  std::int32_t Add(std::int32_t phase, float time) {
    vertex_[0] = time;
    return _r3xAddObstacleContact(query_, phase, nullptr, &obstacle_, R3X_OBSTACLE_XYZ_VERTEX,
                                  vertex_, 0, time, 0);
  }
  R3xContactList* List() const { return r3xGetSweepContacts(query_); }

  R3xSweepQuery* query_;
  R3xObstacle obstacle_{};
  float vertex_[3] = {0, 0, 0};
};

TEST_F(ContactListTest, SortsTouchesBeforeCrossingsAndMergesOlderFirstAtEqualTimes) {
  Add(R3X_CONTACT_CROSS, 2.0f);
  Add(R3X_CONTACT_TOUCH, 2.0f);
  Add(R3X_CONTACT_TOUCH, 1.0f);
  _r3xSortContacts(List(), 0);
  R3xContact** index = List()->index;
  EXPECT_EQ(index[0], &List()->contacts[2]);
  EXPECT_EQ(index[1], &List()->contacts[1]);
  EXPECT_EQ(index[2], &List()->contacts[0]);
  EXPECT_EQ(index[3], nullptr);
  // A later run: a touch at 2 goes after both older contacts at 2, the crossing too; a touch at
  // 0.5 first.
  Add(R3X_CONTACT_TOUCH, 2.0f);
  Add(R3X_CONTACT_TOUCH, 0.5f);
  _r3xSortContacts(List(), 3);
  EXPECT_EQ(index[0], &List()->contacts[4]);
  EXPECT_EQ(index[1], &List()->contacts[2]);
  EXPECT_EQ(index[2], &List()->contacts[1]);
  EXPECT_EQ(index[3], &List()->contacts[0]);
  EXPECT_EQ(index[4], &List()->contacts[3]);
  EXPECT_EQ(index[5], nullptr);
}

TEST_F(ContactListTest, GrowsPast512KeepingOrderOwnPointsAndTheStopContact) {
  // A full list merges its last run without writing past its index.
  for (int i = 0; i < 512; ++i) {
    ASSERT_EQ(Add(R3X_CONTACT_TOUCH, static_cast<float>(1000 - i)), 1);
  }
  _r3xSortContacts(List(), 256);
  List()->stopContact = &List()->contacts[7];
  for (int i = 512; i < 700; ++i) {
    ASSERT_EQ(Add(R3X_CONTACT_TOUCH, static_cast<float>(1000 - i)), 1);
  }
  EXPECT_EQ(List()->capacity, 768u);
  EXPECT_EQ(List()->stopContact, &List()->contacts[7]);
  EXPECT_FLOAT_EQ(List()->stopContact->time, 993.0f);
  _r3xSortContacts(List(), 0);
  for (std::uint32_t i = 0; i < List()->count; ++i) {
    const R3xContact* contact = List()->index[i];
    EXPECT_FLOAT_EQ(contact->time, static_cast<float>(301 + i));
    EXPECT_EQ(contact->geometry, &contact->point);
    EXPECT_FLOAT_EQ(contact->point.x, contact->time);
  }
}

TEST_F(ContactListTest, AFailedGrowthKeepsTheContactsAndFails) {
  for (int i = 0; i < 512; ++i) {
    ASSERT_EQ(Add(R3X_CONTACT_TOUCH, static_cast<float>(i)), 1);
  }
  test_support::FailingMemory failing(0);
  EXPECT_EQ(Add(R3X_CONTACT_TOUCH, 1.0f), -1);
  EXPECT_EQ(List()->count, 512u);
  EXPECT_EQ(List()->capacity, 512u);
}

TEST(SweepQueryMemory, CreationFailsCleanly) {
  for (long after : {0L, 1L, 2L}) {
    test_support::FailingMemory failing(after);
    EXPECT_EQ(r3xCreateSweepQuery(), nullptr);
  }
}

}  // namespace
}  // namespace sweep_test
