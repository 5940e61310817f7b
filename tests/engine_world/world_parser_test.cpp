// World files parsed through the engine's loading entry: each statement's engine records, the
// error messages with their file and line, and INCLUDE.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "engine/core/actor.h"
#include "engine/core/actor_def.h"
#include "engine/core/bitmap.h"
#include "engine/core/directional_light.h"
#include "engine/core/error.h"
#include "engine/core/light.h"
#include "engine/core/light_internal.h"
#include "engine/core/part.h"
#include "engine/core/point_light.h"
#include "engine/core/polyhedron.h"
#include "engine/core/region.h"
#include "engine/core/region_internal.h"
#include "engine/core/simple_sprite.h"
#include "engine/core/sphere_list.h"
#include "engine/core/sprite_2d.h"
#include "engine/core/sprite_3d.h"
#include "engine/core/startup.h"
#include "engine/core/tag_dictionary.h"
#include "engine/core/volume.h"
#include "engine/core/wad.h"
#include "engine/core/world.h"
#include "engine/world/parser.h"
#include "engine/world/world_loading.h"
#include "tests/engine_world/world_fixture.h"
#include "tools/mkdata/bmp_writer.h"
#include "tools/mkdata/pack_writer.h"
#include "tools/mkdata/world_binary_writer.h"

namespace world_test {
namespace {

// A world block around the statements: four vertices and one region "room" with a sphere of
// radius 100 around (5, 5, 5), found by a one-node world tree.
std::string InWorld(const std::string& before, const std::string& after = "") {
  return "QZVWORLD w\nNUMVERTICES 4\nXYZ 0.0 0.0 0.0\nXYZ 10.0 0.0 0.0\nXYZ 10.0 10.0 0.0\n"
         "XYZ 0.0 0.0 10.0\n" +
         before +
         "NUMREGIONS 1\nREGION 1 REGIONTAG room\nNUMRENDERVERTICES 4\nNUMWALLS 1\n"
         "WALL 1 FLOOR NUMVERTICES 3 VERTEXLIST 1 2 3 RENDERMETHOD USERDEFINED 1 ENDWALL 1\n"
         "NUMOBSTACLES 1 NUMCUTTINGOBSTACLES 0\n"
         "OBSTACLE 1 XYZ_VERTEX 0 1 NEXTREGION 0 ENDOBSTACLE 1\n"
         "VISTREE NUMVISNODE 1 NUMVISLIST 1\n"
         "VISNODE 1 NORMALABCD 0.0 0.0 1.0 0.0 VISLISTINDEX 1 FRONTTREE 0 BACKTREE 0 ENDVISNODE 1\n"
         "VISIBLELIST 1 RANGE 1 1 ENDVISIBLELIST 1\nENDVISTREE\nSPHERE 5.0 5.0 5.0 100.0\n"
         "ENDREGION 1\nWORLDTREE NUMWORLDNODES 1\n"
         "WORLDNODE 1 NORMALABCD 0.0 0.0 0.0 0.0 WORLDREGIONTAG 1 FRONTTREE 0 BACKTREE 0 "
         "ENDWORLDNODE 1\nENDWORLDTREE\n" +
         after + "ENDWORLD w\n";
}

const char* kSimpleSprite =
    "SIMPLESPRITEDEF 1 SIMPLESPRITETAG brick NUMFRAMES 1 FRAME \"brick.bmp\" brickbmp "
    "ENDSIMPLESPRITEDEF 1\n";

class WorldParserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    r3xInit();
    world_ = r3xCreateWorld(nullptr, 0, nullptr);
    ASSERT_NE(world_, nullptr);
    mkdata::BmpImage image = mkdata::MakePatternImage(8, 4, 16);
    folder_.Write("brick.bmp", mkdata::BuildBmp(image));
    TakeMessages();
  }
  void TearDown() override {
    r3xDestroyWorld(world_);
    r3xShutdown();
  }

  std::int32_t Load(const std::string& text, R3xPalette* palette = nullptr) {
    const std::string file = folder_.Write("test.wld", text);
    test_support::ScopedWorkingFolder here(folder_.Path());
    return r3xLoadWorldFile(file.c_str(), world_, nullptr, palette, nullptr, nullptr);
  }
  std::int32_t LoadBinary(const std::string& text) {
    const std::string source = folder_.Write("source.wld", text);
    const std::string file = folder_.Write("test.bin", mkdata::EncodeBinaryWorld(source));
    test_support::ScopedWorkingFolder here(folder_.Path());
    return r3xReadWorld(file.c_str(), world_, nullptr);
  }
  template <typename T>
  T* Find(const char* tag) {
    return reinterpret_cast<T*>(r3xFindTag(world_, tag));
  }
  std::string Where(const char* file, int line) const {
    return "\nfile: " + (folder_.Path() / file).string() + "\nline: " + std::to_string(line) + "\n";
  }

  test_support::ScratchFolder folder_;
  R3xWorld* world_ = nullptr;
};

