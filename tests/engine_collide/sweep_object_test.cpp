#include <gtest/gtest.h>

#include <vector>

#include "engine/collide/sweep_query.h"
#include "engine/r3x.h"
#include "sweep_world.h"
#include "tests/support/failing_memory.h"

namespace sweep_test {
namespace {

// A cube of half-size 1, a pair of unit spheres at x = +-1, a gem sprite with a sphere volume of
// 0.5 at its centre, an actor definition without a part and one showing the gem.
const char kShapes[] =
    "POLYHEDRONDEFINITION TAG cube BOUNDINGRADIUS 1.7321 SCALEFACTOR 1.0 NUMVERTICES 8\n"
    "  XYZ -1.0 -1.0 -1.0 XYZ 1.0 -1.0 -1.0 XYZ 1.0 1.0 -1.0 XYZ -1.0 1.0 -1.0\n"
    "  XYZ -1.0 -1.0 1.0 XYZ 1.0 -1.0 1.0 XYZ 1.0 1.0 1.0 XYZ -1.0 1.0 1.0\n"
    "  NUMFACES 6\n"
    "  FACE 1 NORMALABCD 0.0 0.0 -1.0 -1.0 NUMVERTICES 4 VERTEXLIST 1 2 3 4 ENDFACE 1\n"
    "  FACE 2 NORMALABCD 0.0 0.0 1.0 -1.0 NUMVERTICES 4 VERTEXLIST 8 7 6 5 ENDFACE 2\n"
    "  FACE 3 NORMALABCD 0.0 -1.0 0.0 -1.0 NUMVERTICES 4 VERTEXLIST 5 6 2 1 ENDFACE 3\n"
    "  FACE 4 NORMALABCD 1.0 0.0 0.0 -1.0 NUMVERTICES 4 VERTEXLIST 6 7 3 2 ENDFACE 4\n"
    "  FACE 5 NORMALABCD 0.0 1.0 0.0 -1.0 NUMVERTICES 4 VERTEXLIST 7 8 4 3 ENDFACE 5\n"
    "  FACE 6 NORMALABCD -1.0 0.0 0.0 -1.0 NUMVERTICES 4 VERTEXLIST 8 5 1 4 ENDFACE 6\n"
    "ENDPOLYHEDRONDEFINITION\n"
    "SPHERELISTDEFINITION TAG pair BOUNDINGRADIUS 2.0 SCALEFACTOR 1.0 NUMSPHERES 2\n"
    "  SPHERE 1.0 0.0 0.0 1.0\n"
    "  SPHERE -1.0 0.0 0.0 1.0\n"
    "ENDSPHERELISTDEFINITION\n"
    "3DSPRITEDEF 3DSPRITETAG gem NUMVERTICES 3\n"
    "  XYZ 0.0 0.0 0.0 XYZ 0.1 0.0 0.0 XYZ 0.0 0.1 0.0\n"
    "  NUMBSPNODES 1\n"
    "  BSPNODE 1 NORMALABCD 0.0 0.0 1.0 0.0 NUMVERTICES 3 VERTEXLIST 1 2 3\n"
    "    RENDERMETHOD SOLIDFILLCONSTANT RENDERINFO PEN 17 ENDRENDERINFO FRONTTREE 0 BACKTREE 0 "
    "ENDBSPNODE 1\n"
    "  SPHERE 0.5\n"
    "END3DSPRITEDEF\n"
    "ACTORDEF ACTORTAG plain NUMACTIONS 1 ACTION 1 NUMLEVELSOFDETAIL 1 LEVELOFDETAIL 1 "
    "NULLSPRITE ENDLEVELOFDETAIL 1 ENDACTION 1 SPHERE 1.0 ENDACTORDEF\n"
    "ACTORDEF ACTORTAG carrier NUMACTIONS 1 ACTION 1 NUMLEVELSOFDETAIL 1 LEVELOFDETAIL 1 "
    "3DSPRITE gem ENDLEVELOFDETAIL 1 ENDACTION 1 SPHERE 1.0 ENDACTORDEF\n";

std::string ShapesWorld() {
  RoomsSpec spec;
  spec.definitions = kShapes;
  return RoomsWorld(spec);
}

struct Record {
  std::vector<R3xContact> contacts;
  int filterCalls = 0;
  std::uint32_t filterAnswer = 0xE02;
};

std::uint32_t RecordingFilter(R3xActor*, void* user) {
  auto* record = static_cast<Record*>(user);
  ++record->filterCalls;
  return record->filterAnswer;
}

// Passes everything but solid obstacles, recording every contact reported.
std::int32_t RecordingHit(R3xContact* contact, void* user, std::int32_t* pass,
                          std::int32_t* remaining, float* backoff) {
  static_cast<Record*>(user)->contacts.push_back(*contact);
  *pass = 1;
  *remaining = 1;
  *backoff = 0.0f;
  return 0;
}

std::vector<R3xContact> ObjectContacts(const Record& record) {
  std::vector<R3xContact> objects;
  for (const R3xContact& contact : record.contacts) {
    if (contact.contactClass == R3X_CONTACT_OBJECT) {
      objects.push_back(contact);
    }
  }
  return objects;
}

class SweepObjects : public ::testing::Test {
 protected:
  SweepObjects()
      : loaded_(ShapesWorld()),
        sphere_(r3xCreateSphereVolume(1.0f)),
        query_(r3xCreateSweepQuery()) {}
  ~SweepObjects() override {
    r3xDestroySweepQuery(query_);
    r3xFreeVolumeRecord(Volume(sphere_));
  }

