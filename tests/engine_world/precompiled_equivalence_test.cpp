// The same worlds read from their text form and from their precompiled form, as mkdata writes
// it, give the same engine records, except for the defaults the two forms do not share.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "engine/core/actor.h"
#include "engine/core/actor_def.h"
#include "engine/core/bsp.h"
#include "engine/core/directional_light.h"
#include "engine/core/light.h"
#include "engine/core/math_tables.h"
#include "engine/core/math_tables_internal.h"
#include "engine/core/obstacle.h"
#include "engine/core/part.h"
#include "engine/core/point_light.h"
#include "engine/core/polyhedron.h"
#include "engine/core/region.h"
#include "engine/core/region_internal.h"
#include "engine/core/sphere_list.h"
#include "engine/core/sprite_2d.h"
#include "engine/core/sprite_3d.h"
#include "engine/core/tag_dictionary.h"
#include "engine/core/wad.h"
#include "engine/core/world.h"
#include "engine/world/world_loading.h"
#include "tests/support/test_files.h"
#include "tools/mkdata/world_precompiled_writer.h"
#include "world_fixture.h"

namespace world_test {
namespace {

// Two rooms with walls, obstacles of every kind, visibility trees, a sky and a world tree, and
// shapes, sprites, lights and actor definitions that use one another (also the precompiled-world
// fuzz target's seed).
std::string RoomsAndShapes() { return test_support::ReadTestFile(ROOMS_AND_SHAPES_WORLD); }

std::string Text(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Text(const char* format, ...) {
  char line[512];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(line, sizeof line, format, arguments);
  va_end(arguments);
  return line;
}

const char* TagOf(const void* object) {
  const auto* header = static_cast<const R3xObjectHeader*>(object);
  return header == nullptr || header->tag == nullptr ? "-" : header->tag;
}

// What the test compares: everything both forms carry, in a readable form.
class Description {
 public:
  explicit Description(R3xWorld* world) : world_(world) {
    Counts();
    Regions();
    Lights();
    Definitions();
  }
  std::vector<std::string> lines;

 private:
  void Add(std::string line) { lines.push_back(std::move(line)); }

  void Counts() {
    const R3xSlotTable R3xWorld::*tables[] = {
        &R3xWorld::sphereListDefs, &R3xWorld::polyhedronDefs,   &R3xWorld::simpleSpriteDefs,
        &R3xWorld::sprite2DDefs,   &R3xWorld::sprite3DDefs,     &R3xWorld::actorDefs,
        &R3xWorld::sphereLists,    &R3xWorld::polyhedra,        &R3xWorld::simpleSprites,
        &R3xWorld::sprites2D,      &R3xWorld::sprites3D,        &R3xWorld::actors,
        &R3xWorld::bitmaps,        &R3xWorld::lightDefs,        &R3xWorld::lights,
        &R3xWorld::pointLights,    &R3xWorld::directionalLights};
    std::string counts = "counts";
    for (const auto table : tables) {
      counts += Text(" %u", (world_->*table).count);
    }
    Add(counts + Text(" regions %u vertices %u palette %s", world_->regions.count,
                      world_->vertexCount,
                      world_->defaultPalette == nullptr ? "-" : world_->defaultPalette));
  }

  // A surface's fields; a surface without a texture has none in either form.
  static std::string Surface(const R3xSurface& surface, std::uint32_t corners) {
    const bool textured =
        surface.texture != nullptr && surface.texture->type == R3X_TYPE_SIMPLE_SPRITE;
    std::string text = Text(
        "surface %u pen %u %g %g %s origin %g %g %g u %g %g %g v %g %g %g two %u",
        static_cast<unsigned>(surface.renderMethod), surface.pen, surface.intensity,
        surface.ambientScale, textured ? "textured" : "plain", surface.uvOrigin[0],
        surface.uvOrigin[1], surface.uvOrigin[2], surface.uAxis[0], surface.uAxis[1],
        surface.uAxis[2], surface.vAxis[0], surface.vAxis[1], surface.vAxis[2], surface.twoSided);
    for (std::uint32_t i = 0; surface.uv != nullptr && i < 2 * corners; ++i) {
      text += Text(" %g", surface.uv[i]);
    }
    return text;
  }

  std::uint32_t Vertex(const float* vertex) const {
    return static_cast<std::uint32_t>((vertex - world_->vertices) / 3);
  }

  void Obstacle(const R3xObstacle& obstacle) {
    std::string text =
        Text("  obstacle kind %d to %d given %d flags %u data %s", obstacle.kind,
             obstacle.neighbour, obstacle.neighbourGiven, obstacle.flags,
             obstacle.userData == nullptr ? "-" : static_cast<const char*>(obstacle.userData));
    switch (obstacle.kind) {
      case R3X_OBSTACLE_XY_VERTEX:
      case R3X_OBSTACLE_XYZ_VERTEX:
        text += Text(" vertex %u", Vertex(static_cast<const float*>(obstacle.geometry)));
        break;
      case R3X_OBSTACLE_XY_LINE:
      case R3X_OBSTACLE_XY_EDGE: {
        const auto* line = static_cast<const R3xXYLine*>(obstacle.geometry);
        text += Text(" line %d %g %g %g %u %u %g", line->type, line->nx, line->ny, line->offset,
                     Vertex(line->first), Vertex(line->second), line->length);
        break;
      }
      case R3X_OBSTACLE_XYZ_EDGE: {
        const auto* edge = static_cast<const R3xXYZEdge*>(obstacle.geometry);
        text += Text(" edge %u %u %g", Vertex(edge->first), Vertex(edge->second), edge->length);
        break;
      }
      case R3X_OBSTACLE_PLANE: {
        const auto* plane = static_cast<const R3xPlane*>(obstacle.geometry);
        text += Text(" plane %g %g %g %g", plane->a, plane->b, plane->c, plane->d);
        break;
      }
      default: {
        const auto* polygon = static_cast<const R3xEdgePolygon*>(obstacle.geometry);
        text += Text(" polygon %d axis %d plane %g %g %g %g", polygon->edgeCount, polygon->axisCode,
                     polygon->normal[0], polygon->normal[1], polygon->normal[2], polygon->distance);
        for (std::int32_t e = 0; e < polygon->edgeCount; ++e) {
          text += Text(" %u-%u %g", Vertex(polygon->edges[e].first),
                       Vertex(polygon->edges[e].second), polygon->edges[e].length);
        }
      }
    }
    Add(text);
  }

  void Mesh(const R3xRegion& region, const R3xMeshGeometry& mesh) {
    Add(Text("  mesh ambient %s render %u fog %d encoded %d info %d words %u %u",
             mesh.ambient == nullptr ? "-" : TagOf(mesh.ambient->definition),
             mesh.renderVertexCount, mesh.regionFog, mesh.encodedVisibility, region.info->type,
             region.info->loaderWords[7], region.info->loaderWords[8]));
    for (std::uint32_t f = 0; f < mesh.faceCount; ++f) {
      const R3xIndexedPolygon& polygon = mesh.faces[f].polygon;
      std::string text = Text("  face plane %g %g %g %g corners", polygon.normal[0],
                              polygon.normal[1], polygon.normal[2], polygon.distance);
      for (std::int32_t i = 0; i < polygon.vertexCount; ++i) {
        text += Text(" %d", polygon.vertexIndexes[i]);
      }
      Add(text + " " +
          Surface(mesh.faces[f].surface, static_cast<std::uint32_t>(polygon.vertexCount)));
    }
    const R3xObstacleList* list = region.obstacles;
    Add(Text("  floor %g %g %g %g cutting %u", list->floor[0], list->floor[1], list->floor[2],
             list->floor[3], list->cuttingCount));
    for (std::uint32_t i = 0; i < list->proximalCount; ++i) {
      Add(Text("  proximal %d %g", list->proximal[i].region, list->proximal[i].distance));
    }
    for (std::uint32_t i = 0; i < list->obstacleCount; ++i) {
      Obstacle(list->obstacles[i]);
    }
    for (std::uint32_t i = 0; i < mesh.visNodeCount; ++i) {
      const R3xVisNode& node = mesh.visNodes[i];
      Add(Text("  visnode %g %g %g %g list %td front %td back %td", node.plane[0], node.plane[1],
               node.plane[2], node.plane[3], node.list == nullptr ? -1 : node.list - mesh.visLists,
               node.front == nullptr ? -1 : node.front - mesh.visNodes,
               node.back == nullptr ? -1 : node.back - mesh.visNodes));
    }
    for (std::uint32_t i = 0; i < mesh.visListCount; ++i) {
      std::string text = "  vislist";
      for (std::uint32_t r = 0; r < mesh.visLists[i].count; ++r) {
        text += Text(" %u", mesh.visLists[i].regions[r]);
      }
      Add(text);
    }
  }

  void Sky(const R3xRegion& region, const R3xIndexedGeometry& sky) {
    Add(Text("  sky ambient %s actions %u current %d fog %g vertices %u", TagOf(sky.ambient),
             sky.actionCount, sky.currentAction, sky.fogDistance, region.vertexCount));
    for (std::uint32_t s = 0; s < sky.surfaceCount; ++s) {
      Add("  " + Surface(sky.surfaces[s], 0));
    }
  }

  void Regions() {
    for (std::uint32_t i = 0; i < world_->regions.count; ++i) {
      const R3xRegion* region = r3xGetRegion(world_, static_cast<std::int32_t>(i));
      Add(Text("region %s sphere %g %g %g %g data %s", TagOf(region), region->bounds.x,
               region->bounds.y, region->bounds.z, region->bounds.radius,
               region->userData == nullptr ? "-" : static_cast<const char*>(region->userData)));
      if (r3xFindTag(world_, TagOf(region)) != &region->header) {
        Add("  not found by its tag");
      }
      if (const R3xMeshGeometry* mesh = _r3xMeshGeometry(region)) {
        Mesh(*region, *mesh);
      } else if (const R3xIndexedGeometry* sky = _r3xIndexedGeometry(region)) {
        Sky(*region, *sky);
      }
    }
    // Every node reachable from the root, once, numbered by its place in the array.
    const R3xWorldNode* root = world_->bspRoot;
    std::vector<const R3xWorldNode*> pending{root};
    std::set<const R3xWorldNode*> seen{root};
    const auto number = [&](const R3xWorldNode* node) {
      return node == nullptr ? -1 : node - root;
    };
    while (root != nullptr && !pending.empty()) {
      const R3xWorldNode* node = pending.back();
      pending.pop_back();
      Add(Text("tree %td %g %g %g %g leaf %u front %td back %td", number(node), node->a, node->b,
               node->c, node->d, node->leaf, number(node->front), number(node->back)));
      for (const R3xWorldNode* child : {node->back, node->front}) {
        if (child != nullptr && seen.insert(child).second) {
          pending.push_back(child);
        }
      }
    }
    const float points[][3] = {{5, 5, 1}, {15, 5, 1}, {-50, 0, 0}};
    for (const auto& point : points) {
      Add(Text("region at %g %g: %d", point[0], point[1], r3xFindRegionIndexAt(world_, point)));
    }
  }

  template <typename T>
  std::vector<const T*> All(const R3xSlotTable& table) {
    std::vector<const T*> objects;
    for (std::uint32_t i = 0; i < table.capacity; ++i) {
      if (table.slots[i].object != nullptr) {
        objects.push_back(reinterpret_cast<const T*>(table.slots[i].object));
      }
    }
    return objects;
  }

  void Lights() {
    for (const R3xLightDef* light : All<R3xLightDef>(world_->lightDefs)) {
      std::string text = Text("lightdef %s frames %u %g delay %u", TagOf(light), light->frameCount,
                              light->intensity, light->defaultInstance->delay);
      for (std::uint32_t f = 0; light->colours != nullptr && f < 3 * light->frameCount; ++f) {
        text += Text(" %g", light->colours[f]);
      }
      Add(text);
    }
    for (const R3xPointLight* light : All<R3xPointLight>(world_->pointLights)) {
      std::string text =
          Text("point %s of %s at %g %g %g r %g flags %x regions", TagOf(light),
               TagOf(light->light->definition), light->position[0], light->position[1],
               light->position[2], light->radius, light->header.flags);
      for (std::uint32_t i = 0; i < light->regionCount; ++i) {
        text += Text(" %d", light->regions[i]);
      }
      Add(text);
    }
    for (const R3xDirectionalLight* light : All<R3xDirectionalLight>(world_->directionalLights)) {
      std::string text =
          Text("directional %s %g %g %g flags %x regions", TagOf(light), light->direction[0],
               light->direction[1], light->direction[2], light->header.flags);
      for (std::uint32_t i = 0; i < light->regionCount; ++i) {
        text += Text(" %d", light->regions[i]);
      }
      Add(text);
    }
    for (std::uint32_t i = 0; i < world_->regions.count; ++i) {
      const R3xRegionInfo* info =
          _r3xRegionInfo(r3xGetRegion(world_, static_cast<std::int32_t>(i)));
      if (info != nullptr) {
        Add(Text("region %u lights %u", i, info->lightCount));
      }
    }
  }

  void Definitions() {
    for (const R3xActorDef* actor : All<R3xActorDef>(world_->actorDefs)) {
      const R3xActor* shown = actor->defaultInstance;
      std::string text =
          Text("actordef %s actions %u parts %u current %d volume %d data %s", TagOf(actor),
               actor->actionCount, actor->partCount, shown->currentActionIndex, shown->volume->type,
               actor->userData == nullptr ? "-" : static_cast<const char*>(actor->userData));
      for (std::uint32_t a = 0; a < actor->actionCount; ++a) {
        for (std::uint32_t l = 0; l < actor->actions[a].levelCount; ++l) {
          const R3xLodLevel& level = actor->actions[a].levels[l];
          text += Text(" [%g %g %d %d]", level.switchBackSquared, level.upperSquared,
                       level.partIndex, shown->parts[level.partIndex]->type);
        }
      }
      Add(text);
    }
    for (const R3xSphereListDef* list : All<R3xSphereListDef>(world_->sphereListDefs)) {
      Add(Text("spheres %s %u r %g scale %g first %g", TagOf(list), list->sphereCount, list->radius,
               list->defaultInstance->scale, list->centres[0]));
    }
    for (const R3xPolyhedronDef* shape : All<R3xPolyhedronDef>(world_->polyhedronDefs)) {
      std::string text = Text("polyhedron %s faces %u", TagOf(shape), shape->faceCount);
      for (std::uint32_t f = 0; f < shape->faceCount; ++f) {
        text +=
            Text(" [%d %g %g %g %g]", shape->faces[f].edgeCount, shape->faces[f].normal[0],
                 shape->faces[f].normal[1], shape->faces[f].normal[2], shape->faces[f].distance);
      }
      Add(text);
    }
    for (const R3x3DSpriteDef* sprite : All<R3x3DSpriteDef>(world_->sprite3DDefs)) {
      std::string text =
          Text("sprite3d %s faces %u r %g volume %d normals %s", TagOf(sprite), sprite->faceCount,
               sprite->radius, sprite->defaultInstance->volume->type,
               sprite->normals == nullptr ? "no" : "yes");
      for (std::uint32_t f = 0; f < sprite->faceCount; ++f) {
        text += " " + Surface(sprite->defaultInstance->surfaces[f], 0);
      }
      Add(text);
    }
    for (const R3x2DSpriteDef* sprite : All<R3x2DSpriteDef>(world_->sprite2DDefs)) {
      Add(Text("sprite2d %s sets %u frames %u size %g %g r %g", TagOf(sprite), sprite->viewSetCount,
               sprite->framesPerView, sprite->sizeX, sprite->sizeY, sprite->radius));
    }
  }

  R3xWorld* world_;
};

class PrecompiledEquivalence : public ::testing::Test {
 protected:
  PrecompiledEquivalence() : working_(folder_.Path()) {
    _r3xInitMathTables();
    text_ = r3xCreateWorld(nullptr, 0, nullptr);
    precompiled_ = r3xCreateWorld(nullptr, 0, nullptr);
  }
  ~PrecompiledEquivalence() override {
    r3xDestroyWorld(text_);
    r3xDestroyWorld(precompiled_);
    r3xCloseWad(pack_);
    _r3xFreeMathTables();
  }

  test_support::ScratchFolder folder_;
  test_support::ScopedWorkingFolder working_;
  R3xWorld* text_;
  R3xWorld* precompiled_;
  R3xWad* pack_ = nullptr;
};

TEST_F(PrecompiledEquivalence, DemoArenaGivesTheSameWorldInBothForms) {
  pack_ = r3xOpenWad(ARENA_DEMO_PACK, 64);
  ASSERT_NE(pack_, nullptr);
  ASSERT_EQ(r3xLoadWorldFile("arena.wld", text_, pack_, nullptr, nullptr, nullptr), 0);
  ASSERT_EQ(r3xLoadWorldFile("arenapc.wld", precompiled_, pack_, nullptr, nullptr, nullptr), 0);
  TakeMessages();
  EXPECT_EQ(Description(text_).lines, Description(precompiled_).lines);
  // The visible lists lie in the ".VIS" member.
  EXPECT_NE(_r3xMeshGeometry(r3xGetRegion(precompiled_, 0))->visData, nullptr);
  EXPECT_EQ(_r3xMeshGeometry(r3xGetRegion(text_, 0))->visData, nullptr);
}

TEST_F(PrecompiledEquivalence, RoomsAndShapesGiveTheSameWorldInBothForms) {
  folder_.Write("shapes.wld", RoomsAndShapes());
  ASSERT_EQ(r3xLoadWorldFile("shapes.wld", text_, nullptr, nullptr, nullptr, nullptr), 0)
      << ::testing::PrintToString(TakeMessages());
  const mkdata::PrecompiledWorld encoded = mkdata::EncodePrecompiledWorld("shapes.wld", "", false);
  // The writer shuts the engine's math tables down as it ends.
  _r3xInitMathTables();
  EXPECT_TRUE(encoded.visibility.empty());
  folder_.Write("shapes.pcw", encoded.world);
  ASSERT_EQ(r3xLoadWorldFile("shapes.pcw", precompiled_, nullptr, nullptr, nullptr, nullptr), 0);
  const std::vector<std::string> parsed = Description(text_).lines;
  EXPECT_EQ(parsed, Description(precompiled_).lines);
  EXPECT_GT(parsed.size(), 40u);
  // Differs between the forms: a region's ENABLEGOURAUD2 vertex normals are not stored
  // precompiled.
  EXPECT_NE(_r3xMeshGeometry(r3xGetRegion(text_, 0))->vertexNormals, nullptr);
  EXPECT_EQ(_r3xMeshGeometry(r3xGetRegion(precompiled_, 0))->vertexNormals, nullptr);
  // Differs: a RENDERINFO without a texture holds the null part when parsed and nothing when
  // read precompiled.
  const R3xRegionFace& face = _r3xMeshGeometry(r3xGetRegion(text_, 0))->faces[1];
  const R3xRegionFace& same = _r3xMeshGeometry(r3xGetRegion(precompiled_, 0))->faces[1];
  EXPECT_EQ(face.surface.texture, r3xNullPart());
  EXPECT_EQ(same.surface.texture, nullptr);
}

// Nodes may share a child in both trees (walks visit a node once), and both forms keep the links.
TEST_F(PrecompiledEquivalence, TreesWhoseNodesShareAChildGiveTheSameWorldInBothForms) {
  std::string text = RoomsAndShapes();
  const auto replace = [&](const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
  };
  // West's visibility node 3 is a child of nodes 1 and 2.
  replace("NUMVISNODE 2 NUMVISLIST 2", "NUMVISNODE 3 NUMVISLIST 2");
  replace("VISLISTINDEX 1 FRONTTREE 2 BACKTREE 0", "VISLISTINDEX 1 FRONTTREE 2 BACKTREE 3");
  replace("VISLISTINDEX 2 FRONTTREE 0 BACKTREE 0 ENDVISNODE 2\n",
          "VISLISTINDEX 2 FRONTTREE 3 BACKTREE 0 ENDVISNODE 2\n"
          "  VISNODE 3 NORMALABCD 0.0 0.0 0.0 0.0 VISLISTINDEX 2 FRONTTREE 0 BACKTREE 0 "
          "ENDVISNODE 3\n");
  // World node 3 (west) is the back child of the root and of node 4, which splits at y = -100.
  replace("NUMWORLDNODES 3", "NUMWORLDNODES 4");
  replace("WORLDREGIONTAG 0 FRONTTREE 2 BACKTREE 3", "WORLDREGIONTAG 0 FRONTTREE 4 BACKTREE 3");
  replace("ENDWORLDNODE 3\n",
          "ENDWORLDNODE 3\n"
          "  WORLDNODE 4 NORMALABCD 0.0 1.0 0.0 100.0 WORLDREGIONTAG 0 FRONTTREE 2 BACKTREE 3 "
          "ENDWORLDNODE 4\n");
  folder_.Write("shared.wld", text);
  ASSERT_EQ(r3xLoadWorldFile("shared.wld", text_, nullptr, nullptr, nullptr, nullptr), 0)
      << ::testing::PrintToString(TakeMessages());
  const mkdata::PrecompiledWorld encoded = mkdata::EncodePrecompiledWorld("shared.wld", "", false);
  _r3xInitMathTables();
  folder_.Write("shared.pcw", encoded.world);
  ASSERT_EQ(r3xLoadWorldFile("shared.pcw", precompiled_, nullptr, nullptr, nullptr, nullptr), 0);
  const std::vector<std::string> parsed = Description(text_).lines;
  EXPECT_EQ(parsed, Description(precompiled_).lines);
  for (const std::string line :
       {"tree 3 0 1 0 100 leaf 0 front 1 back 2", "tree 0 1 0 0 -10 leaf 0 front 3 back 2",
        "  visnode 1 0 0 -5 list 0 front 1 back 2", "  visnode 0 0 0 0 list 1 front 2 back -1"}) {
    EXPECT_NE(std::find(parsed.begin(), parsed.end(), line), parsed.end()) << line;
  }
}

}  // namespace
}  // namespace world_test