TEST_F(WorldParserTest, FileOfCommentsIsAcceptedAndBuildsNothing) {
  // Files shorter than a precompiled world's header fail before they are parsed.
  EXPECT_EQ(Load("// a world file with nothing in it\n"), 0);
  EXPECT_EQ(world_->lightDefs.count, 0u);
  EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(WorldParserTest, StrayKeywordGivesOneSyntaxErrorWithFileAndLine) {
  EXPECT_EQ(Load("// first\nENDWORLD\nLIGHTDEFINITION\n"), R3X_ERR_FAILED);
  EXPECT_EQ(TakeMessages(),
            std::vector<std::string>{"parser: Syntax error" + Where("test.wld", 2)});
}

TEST_F(WorldParserTest, BinaryFileMessagesNameTheFileWithoutLine) {
  // The name makes the file long enough to be parsed at all.
  EXPECT_EQ(LoadBinary("ENDWORLD a_name_that_makes_the_file_longer\n"), R3X_ERR_FAILED);
  EXPECT_EQ(TakeMessages(),
            std::vector<std::string>{
                "parser: Syntax error\nfile: " + (folder_.Path() / "test.bin").string() + "\n"});
}

TEST_F(WorldParserTest, TokenNoRuleKnowsEndsWithASyntaxErrorAndFreesItsText) {
  // Code 28, a block of user data with a one-byte length, where no statement takes one. Its text
  // is freed even though the automaton does not know the token (the sanitizer build checks).
  std::string file(reinterpret_cast<const char*>(R3X_WLD_MAGIC), sizeof R3X_WLD_MAGIC);
  file += std::string(
      "\x1c\x03\x00\x00\x00"
      "abc",
      8);
  // Past the length of a precompiled world's header, so that the file is parsed.
  file += std::string(32, '\x01');
  const std::string path = folder_.Write("block.bin", file);
  EXPECT_EQ(r3xReadWorld(path.c_str(), world_, nullptr), R3X_ERR_FAILED);
  const std::vector<std::string> messages = TakeMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].rfind("parser: Syntax error", 0), 0u) << messages[0];
}

TEST_F(WorldParserTest, IntegerWhereRealIsRequiredIsASyntaxError) {
  EXPECT_EQ(Load("QZVWORLD w NUMVERTICES 1 XYZ 1 2 3\n"), R3X_ERR_FAILED);
  EXPECT_EQ(TakeMessages().size(), 1u);
}

TEST_F(WorldParserTest, WorldBlockGivesVerticesAndWorldString) {
  ASSERT_EQ(Load("BEGINFILE 7\n" + InWorld("", "USERDATA 3 \"abc\"\n")), 0)
      << ::testing::PrintToString(TakeMessages());
  ASSERT_EQ(world_->vertexCount, 4u);
  EXPECT_EQ(world_->vertices[3], 10.0f);
  EXPECT_EQ(world_->vertices[11], 10.0f);
  EXPECT_STREQ(static_cast<const char*>(world_->worldString), "abc");
  EXPECT_EQ(world_->regions.count, 1u);
}

TEST_F(WorldParserTest, SimpleSpriteDefinitionLoadsItsFrames) {
  ASSERT_EQ(Load("SIMPLESPRITEDEF SIMPLESPRITETAG anim NUMFRAMES 2 FRAME \"brick.bmp\" one "
                 "BMINFO two \"brick.bmp\" CURRENTFRAME 2 SLEEP 40 SKIPFRAMES ON "
                 "ENDSIMPLESPRITEDEF\n"),
            0)
      << ::testing::PrintToString(TakeMessages());
  auto* definition = Find<R3xSimpleSpriteDef>("anim");
  ASSERT_NE(definition, nullptr);
  ASSERT_EQ(definition->frameCount, 2u);
  EXPECT_EQ(r3xGetBitmapWidth(definition->frames[0]), 8);
  EXPECT_EQ(definition->defaultInstance->startFrame, 1u);
  EXPECT_EQ(definition->defaultInstance->delay, 40u);
  EXPECT_EQ(definition->defaultInstance->frameValue, 1);
}

TEST_F(WorldParserTest, RenderInfoFillsTheSurfaceAndScalesUVsByTheTexture) {
  ASSERT_EQ(Load(std::string(kSimpleSprite) +
                 "3DSPRITEDEF 3DSPRITETAG tri NUMVERTICES 3 XYZ 0.0 0.0 0.0 XYZ 1.0 0.0 0.0 "
                 "XYZ 0.0 1.0 0.0 NUMBSPNODES 1 BSPNODE 1 NUMVERTICES 3 VERTEXLIST 1 2 3 "
                 "RENDERMETHOD USERDEFINED 3 RENDERINFO PEN 300 BRIGHTNESS 0.5 SCALEDAMBIENT 0.25 "
                 "SIMPLESPRITEINST DEFINITION brick SKIPFRAMES OFF ENDSIMPLESPRITEINST "
                 "UVORIGIN 1.0 2.0 3.0 UAXIS 2.0 16.0 0.0 0.0 VAXIS 1.0 0.0 8.0 0.0 "
                 "UV 0.0 0.0 UV 1.0 0.0 UV 0.0 1.0 TWOSIDED ENDRENDERINFO "
                 "FRONTTREE 0 BACKTREE 0 ENDBSPNODE 1 END3DSPRITEDEF\n"),
            0)
      << ::testing::PrintToString(TakeMessages());
  auto* definition = Find<R3x3DSpriteDef>("tri");
  ASSERT_NE(definition, nullptr);
  ASSERT_EQ(definition->faceCount, 1u);
  const R3xSurface& surface = definition->defaultInstance->surfaces[0];
  EXPECT_EQ(surface.type, R3X_TYPE_SURFACE);
  EXPECT_EQ(surface.renderMethod, 0x80000002u);
  EXPECT_EQ(surface.pen, 300u & 0xFFu);
  EXPECT_EQ(surface.intensity, 0.5f);
  EXPECT_EQ(surface.ambientScale, 0.25f);
  ASSERT_NE(surface.texture, nullptr);
  EXPECT_EQ(surface.texture->type, R3X_TYPE_SIMPLE_SPRITE);
  EXPECT_EQ(reinterpret_cast<R3xSimpleSprite*>(surface.texture)->frameValue, 0);
  EXPECT_EQ(surface.uvOrigin[2], 3.0f);
  // The brick is 8 x 4: axes divided by the size, UV pairs multiplied by it.
  EXPECT_EQ(surface.uAxis[0], 8.0f / 8.0f);
  EXPECT_EQ(surface.vAxis[1], 8.0f / 4.0f);
  ASSERT_NE(surface.uv, nullptr);
  EXPECT_EQ(surface.uv[2], 8.0f);
  EXPECT_EQ(surface.uv[5], 4.0f);
  EXPECT_EQ(surface.twoSided, 1u);
  // No NORMALABCD: the plane comes from the first three vertices, n = (P0-P1) x (P2-P1).
  const R3xIndexedPolygon& face = definition->faces[0].polygon;
  EXPECT_EQ(face.vertexIndexes[2], 2);
  EXPECT_FLOAT_EQ(face.normal[2], -1.0f);
  EXPECT_FLOAT_EQ(face.distance, 0.0f);
  EXPECT_EQ(definition->radius, 1.0f);
}