  R3xWorld* World() const { return loaded_.world(); }
  static R3xVolume* Volume(void* volume) { return static_cast<R3xVolume*>(volume); }
  R3xActorDef* Definition(const char* tag) const {
    return reinterpret_cast<R3xActorDef*>(r3xFindTag(World(), tag));
  }
  R3xVolume* Shape(const char* tag) const {
    R3xObjectHeader* found = r3xFindTag(World(), tag);
    if (found->type == R3X_TYPE_POLYHEDRON_DEF) {
      return Volume(reinterpret_cast<R3xPolyhedronDef*>(found)->defaultInstance);
    }
    return Volume(reinterpret_cast<R3xSphereListDef*>(found)->defaultInstance);
  }
  R3xActor* Make(const char* definition, R3xVolume* volume, float x, float y, float radius) {
    const R3xPlacement at{x, y, 0.0f, 0.0f, 0.0f, 0.0f, 0};
    R3xActor* actor = r3xCreateActor(World(), Definition(definition), nullptr, &at, volume, nullptr,
                                     1.0f, radius, 0);
    EXPECT_NE(actor, nullptr);
    return actor;
  }
  // A free sphere of radius 1 swept to the target, recording.
  std::int32_t Sweep(const std::vector<float>& from, const std::vector<float>& to, Record* record,
                     R3xVolume* volume = nullptr) {
    placement_ = {from[0], from[1], from[2], 0.0f, 0.0f, 0.0f, -1};
    return r3xSweepActor(World(), nullptr, volume != nullptr ? volume : Volume(sphere_), 1.0f,
                         &placement_, to.data(), nullptr, 0.0f, 0, 0, RecordingFilter, RecordingHit,
                         query_, record, stop_, &remaining_, 1);
  }

