#include "tools/r3xtool/world_command.h"

#include <cstdio>

#include "engine/r3x.h"

namespace {

constexpr char kUsage[] = "usage: r3xtool world FILE [PACK]\n";

struct Table {
  const char* name;
  R3xSlotTable R3xWorld::*table;
};

constexpr Table kTables[] = {
    {"sphere list definitions", &R3xWorld::sphereListDefs},
    {"polyhedron definitions", &R3xWorld::polyhedronDefs},
    {"simple sprite definitions", &R3xWorld::simpleSpriteDefs},
    {"2D sprite definitions", &R3xWorld::sprite2DDefs},
    {"3D sprite definitions", &R3xWorld::sprite3DDefs},
    {"actor definitions", &R3xWorld::actorDefs},
    {"sphere lists", &R3xWorld::sphereLists},
    {"polyhedra", &R3xWorld::polyhedra},
    {"simple sprites", &R3xWorld::simpleSprites},
    {"2D sprites", &R3xWorld::sprites2D},
    {"3D sprites", &R3xWorld::sprites3D},
    {"actors", &R3xWorld::actors},
    {"bitmaps", &R3xWorld::bitmaps},
    {"light definitions", &R3xWorld::lightDefs},
    {"lights", &R3xWorld::lights},
    {"point lights", &R3xWorld::pointLights},
    {"directional lights", &R3xWorld::directionalLights},
};

// "file:line: text", without the line where the error has none.
void PrintLoadError(const R3xLoadError* error) {
  if (error == nullptr) {
    return;
  }
  if (error->line != 0) {
    std::printf("%s:%d: %s\n", error->file, error->line, error->text);
  } else {
    std::printf("%s: %s\n", error->file, error->text);
  }
}

}  // namespace

int RunWorldCommand(const std::vector<std::string>& args) {
  if (args.empty() || args.size() > 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  R3xWad* wad = nullptr;
  if (args.size() == 2 && (wad = r3xOpenWad(args[1].c_str(), 16)) == nullptr) {
    std::fprintf(stderr, "cannot open pack %s\n", args[1].c_str());
    return 1;
  }
  r3xInit();
  R3xWorld* world = r3xCreateWorld(nullptr, 0, nullptr);
  std::int32_t result = R3X_ERR_FAILED;
  if (world != nullptr) {
    result = r3xReadWorld(args[0].c_str(), world, wad);
    PrintLoadError(r3xGetLoadError(world));
  }
  if (result == 0) {
    for (const Table& table : kTables) {
      std::printf("%s: %u\n", table.name, (world->*table.table).count);
    }
    std::printf("regions: %u\n", world->regions.count);
  }
  r3xDestroyWorld(world);
  r3xShutdown();
  r3xCloseWad(wad);
  return result == 0 ? 0 : 1;
}