// Three parallel faces facing +x at x = 1 (the root), 2 (its front) and 0 (its back), and a
// fourth face whose numbers lead nowhere.
const char kFaceTree[] =
    "3DSPRITEDEF 3DSPRITETAG slabs NUMVERTICES 9 "
    "XYZ 0.0 0.0 0.0 XYZ 0.0 1.0 0.0 XYZ 0.0 0.0 1.0 XYZ 1.0 0.0 0.0 XYZ 1.0 1.0 0.0 "
    "XYZ 1.0 0.0 1.0 XYZ 2.0 0.0 0.0 XYZ 2.0 1.0 0.0 XYZ 2.0 0.0 1.0 NUMBSPNODES 4 "
    "BSPNODE 1 NORMALABCD 1.0 0.0 0.0 -1.0 NUMVERTICES 3 VERTEXLIST 4 5 6 RENDERMETHOD SOLIDFILL "
    "FRONTTREE 2 BACKTREE 3 ENDBSPNODE 1 "
    "BSPNODE 2 NORMALABCD 1.0 0.0 0.0 -2.0 NUMVERTICES 3 VERTEXLIST 7 8 9 RENDERMETHOD SOLIDFILL "
    "FRONTTREE 0 BACKTREE 0 ENDBSPNODE 2 "
    "BSPNODE 3 NUMVERTICES 3 VERTEXLIST 1 3 2 RENDERMETHOD SOLIDFILL "
    "FRONTTREE 0 BACKTREE 0 ENDBSPNODE 3 "
    "BSPNODE 4 NORMALABCD 1.0 0.0 0.0 -1.0 NUMVERTICES 3 VERTEXLIST 4 5 6 RENDERMETHOD SOLIDFILL "
    "FRONTTREE 5 BACKTREE 9 ENDBSPNODE 4 "
    "END3DSPRITEDEF\n";

// The faces a viewer sees, in the order the display draws them: walking from the root, a face
// the viewer is in front of comes after its back subtree and before its front subtree; one the
// viewer is behind is not drawn, and its front subtree comes first.
void DrawOrder(const R3x3DSpriteFace* face, const float* viewer, std::vector<std::uint32_t>& out) {
  if (face == nullptr) {
    return;
  }
  const float* n = face->polygon.normal;
  if (n[0] * viewer[0] + n[1] * viewer[1] + n[2] * viewer[2] > -face->polygon.distance) {
    DrawOrder(face->back, viewer, out);
    out.push_back(face->index);
    DrawOrder(face->front, viewer, out);
  } else {
    DrawOrder(face->front, viewer, out);
    DrawOrder(face->back, viewer, out);
  }
}

TEST_F(WorldParserTest, SpriteFacesKeepTheirTreeForBackToFrontDrawing) {
  ASSERT_EQ(Load(kFaceTree), 0) << ::testing::PrintToString(TakeMessages());
  auto* definition = Find<R3x3DSpriteDef>("slabs");
  ASSERT_NE(definition, nullptr);
  ASSERT_EQ(definition->faceCount, 4u);
  const R3x3DSpriteFace* faces = definition->faces;
  EXPECT_EQ(definition->root, &faces[0]);
  for (std::uint32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(faces[i].index, i);
    EXPECT_EQ(faces[i].polygon.type, R3X_TYPE_3D_SPRITE_FACE);
  }
  EXPECT_EQ(faces[0].front, &faces[1]);
  EXPECT_EQ(faces[0].back, &faces[2]);
  EXPECT_EQ(faces[1].front, nullptr);
  // 5 and 9 lie beyond NUMBSPNODES: no child.
  EXPECT_EQ(faces[3].front, nullptr);
  EXPECT_EQ(faces[3].back, nullptr);
  // Face 3's plane comes from its vertices: x = 0 facing +x.
  EXPECT_FLOAT_EQ(faces[2].polygon.normal[0], 1.0f);

  struct View {
    float x;
    std::vector<std::uint32_t> order;
  } views[] = {{5.0f, {2, 0, 1}}, {1.5f, {2, 0}}, {0.5f, {2}}, {-5.0f, {}}};
  for (const View& view : views) {
    const float viewer[3] = {view.x, 0.25f, 0.25f};
    std::vector<std::uint32_t> order;
    DrawOrder(definition->root, viewer, order);
    EXPECT_EQ(order, view.order) << view.x;
  }
}

TEST_F(WorldParserTest, SpriteFacesThatCycleAreRefused) {
  std::string text = kFaceTree;
  const std::string from = "FRONTTREE 0 BACKTREE 0 ENDBSPNODE 2";
  text.replace(text.find(from), from.size(), "FRONTTREE 0 BACKTREE 1 ENDBSPNODE 2");
  EXPECT_EQ(Load(text), R3X_ERR_FAILED);
  const std::vector<std::string> messages = TakeMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].rfind("could not create 3D sprite definition", 0), 0u) << messages[0];
  EXPECT_EQ(Find<R3x3DSpriteDef>("slabs"), nullptr);
}

