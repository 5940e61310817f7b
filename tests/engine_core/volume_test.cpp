#include <gtest/gtest.h>

#include <cstring>

#include "engine/core/sphere_list_internal.h"
#include "engine/r3x.h"
#include "math_tables_fixture.h"
#include "tests/support/failing_memory.h"

namespace {

class VolumeTest : public MathTablesTest {
 protected:
  void TearDown() override {
    r3xDestroyWorld(world_);
    MathTablesTest::TearDown();
  }

  // A unit cube's top face: one edge polygon over four of eight vertices.
  R3xPolyhedronDef* defineCube(const char* tag) {
    for (int i = 0; i < 8; ++i) {
      vertices_[3 * i] = (i & 1) ? 1.0f : -1.0f;
      vertices_[3 * i + 1] = (i & 2) ? 1.0f : -1.0f;
      vertices_[3 * i + 2] = (i & 4) ? 1.0f : -1.0f;
    }
    const int top[4] = {4, 5, 7, 6};
    for (int e = 0; e < 4; ++e) {
      edges_[e] = {R3X_TYPE_XYZ_EDGE, &vertices_[3 * top[e]], &vertices_[3 * top[(e + 1) % 4]],
                   2.0f};
    }
    face_ = {R3X_TYPE_EDGE_POLYGON, 4, edges_, {0.0f, 0.0f, 1.0f}, -1.0f, 1};
    return r3xDefinePolyhedron(world_, tag, 1.75f, 1, &face_, 8, vertices_, 2.0f);
  }

