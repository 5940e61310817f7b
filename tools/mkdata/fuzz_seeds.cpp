#include "tools/mkdata/fuzz_seeds.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "engine/r3x.h"
#include "tools/mkdata/arena_map_writer.h"
#include "tools/mkdata/bmp_writer.h"
#include "tools/mkdata/demo_arena_map.h"
#include "tools/mkdata/file_bytes.h"
#include "tools/mkdata/pack_writer.h"
#include "tools/mkdata/world_binary_writer.h"
#include "tools/mkdata/world_precompiled_writer.h"

namespace mkdata {

namespace {

using Bytes = std::vector<std::uint8_t>;

void WriteSeed(const std::filesystem::path& outDir, const char* target, const char* name,
               const Bytes& bytes) {
  std::filesystem::create_directories(outDir / target);
  WriteFileBytes((outDir / target / name).string(), bytes);
}

Bytes Prefixed(std::uint8_t first, const Bytes& rest) {
  Bytes bytes(rest.size() + 1);
  bytes[0] = first;
  std::copy(rest.begin(), rest.end(), bytes.begin() + 1);
  return bytes;
}

// Two cells, one with a layer under another and one sloped, so that small inputs reach every
// layer kind.
AmpMap SmallArenaMap() {
  AmpMap map;
  map.width = 2;
  map.height = 1;
  map.scale = 4;
  map.top = {100.0f, 10.0f};
  map.base = {0.0f, 20.0f};
  map.xSlope = {0.0f, 16.0f};
  map.ySlope = {0.0f, -8.0f};
  map.cells = {AmpCell{2, {{0, 0, 1, 0}, {3, 1, 0, 1}}}, AmpCell{1, {{1, 0, 0, 1}}}};
  return map;
}

// A day under a day phase with a fade in, full rain and a fade out queued, the weather switched
// on, a global parameters record and frames through all three spells: the weather target's
// records (tag, payload length, payload; a frame is tag 4 with its local and frame time steps and
// the time the frame is shown).
Bytes WeatherSpells() {
  arena::ByteWriter out;
  out.U32(1);       // random seed
  out.F32(500.0f);  // the camera's far distance
  out.U32(100000);  // the first frame time
  auto message = [&out](std::uint8_t tag, std::initializer_list<std::uint32_t> words) {
    out.U8(tag);
    out.U8(static_cast<std::uint8_t>(words.size() * 4));
    for (std::uint32_t word : words) {
      out.U32(word);
    }
  };
  auto frames = [&out](int count, std::uint16_t milliseconds) {
    for (int i = 0; i < count; ++i) {
      out.U8(4);
      out.U16(milliseconds);
      out.U16(milliseconds);
      out.U8(1);
    }
  };
  message(2, {1000, 2, 0, 100000});
  message(0, {1, 1500, 3000});
  message(0, {2, 3000, 6000});
  message(0, {3, 6000, 8000});
  message(1, {1});
  frames(8, 10000);
  message(1, {0});
  frames(4, 10000);
  out.U8(3);
  for (int i = 0; i < 13; ++i) {
    out.U32(i == 3 ? 4000 : 0);
  }
  frames(2, 100);
  return out.Take();
}

// The precompiled-world target's input: a byte whose bit 0 says whether the pack holds a ".VIS"
// member, its length in two bytes, its bytes, and the world file after its signature.
Bytes PrecompiledSeed(const std::filesystem::path& worldPath) {
  const Bytes world = ReadFileBytes(worldPath.string());
  arena::ByteReader header(world.data(), world.size());
  std::uint8_t signature[std::size(R3X_PRECOMPILED_SIGNATURE)] = {};
  header.Bytes(signature, sizeof signature);
  const std::uint32_t version = header.U32();
  if (!header.ok() || !std::equal(std::begin(signature), std::end(signature),
                                  std::begin(R3X_PRECOMPILED_SIGNATURE))) {
    throw std::runtime_error(worldPath.string() + " is no precompiled world");
  }
  Bytes vis;
  if ((version & R3X_PRECOMPILED_VIS_FLAG) != 0) {
    vis = ReadFileBytes(
        (worldPath.parent_path() / VisibilityMemberName(worldPath.filename().string())).string());
  }
  if (vis.size() > std::numeric_limits<std::uint16_t>::max()) {
    throw std::runtime_error(worldPath.string() + ": its visibility data is too large for a seed");
  }
  arena::ByteWriter out;
  out.U8((version & R3X_PRECOMPILED_VIS_FLAG) != 0 ? 1 : 0);
  out.U16(static_cast<std::uint16_t>(vis.size()));
  out.Bytes(vis.data(), vis.size());
  out.Bytes(world.data() + sizeof signature, world.size() - sizeof signature);
  return out.Take();
}

}  // namespace

void WriteFuzzSeeds(const std::string& textWorldPath, const std::string& outDir,
                    const std::vector<std::string>& precompiledPaths) {
  const Bytes text = ReadFileBytes(textWorldPath);
  const Bytes binary = EncodeBinaryWorld(textWorldPath);
  // The binary targets put the signature before their input themselves.
  const Bytes binaryBody(binary.begin() + std::size(R3X_WLD_MAGIC), binary.end());
  const Bytes bitmap = BuildBmp(MakePatternImage(16, 16, 16));
  const std::filesystem::path out = outDir;

  WriteSeed(out, "world_text_fuzz", "world.wld", text);
  WriteSeed(out, "world_writer_fuzz", "world.wld", text);
  WriteSeed(out, "world_binary_fuzz", "world", binaryBody);
  // An even first byte loads the rest as text, an odd one as binary.
  WriteSeed(out, "world_load_fuzz", "text", Prefixed(0, text));
  WriteSeed(out, "world_load_fuzz", "binary", Prefixed(1, binaryBody));
  WriteSeed(out, "world_draw_fuzz", "text", Prefixed(0, text));
  WriteSeed(out, "world_draw_fuzz", "binary", Prefixed(1, binaryBody));
  WriteSeed(out, "wad_fuzz", "world.r3x",
            BuildPack({{"world.wld", text}, {"pattern.bmp", bitmap}}, PackLayout::kHeader));
  // One level, colours kept.
  WriteSeed(out, "bmp_fuzz", "pattern", Prefixed(1, bitmap));
  WriteSeed(out, "arena_map_fuzz", "demo.amp", EncodeArenaMap(BuildDemoArenaMap()));
  WriteSeed(out, "arena_map_fuzz", "small.amp", EncodeArenaMap(SmallArenaMap()));
  WriteSeed(out, "weather_fuzz", "spells", WeatherSpells());
  for (const std::filesystem::path path : precompiledPaths) {
    WriteSeed(out, "world_precompiled_fuzz", path.filename().string().c_str(),
              PrecompiledSeed(path));
  }
}

}  // namespace mkdata