TEST_F(WorldParserTest, TwoDSpriteDefinitionHasItsViewsAndDefaultRadius) {
  ASSERT_EQ(Load(std::string(kSimpleSprite) +
                 "2DSPRITEDEF 2DSPRITETAG tree NUMFRAMES 1 SPRITESIZE 2.0 3.0 NUMPITCHES 1 "
                 "PITCH 1 PITCHCAP 90 TOPORBOTTOMVIEW NUMHEADINGS 2 "
                 "HEADING 1 HEADINGCAP 180 FRAME \"brick.bmp\" a ENDHEADING 1 "
                 "HEADING 2 HEADINGCAP 360 FRAME \"brick.bmp\" b ENDHEADING 2 ENDPITCH 1 "
                 "RENDERMETHOD USERDEFINED 1 SPHERE 2.5 END2DSPRITEDEF\n"),
            0)
      << ::testing::PrintToString(TakeMessages());
  auto* definition = Find<R3x2DSpriteDef>("tree");
  ASSERT_NE(definition, nullptr);
  ASSERT_EQ(definition->viewSetCount, 1u);
  EXPECT_EQ(definition->viewSets[0].pitchCap, 90.0f);
  EXPECT_EQ(definition->viewSets[0].topOrBottomView, 1u);
  ASSERT_EQ(definition->viewSets[0].viewCount, 2u);
  EXPECT_EQ(definition->viewSets[0].views[1].headingCap, 360.0f);
  EXPECT_EQ(definition->depthScale, 1.0f);
  // sqrt(ey + max(cz^2 + ex, cx^2 + ez)) with c = 0, s = (2, 3), k = 1: sqrt(4 + 9).
  EXPECT_FLOAT_EQ(definition->radius, std::sqrt(13.0f));
  EXPECT_FLOAT_EQ(r3xGetVolumeRadius(definition->defaultInstance->volume), 2.5f);
}

TEST_F(WorldParserTest, LightsReachTheirRegions) {
  ASSERT_EQ(Load(InWorld("LIGHTDEFINITION TAG lamp NUMFRAMES 2 LIGHTLEVELS 0.5 1.0 CURRENTFRAME 2 "
                         "COLOR 1.0 0.0 0.0 COLOR 0.0 -0.0 1.0 ENDLIGHTDEFINITION\n",
                         "AMBIENTLIGHT TAG glow LIGHT lamp NUMREGIONS 1 REGIONS 1 "
                         "ENDAMBIENTLIGHT\n"
                         "DIRECTIONALLIGHT TAG sun NORMAL 0.0 3.0 4.0 LIGHT lamp STATIC "
                         "NUMREGIONS 1 REGIONS 1 ENDDIRECTIONALLIGHT\n"
                         "POINTLIGHT TAG bulb XYZ 5.0 5.0 5.0 LIGHT lamp RADIUSOFINFLUENCE 2.0 "
                         "STATIC ENDPOINTLIGHT\n")),
            0)
      << ::testing::PrintToString(TakeMessages());
  auto* definition = Find<R3xLightDef>("lamp");
  ASSERT_NE(definition, nullptr);
  EXPECT_EQ(definition->frameCount, 2u);
  ASSERT_NE(definition->colours, nullptr);
  EXPECT_EQ(definition->colours[5], 1.0f);
  EXPECT_EQ(definition->defaultInstance->currentFrame, 1u);
  EXPECT_EQ(_r3xLightShownFrame(definition->defaultInstance), 1u);
  auto* glow = Find<R3xLight>("glow");
  ASSERT_NE(glow, nullptr);
  EXPECT_EQ(_r3xMeshGeometry(r3xGetRegion(world_, 0))->ambient, glow);
  auto* sun = Find<R3xDirectionalLight>("sun");
  ASSERT_NE(sun, nullptr);
  EXPECT_FLOAT_EQ(sun->direction[1], 0.6f);
  EXPECT_FLOAT_EQ(sun->direction[2], 0.8f);
  EXPECT_NE(sun->header.flags & R3X_FLAG_STATIC, 0u);
  auto* bulb = Find<R3xPointLight>("bulb");
  ASSERT_NE(bulb, nullptr);
  EXPECT_EQ(bulb->radius, 2.0f);
  EXPECT_EQ(bulb->regionCount, 1u);
}

