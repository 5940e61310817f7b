#include "tools/r3xtool/world_command.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <regex>
#include <string>

#include "engine/r3x.h"
#include "platform/kernel/message_box.h"
#include "tools/mkdata/file_bytes.h"

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
    std::fprintf(stderr, "%s:%d: %s\n", error->file, error->line, error->text);
  } else {
    std::fprintf(stderr, "%s: %s\n", error->file, error->text);
  }
}

// The bitmap that a failed FRAME names, when that is what the error is about.
std::optional<std::string> FailedBitmap(const R3xLoadError* error) {
  static const std::regex kFrame("cannot define FRAME \\S+ from bitmap (\\S+) in ");
  std::cmatch match;
  if (error == nullptr || !std::regex_search(error->text, match, kFrame)) {
    return std::nullopt;
  }
  return match[1].str();
}

// A bitmap of a world read from files is looked for in the working folder, then along WLDPATH
// (entries separated by ':' or ';'): when it is in none of them, say where it was looked for.
void ExplainMissingBitmap(const std::string& bitmap) {
  if (!mkdata::FindReadError(bitmap)) {
    return;
  }
  const char* value = std::getenv("WLDPATH");
  const std::string path = value != nullptr ? value : "";
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t end = std::min(path.find_first_of(":;", start), path.size());
    const std::string folder = path.substr(start, end - start);
    if (!folder.empty() && !mkdata::FindReadError(folder + "/" + bitmap)) {
      return;
    }
    start = end + 1;
  }
  if (path.empty()) {
    std::fprintf(stderr,
                 "r3xtool: bitmap %s is not in the working folder, and WLDPATH is not set\n",
                 bitmap.c_str());
  } else {
    std::fprintf(stderr, "r3xtool: bitmap %s is not in the working folder nor along WLDPATH=%s\n",
                 bitmap.c_str(), path.c_str());
  }
}

// The first bytes of the world file, from the pack when one is given.
std::size_t ReadStart(const char* name, R3xWad* wad, std::uint8_t* out, std::size_t size) {
  if (wad != nullptr) {
    R3xWadMember* member = r3xOpenWadMember(wad, name);
    const std::int64_t available = r3xWadMemberSize(member);
    const std::size_t n = available < 0 ? 0 : std::min(size, static_cast<std::size_t>(available));
    const bool read = member != nullptr &&
                      r3xReadWadMember(member, out, static_cast<std::int64_t>(n)) == R3X_WAD_DONE;
    r3xCloseWadMember(member);
    return read ? n : 0;
  }
  std::FILE* file = std::fopen(name, "rb");
  if (file == nullptr) {
    return 0;
  }
  const std::size_t n = std::fread(out, 1, size, file);
  std::fclose(file);
  return n;
}

// Which of the three forms the file's first bytes announce, as the loader tells them apart.
const char* WorldForm(const char* name, R3xWad* wad) {
  std::uint8_t start[sizeof R3X_WLD_MAGIC] = {};
  const std::size_t got = ReadStart(name, wad, start, sizeof start);
  if (got >= sizeof R3X_PRECOMPILED_SIGNATURE &&
      std::memcmp(start, R3X_PRECOMPILED_SIGNATURE, sizeof R3X_PRECOMPILED_SIGNATURE) == 0) {
    return "precompiled";
  }
  if (got == sizeof start && std::memcmp(start, R3X_WLD_MAGIC, sizeof start) == 0) {
    return "binary";
  }
  return got == 0 ? "none" : "text";
}

}  // namespace

int RunWorldCommand(const std::vector<std::string>& args) {
  if (args.empty() || args.size() > 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string& input = args.size() == 2 ? args[1] : args[0];
  if (const std::optional<std::string> error = mkdata::FindReadError(input)) {
    std::fprintf(stderr, "r3xtool: %s\n", error->c_str());
    return 1;
  }
  R3xWad* wad = nullptr;
  if (args.size() == 2 && (wad = r3xOpenWad(args[1].c_str(), 16)) == nullptr) {
    std::fprintf(stderr, "r3xtool: %s: not a pack archive, or its directory is damaged\n",
                 args[1].c_str());
    return 1;
  }
  // The loader's message boxes would repeat the error that is printed once below.
  platform::SetMessageBoxEcho(false);
  r3xInit();
  R3xWorld* world = r3xCreateWorld(nullptr, 0, nullptr);
  std::int32_t result = R3X_ERR_FAILED;
  if (world != nullptr) {
    result = r3xReadWorld(args[0].c_str(), world, wad);
    const R3xLoadError* error = r3xGetLoadError(world);
    PrintLoadError(error);
    if (const std::optional<std::string> bitmap = FailedBitmap(error); bitmap && wad == nullptr) {
      ExplainMissingBitmap(*bitmap);
    }
  }
  if (result == 0) {
    std::printf("form: %s\n", WorldForm(args[0].c_str(), wad));
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