  R3xWorld* world_ = r3xCreateWorld(nullptr, 0, nullptr);
  float vertices_[24] = {};
  R3xXYZEdge edges_[4] = {};
  R3xEdgePolygon face_ = {};
};

// Stands in for an actor: volumes only read an owner's header.
R3xActor* fakeActor(R3xObjectHeader* header) { return reinterpret_cast<R3xActor*>(header); }

TEST_F(VolumeTest, CopiesOfSharedAndSmallRecords) {
  EXPECT_EQ(r3xCopyVolume(world_, nullptr), r3xEmptyVolume());
  EXPECT_EQ(r3xCopyVolume(world_, r3xEmptyVolume()), r3xEmptyVolume());
  EXPECT_EQ(r3xCopyVolume(world_, r3xNoCollisionVolume()), r3xNoCollisionVolume());
  EXPECT_EQ(r3xDestroyVolume(world_, r3xEmptyVolume()), 0);
  EXPECT_EQ(r3xDestroyVolume(world_, r3xNoCollisionVolume()), 0);
  EXPECT_EQ(r3xEmptyVolume()->type, R3X_TYPE_NULL);
  EXPECT_EQ(r3xNoCollisionVolume()->type, R3X_TYPE_NO_COLLISION_VOLUME);

  R3xObjectHeader owner{R3X_TYPE_ACTOR, 0, nullptr, 0, 0};
  R3xSphereVolume* sphere = r3xCreateSphereVolume(2.5f);
  sphere->owner = fakeActor(&owner);
  auto* sphereCopy = reinterpret_cast<R3xSphereVolume*>(
      r3xCopyVolume(world_, reinterpret_cast<R3xVolume*>(sphere)));
  ASSERT_NE(sphereCopy, nullptr);
  EXPECT_NE(sphereCopy, sphere);
  EXPECT_EQ(sphereCopy->type, R3X_TYPE_SPHERE_VOLUME);
  EXPECT_EQ(sphereCopy->radius, 2.5f);
  EXPECT_EQ(sphereCopy->owner, nullptr);

  R3xTwoValueVolume* twoValue = r3xCreateTwoValueVolume(1.0f, 2.0f);
  twoValue->owner = fakeActor(&owner);
  auto* twoValueCopy = reinterpret_cast<R3xTwoValueVolume*>(
      r3xCopyVolume(world_, reinterpret_cast<R3xVolume*>(twoValue)));
  ASSERT_NE(twoValueCopy, nullptr);
  EXPECT_EQ(twoValueCopy->first, 1.0f);
  EXPECT_EQ(twoValueCopy->second, 2.0f);
  EXPECT_EQ(twoValueCopy->owner, nullptr);

  R3xCentredSphereVolume centred{R3X_TYPE_VOLUME_5W, 1.0f, 2.0f, 3.0f, 4.0f};
  auto* centredCopy = reinterpret_cast<R3xCentredSphereVolume*>(
      r3xCopyVolume(world_, reinterpret_cast<R3xVolume*>(&centred)));
  ASSERT_NE(centredCopy, nullptr);
  EXPECT_EQ(std::memcmp(centredCopy, &centred, sizeof centred), 0);

  R3xVolume plane{R3X_TYPE_PLANE};
  EXPECT_EQ(r3xCopyVolume(world_, &plane), nullptr);
  EXPECT_EQ(r3xDestroyVolume(world_, &plane), R3X_ERR_FAILED);

  for (R3xVolume* v :
       {reinterpret_cast<R3xVolume*>(sphereCopy), reinterpret_cast<R3xVolume*>(twoValueCopy),
        reinterpret_cast<R3xVolume*>(centredCopy)}) {
    EXPECT_EQ(r3xDestroyVolume(world_, v), 0);
  }
  EXPECT_EQ(r3xFreeVolumeRecord(reinterpret_cast<R3xVolume*>(sphere)), 0);
  EXPECT_EQ(r3xFreeVolumeRecord(reinterpret_cast<R3xVolume*>(twoValue)), 0);
  EXPECT_EQ(r3xFreeVolumeRecord(nullptr), 0);
}

TEST_F(VolumeTest, RadiusAccessorsWriteOnlyARadiusOfTheRecordAndMarkTheOwner) {
  R3xObjectHeader owner{R3X_TYPE_ACTOR, 0, nullptr, 0, 0};
  R3xSphereVolume sphere{R3X_TYPE_SPHERE_VOLUME, fakeActor(&owner), 1.0f};
  R3xTwoValueVolume twoValue{R3X_TYPE_TWO_VALUE_VOLUME, nullptr, 1.0f, 7.0f};
  R3xCentredSphereVolume centred{R3X_TYPE_VOLUME_5W, 1.0f, 2.0f, 3.0f, 4.0f};

  EXPECT_EQ(r3xSetVolumeRadius(reinterpret_cast<R3xVolume*>(&sphere), 3.0f), 0);
  EXPECT_EQ(sphere.radius, 3.0f);
  EXPECT_EQ(owner.flags, R3X_FLAG_TRANSFORM_DIRTY);
  EXPECT_EQ(r3xGetVolumeRadius(reinterpret_cast<R3xVolume*>(&sphere)), 3.0f);

  EXPECT_EQ(r3xSetVolumeRadius(reinterpret_cast<R3xVolume*>(&twoValue), 5.0f), 0);
  EXPECT_EQ(twoValue.first, 5.0f);
  EXPECT_EQ(twoValue.second, 7.0f);

  EXPECT_EQ(r3xGetVolumeRadius(reinterpret_cast<R3xVolume*>(&centred)), 4.0f);
  EXPECT_EQ(r3xSetVolumeRadius(reinterpret_cast<R3xVolume*>(&centred), 6.0f), 0);
  EXPECT_EQ(centred.radius, 6.0f);
  EXPECT_EQ(centred.y, 2.0f);

  // The shared one-word records have no radius to write.
  EXPECT_EQ(r3xSetVolumeRadius(r3xEmptyVolume(), 9.0f), R3X_ERR_FAILED);
  EXPECT_EQ(r3xSetVolumeRadius(r3xNoCollisionVolume(), 9.0f), R3X_ERR_FAILED);
  EXPECT_EQ(r3xGetVolumeRadius(r3xNoCollisionVolume()), 0.0f);

  R3xPolyhedronDef* cube = defineCube("CUBE");
  ASSERT_NE(cube, nullptr);
  auto* instance = reinterpret_cast<R3xVolume*>(cube->defaultInstance);
  EXPECT_EQ(r3xSetVolumeRadius(instance, 9.0f), R3X_ERR_FAILED);
  EXPECT_EQ(cube->defaultInstance->header.slot, 0);
  EXPECT_STREQ(cube->header.tag, "CUBE");
}

TEST_F(VolumeTest, APolyhedronOwnsItsGeometryAndIsFoundByItsTag) {
  R3xPolyhedronDef* cube = defineCube("CUBE");
  ASSERT_NE(cube, nullptr);
  EXPECT_EQ(cube->header.refCount, 1);
  EXPECT_EQ(r3xFindTag(world_, "CUBE"), &cube->header);
  EXPECT_EQ(cube->defaultInstance->scale, 2.0f);
  EXPECT_EQ(cube->defaultInstance->definition, cube);
  EXPECT_EQ(world_->polyhedra.count, 1u);

  // Changing the caller's geometry afterwards leaves the definition alone.
  std::memset(vertices_, 0, sizeof vertices_);
  edges_[0].first = nullptr;
  const R3xEdgePolygon& face = cube->faces[0];
  ASSERT_EQ(face.edgeCount, 4);
  EXPECT_NE(face.edges, edges_);
  const int top[4] = {4, 5, 7, 6};
  for (int e = 0; e < 4; ++e) {
    EXPECT_EQ(face.edges[e].first, cube->vertices + 3 * top[e]);
    EXPECT_EQ(face.edges[e].second, cube->vertices + 3 * top[(e + 1) % 4]);
  }
  EXPECT_EQ(face.edges[0].first[0], -1.0f);
  EXPECT_EQ(face.edges[0].first[2], 1.0f);

  EXPECT_EQ(defineCube("CUBE"), cube);
  EXPECT_EQ(world_->polyhedronDefs.count, 1u);
}

TEST_F(VolumeTest, APolyhedronWhoseEdgesLeaveTheVertexArrayIsRefused) {
  const std::uint32_t defsBefore = world_->polyhedronDefs.count;
  for (int e = 0; e < 4; ++e) {
    edges_[e] = {R3X_TYPE_XYZ_EDGE, &vertices_[0], &vertices_[3], 1.0f};
  }
  face_ = {R3X_TYPE_EDGE_POLYGON, 4, edges_, {0.0f, 0.0f, 1.0f}, 0.0f, 1};
  edges_[2].second = &vertices_[24];
  EXPECT_EQ(r3xDefinePolyhedron(world_, "BAD", 1.0f, 1, &face_, 8, vertices_, 1.0f), nullptr);
  edges_[2].second = &vertices_[1];
  EXPECT_EQ(r3xDefinePolyhedron(world_, "BAD", 1.0f, 1, &face_, 8, vertices_, 1.0f), nullptr);
  EXPECT_EQ(world_->polyhedronDefs.count, defsBefore);
  EXPECT_EQ(world_->polyhedra.count, 0u);
  EXPECT_EQ(r3xFindTag(world_, "BAD"), nullptr);
}

TEST_F(VolumeTest, ATagHeldByAnotherKindOfObjectGivesNoDefinition) {
  const float centre[3] = {0.0f, 0.0f, 0.0f};
  const float radius = 1.0f;
  ASSERT_NE(r3xCreateSphereListDef(world_, "SHAPE", 1.0f, 1, centre, &radius, 1.0f), nullptr);
  EXPECT_EQ(defineCube("SHAPE"), nullptr);
  ASSERT_NE(defineCube("BOX"), nullptr);
  EXPECT_EQ(r3xCreateSphereListDef(world_, "BOX", 1.0f, 1, centre, &radius, 1.0f), nullptr);
}

TEST_F(VolumeTest, PolyhedronInstancesAreCountedAndHoldTheirDefinition) {
  R3xPolyhedronDef* cube = defineCube("CUBE");
  R3xPolyhedron* a = r3xCreatePolyhedron(world_, cube);
  ASSERT_NE(a, nullptr);
  ASSERT_EQ(r3xSetPolyhedronTag(world_, a, "A"), 0);
  ASSERT_EQ(r3xSetPolyhedronScale(a, 3.0f), 0);
  auto* b =
      reinterpret_cast<R3xPolyhedron*>(r3xCopyVolume(world_, reinterpret_cast<R3xVolume*>(a)));
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->scale, 3.0f);
  EXPECT_EQ(b->header.tag, nullptr);
  EXPECT_EQ(cube->header.refCount, 3);