TEST_F(WorldParserTest, ShapesAndVolumes) {
  ASSERT_EQ(Load("SPHERELISTDEFINITION TAG balls BOUNDINGRADIUS 3.0 SCALEFACTOR 1.0 NUMSPHERES 2 "
                 "SPHERE 0.0 0.0 1.0 0.5 SPHERE 0.0 0.0 2.0 0.25 ENDSPHERELISTDEFINITION\n"
                 "POLYHEDRONDEFINITION TAG box BOUNDINGRADIUS 2.0 SCALEFACTOR 1.0 NUMVERTICES 3 "
                 "XYZ 0.0 0.0 0.0 XYZ 1.0 0.0 0.0 XYZ 0.0 1.0 0.0 NUMFACES 1 "
                 "FACE 1 NUMVERTICES 3 VERTEXLIST 1 2 3 ENDFACE 1 ENDPOLYHEDRONDEFINITION\n"
                 "3DSPRITEDEF 3DSPRITETAG a NUMVERTICES 0 NUMBSPNODES 0 "
                 "SPHERELIST DEFINITION balls TAG b1 SCALEFACTOR 2.0 ENDSPHERELIST END3DSPRITEDEF\n"
                 "3DSPRITEDEF 3DSPRITETAG b NUMVERTICES 0 NUMBSPNODES 0 "
                 "POLYHEDRON DEFINITION box ENDPOLYHEDRON END3DSPRITEDEF\n"
                 "3DSPRITEDEF 3DSPRITETAG c NUMVERTICES 0 NUMBSPNODES 0 SPRITEVOLUMEONLY "
                 "BOUNDINGRADIUS 4.0 END3DSPRITEDEF\n"),
            0)
      << ::testing::PrintToString(TakeMessages());
  auto* balls = Find<R3xSphereListDef>("balls");
  ASSERT_NE(balls, nullptr);
  auto* box = Find<R3xPolyhedronDef>("box");
  ASSERT_NE(box, nullptr);
  ASSERT_EQ(box->faceCount, 1u);
  EXPECT_EQ(box->faces[0].edgeCount, 3);
  const R3xVolume* a = Find<R3x3DSpriteDef>("a")->defaultInstance->volume;
  ASSERT_EQ(a->type, R3X_TYPE_SPHERE_LIST);
  EXPECT_EQ(reinterpret_cast<const R3xSphereList*>(a)->scale, 2.0f);
  EXPECT_EQ(Find<R3x3DSpriteDef>("b")->defaultInstance->volume->type, R3X_TYPE_POLYHEDRON);
  EXPECT_EQ(Find<R3x3DSpriteDef>("c")->defaultInstance->volume, r3xNoCollisionVolume());
  EXPECT_EQ(Find<R3x3DSpriteDef>("c")->radius, 4.0f);
}

TEST_F(WorldParserTest, ActorDefinitionAndInstance) {
  ASSERT_EQ(Load(InWorld(std::string(kSimpleSprite),
                         "ACTORDEF 1 ACTORTAG tank ACTIVEGEOMETRY CALLBACK none NUMACTIONS 1 "
                         "ACTION 1 NUMLEVELSOFDETAIL 2 "
                         "LEVELOFDETAIL 1 SIMPLESPRITE brick MAXDISTANCE 10.0 ENDLEVELOFDETAIL 1 "
                         "LEVELOFDETAIL 2 NULLSPRITE DISTANCE 20.0 ENDLEVELOFDETAIL 2 ENDACTION 1 "
                         "SPHERE 1.5 ENDACTORDEF 1\n"
                         "ACTORINST 1 DEFINITION tank TAG t1 ACTIVE CURRENTACTION 1 "
                         "LOCATION 1 5.0 5.0 5.0 10 0 0 BOUNDINGRADIUS 2.0 SCALEFACTOR 1.0 "
                         "ENDACTORINST 1\n")),
            0)
      << ::testing::PrintToString(TakeMessages());
  auto* definition = Find<R3xActorDef>("tank");
  ASSERT_NE(definition, nullptr);
  ASSERT_EQ(definition->actionCount, 1u);
  ASSERT_EQ(definition->actions[0].levelCount, 2u);
  const R3xLodLevel* levels = definition->actions[0].levels;
  EXPECT_EQ(levels[0].switchBackSquared, 0.0f);
  EXPECT_EQ(levels[0].upperSquared, 100.0f);
  EXPECT_EQ(levels[1].switchBackSquared, 100.0f);
  EXPECT_EQ(levels[1].upperSquared, 400.0f);
  EXPECT_EQ(levels[1].partIndex, 1);
  auto* actor = Find<R3xActor>("t1");
  ASSERT_NE(actor, nullptr);
  R3xPlacement placement{};
  r3xGetActorPlacement(actor, &placement);
  EXPECT_EQ(placement.x, 5.0f);
  EXPECT_EQ(placement.heading, 10.0f);
  EXPECT_EQ(r3xGetActorRadius(actor), 2.0f);
  EXPECT_EQ(r3xGetActorPart(actor, 0, 0)->type, R3X_TYPE_SIMPLE_SPRITE);
  EXPECT_EQ(r3xGetActorPart(actor, 0, 1), r3xNullPart());
}

TEST_F(WorldParserTest, ProgressIsReportedAfterEachDefinition) {
  struct Calls {
    std::vector<std::uint32_t> counts;
  } calls;
  const std::string file =
      folder_.Write("p.wld",
                    "LIGHTDEFINITION TAG a NUMFRAMES 1 LIGHTLEVELS 1.0 ENDLIGHTDEFINITION\n"
                    "LIGHTDEFINITION TAG b NUMFRAMES 1 LIGHTLEVELS 1.0 ENDLIGHTDEFINITION\n");
  EXPECT_EQ(r3xLoadWorldFile(
                file.c_str(), world_, nullptr, nullptr,
                [](void* user, std::int32_t phase, std::uint32_t done, std::uint32_t total) {
                  EXPECT_EQ(phase, 1);
                  EXPECT_EQ(total, 0u);
                  static_cast<Calls*>(user)->counts.push_back(done);
                },
                &calls),
            0);
  EXPECT_EQ(calls.counts, (std::vector<std::uint32_t>{1, 2}));
}

// Each error of the language on a minimal bad input: its message and the line it is seen on.
struct ErrorCase {
  const char* name;
  std::string text;
  std::string message;
  int line;
};

void PrintTo(const ErrorCase& error, std::ostream* out) { *out << error.name; }

class WorldParserErrorTest : public WorldParserTest,
                             public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(WorldParserErrorTest, StopsWithTheMessage) {
  EXPECT_EQ(Load(GetParam().text), R3X_ERR_FAILED);
  EXPECT_EQ(TakeMessages(),
            std::vector<std::string>{GetParam().message + Where("test.wld", GetParam().line)});
}

