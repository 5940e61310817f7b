#include <gtest/gtest.h>

#include <vector>

#include "engine/collide/sphere_list_member.h"
#include "engine/collide/sphere_list_overlap.h"
#include "engine/collide/sphere_list_sweep.h"
#include "engine/collide/sweep_query.h"
#include "engine/collide/sweep_result.h"
#include "engine/collide/test_options.h"
#include "engine/r3x.h"
#include "test_shapes.h"
#include "tests/engine_core/math_tables_fixture.h"

namespace {

constexpr std::uint32_t kMode = R3X_TEST_TOUCH | R3X_SWEEP_EXACT | R3X_TEST_CROSS | R3X_TEST_LEAVE |
                                R3X_TEST_LEAVE_TIME | R3X_TEST_BOX;
constexpr std::int32_t kUntouchedIndex = 7;

struct Member {
  Vec3 centre;
  float radius;
};

// A sphere list attached to an actor at the origin (heading 0, scale 1 unless changed) and a
// query that moves it.
class SphereListTest : public MathTablesTest {
 protected:
  void build(float boundingRadius, std::vector<Member> members) {
    centres_.clear();
    radii_.clear();
    for (const Member& m : members) {
      centres_.insert(centres_.end(), {m.centre.x, m.centre.y, m.centre.z});
      radii_.push_back(m.radius);
    }
    definition_ = {};
    definition_.radius = boundingRadius;
    definition_.sphereCount = static_cast<std::uint32_t>(members.size());
    definition_.centres = centres_.data();
    definition_.radii = radii_.data();
    list_ = {};
    list_.scale = 1.0f;
    list_.definition = &definition_;
    list_.owner = &actor_;
    actor_ = {};
    actor_.scale = 1.0f;
    r3xBuildObjectRotation(&actor_, 1.0f, &actor_.placement);
    query_ = {};
    query_.sphereList = &list_;
    query_.memberIndex = kUntouchedIndex;
  }

  void place(Vec3 position, float heading) {
    actor_.placement = {position.x, position.y, position.z, heading, 0, 0, 0};
    r3xBuildObjectRotation(&actor_, actor_.scale, &actor_.placement);
  }

  // The list's origin moves from where the actor stands to end.
  void move(Vec3 end) {
    const Vec3 start{actor_.placement.x, actor_.placement.y, actor_.placement.z};
    query_.segment = makeSegment(start, end, definition_.radius * list_.scale * actor_.scale);
  }

  // The list swept against the wall x = d, facing -x.
  R3xSweepResult sweepWall(float d) {
    const R3xPlane wall{R3X_TYPE_PLANE, -1, 0, 0, d};
    R3xSweepResult result{};
    _r3xSweepSphereListPlane(&query_, &wall, kMode, &result);
    return result;
  }