  EXPECT_EQ(r3xDestroyPolyhedronDef(world_, cube), R3X_ERR_FAILED);
  EXPECT_EQ(r3xFindTag(world_, "CUBE"), &cube->header);
  // Only the definition destroys its default instance.
  EXPECT_EQ(r3xDestroyPolyhedron(world_, cube->defaultInstance), R3X_ERR_DEFAULT_INSTANCE);
  EXPECT_EQ(cube->header.refCount, 3);

  EXPECT_EQ(r3xDestroyVolume(world_, reinterpret_cast<R3xVolume*>(a)), 0);
  EXPECT_EQ(r3xDestroyPolyhedron(world_, b), 0);
  EXPECT_EQ(cube->header.refCount, 1);
  EXPECT_EQ(world_->polyhedra.count, 1u);
  EXPECT_EQ(r3xDestroyPolyhedronDef(world_, cube), 0);
  EXPECT_EQ(world_->polyhedra.count, 0u);
  EXPECT_EQ(world_->polyhedronDefs.count, 0u);
  EXPECT_EQ(r3xFindTag(world_, "CUBE"), nullptr);
}

TEST_F(VolumeTest, RenamingAnEnteredInstanceEntersItUnderTheNewTag) {
  R3xPolyhedronDef* cube = defineCube("CUBE");
  R3xPolyhedron* instance = r3xCreatePolyhedron(world_, cube);
  ASSERT_EQ(r3xSetPolyhedronTag(world_, instance, "FIRST"), 0);
  // An instance is made untagged, so the first name does not enter it.
  EXPECT_EQ(r3xFindTag(world_, "FIRST"), nullptr);
  ASSERT_EQ(r3xAddTag(world_, &instance->header), 0);
  ASSERT_EQ(r3xSetPolyhedronTag(world_, instance, "SECOND"), 0);
  EXPECT_EQ(r3xFindTag(world_, "SECOND"), &instance->header);
  EXPECT_EQ(r3xFindTag(world_, "FIRST"), nullptr);
  EXPECT_EQ(r3xDestroyPolyhedron(world_, instance), 0);
  EXPECT_EQ(r3xFindTag(world_, "SECOND"), nullptr);
}