const std::string kLight =
    "LIGHTDEFINITION TAG lamp NUMFRAMES 1 LIGHTLEVELS 1.0 ENDLIGHTDEFINITION\n";

INSTANTIATE_TEST_SUITE_P(
    Messages, WorldParserErrorTest,
    ::testing::Values(
        ErrorCase{"WorldVertexCount", "QZVWORLD w NUMVERTICES 2 XYZ 0.0 0.0 0.0\nENDWORLD w",
                  "NUMVERTICES is invalid", 2},
        ErrorCase{"FrameCount",
                  "SIMPLESPRITEDEF SIMPLESPRITETAG s NUMFRAMES 3 FRAME \"brick.bmp\" a\n"
                  "FRAME \"brick.bmp\" b ENDSIMPLESPRITEDEF\n",
                  "NUMFRAMES is invalid", 3},
        ErrorCase{"MissingBitmap",
                  "SIMPLESPRITEDEF SIMPLESPRITETAG s NUMFRAMES 1\nFRAME \"none.bmp\" a b",
                  "cannot define FRAME a from bitmap none.bmp in BMP file", 2},
        ErrorCase{"MissingMipBitmap",
                  "SIMPLESPRITEDEF SIMPLESPRITETAG s NUMFRAMES 1 BMINFO a \"x.bmp\"\n",
                  "cannot define BMINFO a in BMP file", 2},
        ErrorCase{"HeadingFrames",
                  std::string(kSimpleSprite) +
                      "2DSPRITEDEF 2DSPRITETAG t NUMFRAMES 1 SPRITESIZE 1.0 1.0 NUMPITCHES 1 "
                      "PITCH PITCHCAP 1 NUMHEADINGS 2 HEADING HEADINGCAP 1 FRAME \"brick.bmp\" a "
                      "ENDHEADING HEADING HEADINGCAP 2 ENDHEADING ENDPITCH "
                      "RENDERMETHOD USERDEFINED 1 END2DSPRITEDEF",
                  "incorrect number of FRAMEs", 2},
        ErrorCase{"UVPairs",
                  "3DSPRITEDEF 3DSPRITETAG t NUMVERTICES 3 XYZ 0.0 0.0 0.0 XYZ 1.0 0.0 0.0 "
                  "XYZ 0.0 1.0 0.0 NUMBSPNODES 1 BSPNODE NUMVERTICES 3 VERTEXLIST 1 2 3\n"
                  "RENDERMETHOD USERDEFINED 1 RENDERINFO UV 0.0 0.0 UV 0.0 0.0 UV 0.0 0.0 "
                  "UV 0.0 0.0 ENDRENDERINFO",
                  "wrong number of UV pairs", 2},
        ErrorCase{"RgbPenWithoutPalette",
                  "2DSPRITEDEF 2DSPRITETAG t NUMFRAMES 0 SPRITESIZE 1.0 1.0 NUMPITCHES 0\n"
                  "RENDERMETHOD USERDEFINED 1 RENDERINFO RGBPEN 1 2 3 ENDRENDERINFO",
                  "no palette specified for RGB values", 2},
        ErrorCase{"NoSimpleSpriteDefinition",
                  "2DSPRITEDEF 2DSPRITETAG t NUMFRAMES 0 SPRITESIZE 1.0 1.0 NUMPITCHES 0\n"
                  "RENDERMETHOD USERDEFINED 1 RENDERINFO SIMPLESPRITEINST TAG nothing "
                  "ENDSIMPLESPRITEINST",
                  "no simple sprite definition for nothing", 2},
        ErrorCase{"FlatFace",
                  "3DSPRITEDEF 3DSPRITETAG t NUMVERTICES 3 XYZ 0.0 0.0 0.0 XYZ 1.0 0.0 0.0 "
                  "XYZ 2.0 0.0 0.0 NUMBSPNODES 1 BSPNODE NUMVERTICES 3 VERTEXLIST 1 2 3 "
                  "RENDERMETHOD USERDEFINED 1 FRONTTREE 0 BACKTREE 0 ENDBSPNODE\nEND3DSPRITEDEF",
                  "_r3xCompute3DSpritePlane: zero length normal!", 2},
        ErrorCase{"TwoCornerFace",
                  "3DSPRITEDEF 3DSPRITETAG t NUMVERTICES 2 XYZ 0.0 0.0 0.0 XYZ 1.0 0.0 0.0 "
                  "NUMBSPNODES 1 BSPNODE NUMVERTICES 2 VERTEXLIST 1 2 "
                  "RENDERMETHOD USERDEFINED 1 FRONTTREE 0 BACKTREE 0 ENDBSPNODE\nEND3DSPRITEDEF",
                  "_r3xCompute3DSpritePlane: Not a Valid Polygon!", 2},
        ErrorCase{"FaceVertexOutOfRange",
                  "3DSPRITEDEF 3DSPRITETAG t NUMVERTICES 1 XYZ 0.0 0.0 0.0 NUMBSPNODES 1 "
                  "BSPNODE NUMVERTICES 3 VERTEXLIST 1 2 9 RENDERMETHOD USERDEFINED 1 "
                  "FRONTTREE 0 BACKTREE 0 ENDBSPNODE\nEND3DSPRITEDEF",
                  "vertex number 2 is out of range", 2},
        ErrorCase{"BspNodeCount",
                  "3DSPRITEDEF 3DSPRITETAG t NUMVERTICES 0 NUMBSPNODES 1\nEND3DSPRITEDEF",
                  "NUMBSPNODES is invalid", 2},
        ErrorCase{"PitchCount",
                  "2DSPRITEDEF 2DSPRITETAG t NUMFRAMES 0 SPRITESIZE 1.0 1.0 NUMPITCHES 1\n"
                  "RENDERMETHOD USERDEFINED 1 END2DSPRITEDEF",
                  "NUMPITCHES is invalid", 2},
        ErrorCase{"No3DSprite",
                  "ACTORDEF ACTORTAG a NUMACTIONS 1 ACTION NUMLEVELSOFDETAIL 1\n"
                  "LEVELOFDETAIL 3DSPRITE nothing",
                  "no definition for 3D sprite: nothing", 2},
        ErrorCase{"No2DSprite",
                  "ACTORDEF ACTORTAG a NUMACTIONS 1 ACTION NUMLEVELSOFDETAIL 1\n"
                  "LEVELOFDETAIL 2DSPRITE nothing",
                  "no definition for 2D sprite: nothing", 2},
        ErrorCase{"NoSimpleSprite",
                  "ACTORDEF ACTORTAG a NUMACTIONS 1 ACTION NUMLEVELSOFDETAIL 1\n"
                  "LEVELOFDETAIL SIMPLESPRITE nothing",
                  "no definition for simple sprite: nothing", 2},
        ErrorCase{"MixedLevels",
                  std::string(kSimpleSprite) +
                      "ACTORDEF ACTORTAG a NUMACTIONS 1 ACTION NUMLEVELSOFDETAIL 2 "
                      "LEVELOFDETAIL SIMPLESPRITE brick ENDLEVELOFDETAIL LEVELOFDETAIL "
                      "RENDERMETHOD USERDEFINED 1 ENDLEVELOFDETAIL ENDACTION\nENDACTORDEF",
                  "invalid LOD somewhere in action list", 3},
        ErrorCase{"ActionCount",
                  "ACTORDEF ACTORTAG a NUMACTIONS 2 ACTION NUMLEVELSOFDETAIL 1 "
                  "LEVELOFDETAIL NULLSPRITE ENDLEVELOFDETAIL ENDACTION\nENDACTORDEF",
                  "NUMACTIONS is invalid", 2},
        ErrorCase{"LevelCount",
                  "ACTORDEF ACTORTAG a NUMACTIONS 1 ACTION NUMLEVELSOFDETAIL 2 "
                  "LEVELOFDETAIL NULLSPRITE ENDLEVELOFDETAIL ENDACTION\nENDACTORDEF",
                  "NUMLEVELSOFDETAIL is invalid", 2},
        ErrorCase{"NoActorDefinition",
                  "ACTORINST DEFINITION nothing SPRITESIZE 1.0 1.0\nENDACTORINST",
                  "no definition for actor: nothing", 2},
        ErrorCase{"ActorWithoutVolume",
                  "ACTORDEF ACTORTAG a NUMACTIONS 1 ACTION NUMLEVELSOFDETAIL 1 "
                  "LEVELOFDETAIL NULLSPRITE ENDLEVELOFDETAIL ENDACTION ENDACTORDEF\n"
                  "ACTORINST DEFINITION a SPRITESIZE 0.0 0.0\nENDACTORINST",
                  "could not create volume", 3},
        ErrorCase{"ActorOutsideEveryRegion",
                  "ACTORDEF ACTORTAG a NUMACTIONS 1 ACTION NUMLEVELSOFDETAIL 1 "
                  "LEVELOFDETAIL NULLSPRITE ENDLEVELOFDETAIL ENDACTION ENDACTORDEF\n"
                  "ACTORINST DEFINITION a TAG b SPRITESIZE 1.0 1.0\nENDACTORINST",
                  "could not create instance of a for actor: b", 3},
        ErrorCase{"LightLevelCount",
                  "LIGHTDEFINITION TAG l NUMFRAMES 2 LIGHTLEVELS 1.0\nENDLIGHTDEFINITION",
                  "NUMFRAMES is invalid", 2},
        ErrorCase{"ColourCount",
                  "LIGHTDEFINITION TAG l NUMFRAMES 2 LIGHTLEVELS 1.0 1.0 COLOR 1.0 1.0 1.0\n"
                  "ENDLIGHTDEFINITION",
                  "number of COLOR settings must equal NUMFRAMES (or zero)", 2},
        ErrorCase{"NegativeColour",
                  "LIGHTDEFINITION TAG l NUMFRAMES 1 LIGHTLEVELS 1.0 COLOR 1.0 -1.0 1.0\n",
                  "color values must be positive", 1},
        ErrorCase{"LightOfABitmap",
                  std::string(kSimpleSprite) + "AMBIENTLIGHT LIGHT brickbmp\nNUMREGIONS 0",
                  "no definition for light: brickbmp", 2},
        ErrorCase{"RegionListCount",
                  kLight + "AMBIENTLIGHT LIGHT lamp NUMREGIONS 2 REGIONS 1\nENDAMBIENTLIGHT",
                  "NUMREGIONS is invalid", 3},
        ErrorCase{"AmbientRegionMissing",
                  kLight + "AMBIENTLIGHT LIGHT lamp NUMREGIONS 1 REGIONS 4\nENDAMBIENTLIGHT",
                  "could not set ambient light for region", 3},
        ErrorCase{"DirectionalRegionMissing",
                  kLight + "DIRECTIONALLIGHT NORMAL 0.0 0.0 1.0 LIGHT lamp NUMREGIONS 1 "
                           "REGIONS 4\nENDDIRECTIONALLIGHT",
                  "could not add directional light to region", 3},
        ErrorCase{"PointLightOutside",
                  kLight + "POINTLIGHT XYZ 0.0 0.0 0.0 LIGHT lamp RADIUSOFINFLUENCE 1.0\n"
                           "ENDPOINTLIGHT",
                  "could not create point light", 3},
        ErrorCase{"SphereCount",
                  "SPHERELISTDEFINITION TAG s BOUNDINGRADIUS 1.0 SCALEFACTOR 1.0 NUMSPHERES 2 "
                  "SPHERE 0.0 0.0 0.0 1.0\nENDSPHERELISTDEFINITION",
                  "NUMSPHERES is invalid", 2},
        ErrorCase{"FaceCount",
                  "POLYHEDRONDEFINITION TAG p BOUNDINGRADIUS 1.0 SCALEFACTOR 1.0 NUMVERTICES 0 "
                  "NUMFACES 1\nENDPOLYHEDRONDEFINITION",
                  "NUMFACES is invalid", 2},
        ErrorCase{"NoSphereList",
                  "3DSPRITEDEF 3DSPRITETAG t NUMVERTICES 0 NUMBSPNODES 0 SPHERELIST DEFINITION "
                  "nothing\nENDSPHERELIST",
                  "no definition for sphere list: nothing", 2},
        ErrorCase{"NoPolyhedron",
                  "3DSPRITEDEF 3DSPRITETAG t NUMVERTICES 0 NUMBSPNODES 0 POLYHEDRON DEFINITION "
                  "nothing\nENDPOLYHEDRON",
                  "no definition for polyhedron: nothing", 2},
        ErrorCase{"MissingInclude", "INCLUDE \"absent.wld\"    // a longer line\n",
                  "could not open include file: absent.wld", 1}),
    [](const ::testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.name); });