  std::vector<float> centres_;
  std::vector<float> radii_;
  R3xSphereListDef definition_{};
  R3xSphereList list_{};
  R3xActor actor_{};
  R3xSweepQuery query_{};
};

TEST_F(SphereListTest, MembersArePlacedByTheActorsRotationAndBothScales) {
  build(3, {{{2, 0, 0}, 1}, {{0, 0, 1}, 0.5f}});
  actor_.scale = 2.0f;
  list_.scale = 0.75f;
  place({10, 20, 30}, 128);
  move({10, 30, 30});
  query_.memberMargin = 0.25f;
  R3xSweepSegment member{};
  _r3xSphereListMemberPosition(&query_, 0, &member);
  // Heading 128 faces +y; s = 1.5.
  EXPECT_NEAR(member.start[0], 10.0f, 1e-5f);
  EXPECT_NEAR(member.start[1], 23.0f, 1e-5f);
  EXPECT_NEAR(member.start[2], 30.0f, 1e-5f);
  EXPECT_NEAR(member.end[1], 33.0f, 1e-5f);
  EXPECT_EQ(member.radius, 1.75f);
  EXPECT_EQ(member.distance, 10.0f);
  EXPECT_EQ(member.direction[1], 1.0f);
  _r3xSphereListMemberPosition(&query_, 1, &member);
  EXPECT_NEAR(member.start[2], 31.5f, 1e-5f);
  EXPECT_EQ(member.radius, 1.0f);
}

TEST_F(SphereListTest, OnlyTheFrontMemberReachingAWallNamesItself) {
  // Back member 0, front member 1; the wall x = 10 faces -x.
  build(3, {{{-2, 0, 0}, 1}, {{2, 0, 0}, 1}});
  move({9, 0, 0});
  const R3xSweepResult result = sweepWall(10);
  ASSERT_EQ(result.touch, 1);
  EXPECT_FLOAT_EQ(result.touchTime, 7.0f);
  EXPECT_EQ(query_.memberIndex, 1);
  EXPECT_EQ(result.cross, 0);
  EXPECT_EQ(result.leave, 0);
}

TEST_F(SphereListTest, MembersTouchingAtTheSameTimeNameTheLowerIndex) {
  build(3, {{{0, 2, 0}, 1}, {{0, -2, 0}, 1}, {{0, 0, 2}, 1}});
  move({10, 0, 0});
  const R3xSweepResult result = sweepWall(10);
  ASSERT_EQ(result.touch, 1);
  EXPECT_FLOAT_EQ(result.touchTime, 9.0f);
  EXPECT_EQ(query_.memberIndex, 0);
}

TEST_F(SphereListTest, ABoundingSphereThatMissesEndsTheTestWhateverTheMembersWouldDo) {
  // The member sticks out of a bounding sphere too small for it.
  build(0.5f, {{{5, 0, 0}, 1}});
  move({1, 0, 0});
  const R3xSweepResult result = sweepWall(6);
  EXPECT_EQ(result.touch, 0);
  EXPECT_EQ(query_.memberIndex, kUntouchedIndex);
  const Vec3 vertex{5.5f, 0, 0};
  float time = -1.0f;
  EXPECT_EQ(_r3xSweepSphereListPoint(&query_, vertex.data(), kMode, &time), 0);
  EXPECT_EQ(_r3xSweepSphereListPoint2D(&query_, vertex.data(), kMode, &time), 0);
  EXPECT_EQ(query_.memberIndex, kUntouchedIndex);
}

TEST_F(SphereListTest, AListWithoutMembersCanCrossButNeverTouch) {
  build(1, {});
  move({20, 0, 0});
  const R3xSweepResult result = sweepWall(10);
  EXPECT_EQ(result.touch, 0);
  ASSERT_EQ(result.cross, 1);
  EXPECT_FLOAT_EQ(result.crossTime, 10.0f);
  EXPECT_EQ(query_.memberIndex, kUntouchedIndex);
}

TEST_F(SphereListTest, TheBoundingSpheresStartBehindAndCrossingStandForTheList) {
  build(3, {{{-2, 0, 0}, 1}, {{2, 0, 0}, 1}});
  place({20, 0, 0}, 0);
  move({0, 0, 0});
  // The wall faces -x and the list comes from behind it.
  const R3xSweepResult result = sweepWall(10);
  EXPECT_EQ(result.startsBehind, 1);
  ASSERT_EQ(result.cross, 1);
  EXPECT_FLOAT_EQ(result.crossTime, 10.0f);
  ASSERT_EQ(result.touch, 1);
  // Member 0 leads now: from 18 to the wall at 11.
  EXPECT_FLOAT_EQ(result.touchTime, 7.0f);
  EXPECT_EQ(query_.memberIndex, 0);
  // Both members start wholly behind the wall: neither leaves it.
  EXPECT_EQ(result.leave, 0);
}

TEST_F(SphereListTest, TheListLeavesWhenEveryMemberLeavesAtTheLatestTime) {
  build(3, {{{-2, 0, 0}, 1}, {{2, 0, 0}, 1}});
  place({8, 0, 0}, 0);
  move({20, 0, 0});
  // The wall x = 10 faces -x; the front member starts across it.
  const R3xSweepResult result = sweepWall(10);
  ASSERT_EQ(result.leave, 1);
  // The back member, from 6, is wholly past x = 11 at 5.
  EXPECT_FLOAT_EQ(result.leaveTime, 5.0f);
}

TEST_F(SphereListTest, EdgesAndPolygonsReportTheFeatureOfTheEarliestMember) {
  build(3, {{{-2, 0, 0}, 1}, {{2, 0, 0}, 1}});
  place({0, 2, 5}, 0);
  move({0, 2, -5});
  // The square 0..4 at z = 0: member 1 comes down on its face, member 0 past its edge x = 0.
  Polygon square({kSquare[0], kSquare[1], kSquare[2], kSquare[3]}, {0, 0, 1});
  R3xSweepResult result{};
  _r3xSweepSphereListEdgePolygon(&query_, &square.record, kMode, &result);
  ASSERT_EQ(result.touch, 1);
  EXPECT_FLOAT_EQ(result.touchTime, 4.0f);
  EXPECT_EQ(result.featureKind, R3X_OBSTACLE_EDGEPOLYGON);
  EXPECT_EQ(query_.memberIndex, 1);
  // The edge x = 2 lies in member 1's path; member 0 passes it by 4.
  Edge edge(Vec3{2, 0, 0}, Vec3{2, 4, 0});
  query_.memberIndex = kUntouchedIndex;
  _r3xSweepSphereListEdge(&query_, &edge.record, kMode, &result);
  ASSERT_EQ(result.touch, 1);
  EXPECT_FLOAT_EQ(result.touchTime, 4.0f);
  EXPECT_EQ(result.featureKind, R3X_OBSTACLE_XYZ_EDGE);
  EXPECT_EQ(query_.memberIndex, 1);
  // An XY edge along x = 3 facing +x, crossed sideways by the list moving in -x.
  XYEdge wall(Vec3{3, -10, 0}, Vec3{3, 10, 0});
  place({10, 0, 0}, 0);
  move({0, 0, 0});
  query_.memberIndex = kUntouchedIndex;
  _r3xSweepSphereListEdge2D(&query_, &wall.record, kMode, &result);
  ASSERT_EQ(result.touch, 1);
  EXPECT_FLOAT_EQ(result.touchTime, 4.0f);
  EXPECT_EQ(result.featureKind, R3X_OBSTACLE_XY_EDGE);
  EXPECT_EQ(query_.memberIndex, 0);
  ASSERT_EQ(result.cross, 1);
  EXPECT_FLOAT_EQ(result.crossTime, 7.0f);
}

TEST_F(SphereListTest, VerticesAreMetByTheEarliestMember) {
  build(3, {{{-2, 0, 0}, 1}, {{2, 0, 0}, 1}});
  move({10, 0, 0});
  const Vec3 vertex{8, 0, 0};
  float time = -1.0f;
  ASSERT_EQ(_r3xSweepSphereListPoint(&query_, vertex.data(), kMode, &time), 1);
  EXPECT_FLOAT_EQ(time, 5.0f);
  EXPECT_EQ(query_.memberIndex, 1);
  query_.memberIndex = kUntouchedIndex;
  ASSERT_EQ(_r3xSweepSphereListPoint2D(&query_, vertex.data(), kMode, &time), 1);
  EXPECT_FLOAT_EQ(time, 5.0f);
  EXPECT_EQ(query_.memberIndex, 1);
}

// That they name no member shows in the sweeps' contacts (sweep_object_test.cpp).
TEST_F(SphereListTest, StaticTestsFindOverlappingMembersInTheListsFrame) {
  build(3, {{{2, 0, 0}, 1}, {{-2, 0, 0}, 0.5f}});
  list_.scale = 2.0f;
  place({1, 1, 1}, 128);
  // s = 2: heading 128 puts member 0 at (1, 5, 1) with radius 2, member 1 at (1, -3, 1) with 1.
  const struct {
    Vec3 point;
    float extra;
    std::int32_t expected;
  } points[] = {
      {{1, 6.5f, 1}, 0, 1},
      {{1, 5, 2.5f}, 0, 1},
      {{1, -3.5f, 1}, 0, 1},
      // Within the bounding sphere (radius 6) but beside every member.
      {{5, 1, 1}, 0, 0},
      {{1, -4, 1}, 0, 0},
      {{1, -4, 1}, 0.5f, 1},
      {{1, 7.5f, 1}, 1, 1},
  };
  for (const auto& p : points) {
    EXPECT_EQ(_r3xSphereListHitsPoint(&list_, p.extra, p.point.data()), p.expected)
        << p.point.x << ", " << p.point.y << ", " << p.point.z << " + " << p.extra;
  }
  const Vec3 beside{1, 6.5f, 99};
  EXPECT_EQ(_r3xSphereListHitsPoint2D(&list_, beside.data()), 1);

  const R3xPlane nearWall{R3X_TYPE_PLANE, 0, -1, 0, 6.5f};  // y = 6.5 facing -y
  const R3xPlane farWall{R3X_TYPE_PLANE, 0, -1, 0, 7.5f};
  EXPECT_EQ(_r3xSphereListHitsPlane(&list_, &nearWall), 1);
  EXPECT_EQ(_r3xSphereListHitsPlane(&list_, &farWall), 0);
  XYEdge line(Vec3{-10, 6.5f, 0}, Vec3{10, 6.5f, 0});
  EXPECT_EQ(_r3xSphereListHitsLine2D(&list_, &line.record), 1);
  EXPECT_EQ(_r3xSphereListHitsEdge2D(&list_, &line.record), 1);
  Edge edge(Vec3{-10, 6.5f, 1}, Vec3{10, 6.5f, 1});
  EXPECT_EQ(_r3xSphereListHitsEdge(&list_, &edge.record), 1);
  // The wall y = 5 from x = 1.5 on: member 0's centre lies beside it, within reach of its edge.
  Polygon across({{1.5f, 5, -2}, {1.5f, 5, 4}, {8, 5, 4}, {8, 5, -2}}, {0, -1, 0}, 5);
  EXPECT_EQ(_r3xSphereListHitsEdgePolygon(&list_, &across.record), 1);
}

}  // namespace