TEST_F(VolumeTest, ASphereListFollowsItsOwner) {
  const float centres[6] = {1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 2.0f};
  const float radii[2] = {0.5f, 0.25f};
  R3xSphereListDef* definition =
      r3xCreateSphereListDef(world_, "HULL", 3.0f, 2, centres, radii, 1.0f);
  ASSERT_NE(definition, nullptr);
  EXPECT_EQ(definition->defaultInstance->owner, nullptr);
  EXPECT_EQ(r3xFindTag(world_, "HULL"), &definition->header);

  R3xObjectHeader owner{R3X_TYPE_ACTOR, 0, nullptr, 0, 0};
  definition->defaultInstance->owner = fakeActor(&owner);
  auto* list = reinterpret_cast<R3xSphereList*>(
      r3xCopyVolume(world_, reinterpret_cast<R3xVolume*>(definition->defaultInstance)));
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->owner, nullptr);
  EXPECT_EQ(definition->header.refCount, 2);

  float rotation[9];
  r3xAnglesToMatrix(128.0f, 0.0f, 0.0f, rotation);
  const float position[3] = {10.0f, 20.0f, 30.0f};
  float out[3];
  ASSERT_EQ(_r3xSphereWorldPosition(list, 0, position, rotation, 1.0f, out), 0);
  EXPECT_NEAR(out[0], 10.0f, 1e-6);
  EXPECT_NEAR(out[1], 21.0f, 1e-6);
  EXPECT_NEAR(out[2], 30.0f, 1e-6);

  ASSERT_EQ(r3xSetSphereListScale(list, 2.0f), 0);
  EXPECT_EQ(r3xGetSphereListScale(list), 2.0f);
  ASSERT_EQ(_r3xSphereWorldPosition(list, 1, position, rotation, 1.5f, out), 0);
  EXPECT_NEAR(out[2], 36.0f, 1e-5);
  float radius = 0.0f;
  ASSERT_EQ(_r3xSphereWorldRadius(list, 1, 1.5f, &radius), 0);
  EXPECT_FLOAT_EQ(radius, 0.75f);
  ASSERT_EQ(r3xGetSphereCenter(list, 1, out), 0);
  EXPECT_EQ(out[2], 2.0f);

  EXPECT_EQ(r3xGetSphereCenter(list, 2, out), R3X_ERR_FAILED);
  EXPECT_EQ(_r3xSphereWorldRadius(list, 2, 1.0f, &radius), R3X_ERR_FAILED);
  EXPECT_EQ(_r3xSphereWorldPosition(list, 2, position, rotation, 1.0f, out), R3X_ERR_FAILED);

  EXPECT_EQ(r3xDestroySphereListDef(world_, definition), R3X_ERR_FAILED);
  EXPECT_EQ(r3xDestroySphereList(world_, definition->defaultInstance), R3X_ERR_DEFAULT_INSTANCE);
  EXPECT_EQ(r3xDestroySphereList(world_, list), 0);
  EXPECT_EQ(r3xDestroySphereListDef(world_, definition), 0);
  EXPECT_EQ(world_->sphereLists.count, 0u);
}