// The file that an INCLUDE names is pushed before the token after its name is read: that
// token comes from the include file, so both definitions load in order.
TEST_F(WorldParserTest, IncludeTakesEffectBeforeTheNextToken) {
  folder_.Write("inc.wld",
                "LIGHTDEFINITION TAG first NUMFRAMES 1 LIGHTLEVELS 1.0 "
                "ENDLIGHTDEFINITION\n");
  ASSERT_EQ(Load("INCLUDE \"inc.wld\"\nLIGHTDEFINITION TAG second NUMFRAMES 1 LIGHTLEVELS 1.0 "
                 "ENDLIGHTDEFINITION\n"),
            0)
      << ::testing::PrintToString(TakeMessages());
  ASSERT_EQ(world_->lightDefs.count, 2u);
  EXPECT_STREQ(reinterpret_cast<R3xObjectHeader*>(world_->lightDefs.slots[0].object)->tag, "first");
  EXPECT_STREQ(reinterpret_cast<R3xObjectHeader*>(world_->lightDefs.slots[1].object)->tag,
               "second");
}

TEST_F(WorldParserTest, IncludeInsideAnArchive) {
  auto bytes = [](const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
  };
  folder_.Write("disk.wld",
                "LIGHTDEFINITION TAG disk NUMFRAMES 1 LIGHTLEVELS 1.0 ENDLIGHTDEFINITION\n");
  const std::string pack = folder_.Write(
      "w.pak",
      mkdata::BuildPack(
          {{"main.wld", bytes("INCLUDE \"inner.wld\"\nLIGHTDEFINITION TAG outer NUMFRAMES 1 "
                              "LIGHTLEVELS 1.0 ENDLIGHTDEFINITION\n")},
           {"inner.wld", bytes("LIGHTDEFINITION TAG inner NUMFRAMES 1 LIGHTLEVELS 1.0 "
                               "ENDLIGHTDEFINITION\n")},
           {"other.wld", bytes("// made on disk\nINCLUDE \"disk.wld\"\n")}},
          mkdata::PackLayout::kHeader));
  R3xWad* wad = r3xOpenWad(pack.c_str(), 8);
  ASSERT_NE(wad, nullptr);
  {
    test_support::ScopedWorkingFolder here(folder_.Path());
    EXPECT_EQ(r3xReadWorld("main.wld", world_, wad), 0) << ::testing::PrintToString(TakeMessages());
    EXPECT_NE(r3xFindTag(world_, "inner"), nullptr);
    EXPECT_NE(r3xFindTag(world_, "outer"), nullptr);
    // Inside an archive, include files come only from the archive.
    EXPECT_EQ(r3xReadWorld("other.wld", world_, wad), R3X_ERR_FAILED);
  }
  EXPECT_EQ(TakeMessages().size(), 1u);
  EXPECT_EQ(r3xFindTag(world_, "disk"), nullptr);
  r3xCloseWad(wad);
}

TEST_F(WorldParserTest, BinaryWorldBuildsTheSameRecords) {
  ASSERT_EQ(LoadBinary(InWorld(std::string(kSimpleSprite) + kLight,
                               "AMBIENTLIGHT TAG glow LIGHT lamp NUMREGIONS 1 REGIONS 1 "
                               "ENDAMBIENTLIGHT\n")),
            0)
      << ::testing::PrintToString(TakeMessages());
  EXPECT_EQ(world_->vertexCount, 4u);
  EXPECT_EQ(world_->regions.count, 1u);
  EXPECT_NE(Find<R3xSimpleSpriteDef>("brick"), nullptr);
  EXPECT_EQ(_r3xMeshGeometry(r3xGetRegion(world_, 0))->ambient, Find<R3xLight>("glow"));
}

TEST_F(WorldParserTest, MissingFileFailsInThePrecompiledReaderWithoutMessage) {
  EXPECT_EQ(r3xReadWorld("/nonexistent/x.wld", world_, nullptr), R3X_ERR_FAILED);
  EXPECT_TRUE(TakeMessages().empty());
}

}  // namespace
}  // namespace world_test