  LoadedWorld loaded_;
  R3xSphereVolume* sphere_;
  R3xSweepQuery* query_;
  R3xPlacement placement_{};
  float stop_[3] = {};
  float remaining_ = -1.0f;
};

TEST_F(SweepObjects, FilterBitsChooseTheVolumeAndThePart) {
  ASSERT_EQ(loaded_.result(), 0);
  R3xSphereVolume* ball = r3xCreateSphereVolume(1.0f);
  R3xActor* actor = Make("carrier", Volume(ball), 15.0f, 5.0f, 1.0f);
  r3xFreeVolumeRecord(Volume(ball));
  ASSERT_NE(actor, nullptr);
  R3xObjectHeader* part = r3xGetActorPart(actor, 0, 0);
  struct Case {
    std::uint32_t answer;
    bool volume;
    bool part;
  };
  for (const Case& c :
       {Case{0x100, false, false}, Case{0x700, false, false}, Case{0x200, true, false},
        Case{0x400, false, true}, Case{0x800, false, false}, Case{0xE02, true, true}}) {
    Record record;
    record.filterAnswer = c.answer;
    ASSERT_EQ(Sweep({5, 5, 0}, {35, 5, 0}, &record), 0);
    EXPECT_EQ(record.filterCalls, 1) << std::hex << c.answer;
    const std::vector<R3xContact> objects = ObjectContacts(record);
    ASSERT_EQ(objects.size(), static_cast<std::size_t>(c.volume) + c.part) << std::hex << c.answer;
    if (c.volume) {
      EXPECT_EQ(objects[0].target, actor);
      EXPECT_EQ(objects[0].obstacle, nullptr);
      EXPECT_EQ(objects[0].kind, R3X_OBSTACLE_XYZ_VERTEX);
      EXPECT_FLOAT_EQ(objects[0].time, 8.0f);
      EXPECT_EQ(objects[0].passable, 0);
    }
    if (c.part) {
      const R3xContact& contact = objects.back();
      EXPECT_EQ(contact.target, actor);
      EXPECT_EQ(contact.obstacle, part);
      EXPECT_FLOAT_EQ(contact.time, 8.5f);
    }
  }
}

TEST_F(SweepObjects, DefaultCallbacksStopBeforeAnActor) {
  ASSERT_EQ(loaded_.result(), 0);
  R3xSphereVolume* ball = r3xCreateSphereVolume(1.0f);
  R3xActor* actor = Make("plain", Volume(ball), 15.0f, 5.0f, 1.0f);
  r3xFreeVolumeRecord(Volume(ball));
  ASSERT_NE(actor, nullptr);
  placement_ = {5, 5, 0, 0, 0, 0, -1};
  const float target[3] = {35, 5, 0};
  ASSERT_EQ(r3xSweepActor(World(), nullptr, Volume(sphere_), 1.0f, &placement_, target, nullptr,
                          0.0f, 0, 0, nullptr, nullptr, query_, nullptr, stop_, nullptr, 0),
            0);
  EXPECT_NEAR(stop_[0], 13.0f - 0.001f, 1e-4f);
  ASSERT_NE(r3xGetSweepContacts(query_)->stopContact, nullptr);
  EXPECT_EQ(r3xGetSweepContacts(query_)->stopContact->target, actor);
}

TEST_F(SweepObjects, AnActorLinkedIntoTwoRegionsIsTestedOnce) {
  ASSERT_EQ(loaded_.result(), 0);
  R3xSphereVolume* ball = r3xCreateSphereVolume(1.0f);
  R3xActor* actor = Make("plain", Volume(ball), 10.0f, 5.0f, 1.0f);
  r3xFreeVolumeRecord(Volume(ball));
  ASSERT_NE(actor, nullptr);
  ASSERT_GE(actor->regionCount, 1u);
  Record record;
  ASSERT_EQ(Sweep({2, 5, 0}, {35, 5, 0}, &record), 0);
  EXPECT_EQ(record.filterCalls, 1);
  EXPECT_EQ(ObjectContacts(record).size(), 1u);
}

TEST_F(SweepObjects, APolyhedronIsMetOnAFaceOrOnAFaceEdge) {
  ASSERT_EQ(loaded_.result(), 0);
  R3xActor* actor = Make("plain", Shape("cube"), 15.0f, 5.0f, 1.7321f);
  ASSERT_NE(actor, nullptr);
  Record face;
  ASSERT_EQ(Sweep({5, 5, 0}, {35, 5, 0}, &face), 0);
  std::vector<R3xContact> objects = ObjectContacts(face);
  ASSERT_EQ(objects.size(), 1u);
  EXPECT_EQ(objects[0].kind, R3X_OBSTACLE_EDGEPOLYGON);
  EXPECT_EQ(objects[0].parentGeometry, nullptr);
  EXPECT_NEAR(objects[0].time, 8.0f, 1e-4f);
  // Beside the face: the edge at x = 14, y = 6, reached when the centre is 0.5 from it across.
  Record edge;
  ASSERT_EQ(Sweep({5, 6.5f, 0}, {35, 6.5f, 0}, &edge), 0);
  objects = ObjectContacts(edge);
  ASSERT_EQ(objects.size(), 1u);
  EXPECT_EQ(objects[0].kind, R3X_OBSTACLE_XYZ_EDGE);
  ASSERT_NE(objects[0].parentGeometry, nullptr);
  EXPECT_EQ(static_cast<R3xXYZEdge*>(objects[0].geometry)->type, R3X_TYPE_XYZ_EDGE);
  EXPECT_NEAR(objects[0].time, 9.0f - 0.8660254f, 1e-3f);
}

TEST_F(SweepObjects, ASphereListIsMetAtItsEarliestMember) {
  ASSERT_EQ(loaded_.result(), 0);
  R3xActor* actor = Make("plain", Shape("pair"), 15.0f, 5.0f, 2.0f);
  ASSERT_NE(actor, nullptr);
  Record record;
  ASSERT_EQ(Sweep({5, 5, 0}, {35, 5, 0}, &record), 0);
  const std::vector<R3xContact> objects = ObjectContacts(record);
  ASSERT_EQ(objects.size(), 1u);
  EXPECT_EQ(objects[0].kind, R3X_OBSTACLE_XYZ_VERTEX);
  EXPECT_FLOAT_EQ(objects[0].point.x, -1.0f);
  EXPECT_NEAR(objects[0].time, 7.0f, 1e-4f);
}

// A sphere volume is met only where the sphere of the whole list, enlarged by its radius, meets
// it ahead of the list's origin: the actor behind is passed even though the rear member (-1)
// overlaps it.
TEST_F(SweepObjects, ASphereListMeetsASphereVolumeOnlyAheadOfItsOrigin) {
  ASSERT_EQ(loaded_.result(), 0);
  R3xSphereVolume* ball = r3xCreateSphereVolume(1.0f);
  R3xActor* behind = Make("plain", Volume(ball), 4.5f, 5.0f, 1.0f);
  R3xActor* ahead = Make("plain", Volume(ball), 12.0f, 5.0f, 1.0f);
  r3xFreeVolumeRecord(Volume(ball));
  ASSERT_TRUE(behind != nullptr && ahead != nullptr);
  Record record;
  ASSERT_EQ(Sweep({5, 5, 0}, {15, 5, 0}, &record, Shape("pair")), 0);
  EXPECT_EQ(record.filterCalls, 1);
  const std::vector<R3xContact> objects = ObjectContacts(record);
  ASSERT_EQ(objects.size(), 1u);
  EXPECT_EQ(objects[0].target, ahead);
  EXPECT_EQ(objects[0].memberIndex, 0);
  EXPECT_NEAR(objects[0].time, 4.0f, 1e-4f);
}

TEST_F(SweepObjects, AnActorWithoutCollisionIsMetOnlyThroughItsPart) {
  ASSERT_EQ(loaded_.result(), 0);
  R3xActor* actor = Make("carrier", r3xNoCollisionVolume(), 15.0f, 5.0f, 1.0f);
  ASSERT_NE(actor, nullptr);
  Record record;
  ASSERT_EQ(Sweep({5, 5, 0}, {35, 5, 0}, &record), 0);
  const std::vector<R3xContact> objects = ObjectContacts(record);
  ASSERT_EQ(objects.size(), 1u);
  EXPECT_EQ(objects[0].obstacle, r3xGetActorPart(actor, 0, 0));
  EXPECT_FLOAT_EQ(objects[0].time, 8.5f);
}

TEST_F(SweepObjects, ZeroLengthSweepsFindEveryVolumeKindAtTimeZero) {
  ASSERT_EQ(loaded_.result(), 0);
  R3xSphereVolume* ball = r3xCreateSphereVolume(1.0f);
  R3xActor* sphere = Make("plain", Volume(ball), 3.0f, 3.0f, 1.0f);
  r3xFreeVolumeRecord(Volume(ball));
  R3xActor* cube = Make("plain", Shape("cube"), 7.0f, 3.0f, 1.7321f);
  R3xActor* pair = Make("plain", Shape("pair"), 5.0f, 7.0f, 2.0f);
  ASSERT_TRUE(sphere != nullptr && cube != nullptr && pair != nullptr);
  struct Case {
    float x;
    float y;
    R3xActor* actor;
    std::int32_t kind;
  };
  for (const Case& c : {Case{4.5f, 3.0f, sphere, R3X_OBSTACLE_XYZ_VERTEX},
                        Case{5.5f, 3.0f, cube, R3X_OBSTACLE_EDGEPOLYGON},
                        Case{5.0f, 5.5f, pair, R3X_OBSTACLE_XYZ_VERTEX}}) {
    Record record;
    ASSERT_EQ(Sweep({c.x, c.y, 0}, {c.x, c.y, 0}, &record), 0);
    const std::vector<R3xContact> objects = ObjectContacts(record);
    ASSERT_EQ(objects.size(), 1u) << c.x << " " << c.y;
    EXPECT_EQ(objects[0].target, c.actor);
    EXPECT_EQ(objects[0].kind, c.kind);
    EXPECT_EQ(objects[0].time, 0.0f);
  }
}

// At rest across the portal x = 10, the list's front member (0, at 10.5) overlaps both sides of
// the portal and its rear member (1, at 8.5) the sphere at 7. The obstacle tests name no member:
// the west room's portal carries the 0 that every sweep starts with, the east room's (tested
// after the west room's actors) the 1 that the sphere's test left.
TEST_F(SweepObjects, AListAtRestNamesTheMemberOnlyInObjectContacts) {
  ASSERT_EQ(loaded_.result(), 0);
  R3xSphereVolume* ball = r3xCreateSphereVolume(1.0f);
  R3xActor* actor = Make("plain", Volume(ball), 7.0f, 5.0f, 1.0f);
  r3xFreeVolumeRecord(Volume(ball));
  ASSERT_NE(actor, nullptr);
  Record record;
  ASSERT_EQ(Sweep({9.5f, 5, 0}, {9.5f, 5, 0}, &record, Shape("pair")), 0);
  ASSERT_EQ(record.contacts.size(), 3u);
  const R3xContact& west = record.contacts[0];
  const R3xContact& sphere = record.contacts[1];
  const R3xContact& east = record.contacts[2];
  EXPECT_EQ(west.target, r3xGetRegion(World(), 0));
  EXPECT_EQ(west.memberIndex, 0);
  EXPECT_EQ(sphere.target, actor);
  EXPECT_EQ(sphere.memberIndex, 1);
  EXPECT_EQ(east.target, r3xGetRegion(World(), 1));
  EXPECT_EQ(east.memberIndex, 1);
}

TEST_F(SweepObjects, AnActorSweepingItsOwnSphereListMeetsItselfAtOnce) {
  ASSERT_EQ(loaded_.result(), 0);
  R3xActor* actor = Make("plain", Shape("pair"), 5.0f, 5.0f, 2.0f);
  ASSERT_NE(actor, nullptr);
  const float direction[3] = {1, 0, 0};
  float remaining = -1.0f;
  ASSERT_EQ(r3xSweepActor(World(), actor, nullptr, 0.0f, nullptr, nullptr, direction, 10.0f, 0, 0,
                          nullptr, nullptr, query_, nullptr, stop_, &remaining, 1),
            0);
  const R3xContact* stop = r3xGetSweepContacts(query_)->stopContact;
  ASSERT_NE(stop, nullptr);
  EXPECT_EQ(stop->target, actor);
  EXPECT_EQ(stop->time, 0.0f);
  EXPECT_FLOAT_EQ(stop_[0], 5.0f);
  EXPECT_FLOAT_EQ(remaining, 10.0f);
  // Put back where it was, still holding its list.
  EXPECT_FLOAT_EQ(actor->placement.x, 5.0f);
  EXPECT_EQ(reinterpret_cast<R3xSphereList*>(actor->volume)->owner, actor);
}

TEST_F(SweepObjects, TheMoversOwnVolumeAndPartAreMetAtOnceWhenTheFilterAsks) {
  ASSERT_EQ(loaded_.result(), 0);
  R3xActor* actor = Make("carrier", Shape("pair"), 5.0f, 5.0f, 2.0f);
  ASSERT_NE(actor, nullptr);
  const float direction[3] = {1, 0, 0};
  Record record;
  ASSERT_EQ(r3xSweepActor(World(), actor, nullptr, 0.0f, nullptr, nullptr, direction, 10.0f, 0, 0,
                          RecordingFilter, RecordingHit, query_, &record, stop_, nullptr, 0),
            0);
  const std::vector<R3xContact> objects = ObjectContacts(record);
  ASSERT_EQ(objects.size(), 2u);
  for (const R3xContact& contact : objects) {
    EXPECT_EQ(contact.target, actor);
    EXPECT_EQ(contact.time, 0.0f);
    EXPECT_EQ(contact.memberIndex, 0);
  }
  EXPECT_EQ(objects[0].obstacle == nullptr ? objects[1].obstacle : objects[0].obstacle,
            r3xGetActorPart(actor, 0, 0));
}

std::uint32_t IgnoreUser(R3xActor* actor, void* user) {
  return actor == user ? R3X_SWEEP_IGNORE : 0xE02;
}

TEST_F(SweepObjects, ASphereListSweepStopsAtItsFirstMemberAndReportsTheRemainingDistance) {
  ASSERT_EQ(loaded_.result(), 0);
  R3xActor* actor = Make("plain", Shape("pair"), 5.0f, 5.0f, 2.0f);
  ASSERT_NE(actor, nullptr);
  const float direction[3] = {1, 0, 0};
  float remaining = -1.0f;
  ASSERT_EQ(r3xSweepActor(World(), actor, nullptr, 0.0f, nullptr, nullptr, direction, 20.0f, 0, 0,
                          IgnoreUser, nullptr, query_, actor, stop_, &remaining, 1),
            0);
  const R3xContact* stop = r3xGetSweepContacts(query_)->stopContact;
  ASSERT_NE(stop, nullptr);
  // The front member (0, at +1) reaches the east wall when the list's centre is at 18.
  EXPECT_EQ(stop->kind, R3X_OBSTACLE_XY_LINE);
  EXPECT_EQ(stop->memberIndex, 0);
  EXPECT_NEAR(stop->time, 13.0f, 1e-4f);
  EXPECT_NEAR(stop_[0], 18.0f - 0.001f, 1e-4f);
  EXPECT_NEAR(remaining, 7.001f, 1e-4f);
  EXPECT_FLOAT_EQ(actor->placement.x, 5.0f);
}

TEST_F(SweepObjects, AFreeSphereListSweepsOnATemporaryActorAndLeavesNoOwner) {
  ASSERT_EQ(loaded_.result(), 0);
  R3xSphereList* list = reinterpret_cast<R3xSphereList*>(Shape("pair"));
  Record record;
  ASSERT_EQ(Sweep({5, 5, 0}, {35, 5, 0}, &record, Volume(list)), 0);
  EXPECT_EQ(list->owner, nullptr);
  ASSERT_FALSE(record.contacts.empty());
  EXPECT_NEAR(stop_[0], 18.0f, 1e-4f);
  EXPECT_EQ(record.contacts.back().memberIndex, 0);
  // Without memory for the temporary actor the sweep fails.
  test_support::FailingMemory failing(0);
  EXPECT_EQ(Sweep({5, 5, 0}, {35, 5, 0}, &record, Volume(list)), R3X_ERR_FAILED);
  EXPECT_EQ(list->owner, nullptr);
}

TEST_F(SweepObjects, ASweepAgainstAListMeetsOnlyTheListedActors) {
  ASSERT_EQ(loaded_.result(), 0);
  R3xSphereVolume* ball = r3xCreateSphereVolume(1.0f);
  R3xActor* near = Make("plain", Volume(ball), 9.0f, 5.0f, 1.0f);
  R3xActor* far = Make("plain", Volume(ball), 15.0f, 5.0f, 1.0f);
  r3xFreeVolumeRecord(Volume(ball));
  ASSERT_TRUE(near != nullptr && far != nullptr);
  R3xActor* const listed[] = {far};
  placement_ = {5, 5, 0, 0, 0, 0, 77};
  const float target[3] = {35, 5, 0};
  ASSERT_EQ(r3xSweepActorAgainstList(World(), nullptr, Volume(sphere_), 1.0f, &placement_, target,
                                     nullptr, 0.0f, 0, nullptr, nullptr, query_, nullptr, stop_,
                                     &remaining_, 1, 1, listed),
            0);
  const R3xContactList* list = r3xGetSweepContacts(query_);
  ASSERT_EQ(list->count, 1u);
  EXPECT_EQ(list->stopContact->target, far);
  EXPECT_NEAR(stop_[0], 13.0f - 0.001f, 1e-4f);
  // No region is looked at: the placement's region word stays.
  EXPECT_EQ(placement_.region, 77);
  // Past every listed actor: the end, and nothing remaining.
  const float away[3] = {5, 9, 0};
  remaining_ = -1.0f;
  ASSERT_EQ(r3xSweepActorAgainstList(World(), nullptr, Volume(sphere_), 1.0f, &placement_, away,
                                     nullptr, 0.0f, 0, nullptr, nullptr, query_, nullptr, stop_,
                                     &remaining_, 1, 1, listed),
            0);
  EXPECT_EQ(list->count, 0u);
  EXPECT_FLOAT_EQ(stop_[1], 9.0f);
  EXPECT_EQ(remaining_, 0.0f);
}

}  // namespace
}  // namespace sweep_test