TEST_F(VolumeTest, DestroyingTheWorldTakesInstancesBeforeTheirDefinitions) {
  R3xPolyhedronDef* cube = defineCube("CUBE");
  ASSERT_NE(r3xCreatePolyhedron(world_, cube), nullptr);
  const float centre[3] = {0.0f, 0.0f, 0.0f};
  const float radius = 1.0f;
  R3xSphereListDef* list = r3xCreateSphereListDef(world_, nullptr, 1.0f, 1, centre, &radius, 1.0f);
  ASSERT_NE(r3xCreateSphereList(world_, list), nullptr);
  // The sanitizer's leak check tells whether everything went.
  EXPECT_EQ(r3xDestroyWorld(world_), 0);
  world_ = nullptr;
}

TEST_F(VolumeTest, AFailedAllocationLeavesNothingBehind) {
  for (long after = 0;; ++after) {
    R3xPolyhedronDef* cube = nullptr;
    R3xSphereListDef* list = nullptr;
    long asked = 0;
    {
      test_support::FailingMemory failing(after);
      cube = defineCube("CUBE");
      const float centre[3] = {0.0f, 0.0f, 0.0f};
      const float radius = 1.0f;
      list = r3xCreateSphereListDef(world_, "LIST", 1.0f, 1, centre, &radius, 1.0f);
      asked = failing.Asked();
    }
    if (cube == nullptr) {
      EXPECT_EQ(world_->polyhedronDefs.count, 0u) << after;
      EXPECT_EQ(world_->polyhedra.count, 0u) << after;
      EXPECT_EQ(r3xFindTag(world_, "CUBE"), nullptr) << after;
    }
    if (list == nullptr) {
      EXPECT_EQ(world_->sphereListDefs.count, 0u) << after;
      EXPECT_EQ(world_->sphereLists.count, 0u) << after;
      EXPECT_EQ(r3xFindTag(world_, "LIST"), nullptr) << after;
    }
    if (cube != nullptr) {
      ASSERT_EQ(r3xDestroyPolyhedronDef(world_, cube), 0);
    }
    if (list != nullptr) {
      ASSERT_EQ(r3xDestroySphereListDef(world_, list), 0);
    }
    if (asked <= after) {
      EXPECT_NE(cube, nullptr);
      EXPECT_NE(list, nullptr);
      break;
    }
  }
}

}  // namespace
