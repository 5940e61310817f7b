// World-file scanning throughput: a generated text world of about 8 MB and its binary encoding,
// read through a token source from a plain file and from a pack archive member. Bytes are
// those of the file read; items are tokens.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/core/wad.h"
#include "engine/world/parse_context.h"
#include "engine/world/token_source.h"
#include "engine/world/world_stream.h"
#include "tests/support/scratch_folder.h"
#include "tools/mkdata/pack_writer.h"
#include "tools/mkdata/world_binary_writer.h"

namespace {

constexpr int kRegions = 4000;

// Regions of walls, obstacles and visibility lists, in the mix of tokens a real arena has.
std::string GenerateWorld() {
  std::string text = "// generated arena\nQZVWORLD arena DEFAULTPALETTEFILE \"palette.bmp\"\n";
  text += "NUMVERTICES " + std::to_string(kRegions * 8) + "\n";
  char line[160];
  for (int v = 0; v < kRegions * 8; ++v) {
    std::snprintf(line, sizeof line, "XYZ %.3f %.3f %.3f\n", v * 1.25, (v % 97) * -0.5,
                  (v % 13) * 2.0);
    text += line;
  }
  text += "NUMREGIONS " + std::to_string(kRegions) + "\n";
  for (int r = 0; r < kRegions; ++r) {
    text += "REGION " + std::to_string(r + 1) + " REGIONTAG region_" + std::to_string(r) +
            "\nNUMRENDERVERTICES 8 NUMWALLS 4\n";
    for (int w = 0; w < 4; ++w) {
      std::snprintf(line, sizeof line,
                    "WALL %d NORMALABCD 0.0 0.0 1.0 %.2f NUMVERTICES 4 VERTEXLIST %d %d %d %d\n"
                    "RENDERMETHOD TEXTURE2CONSTANT RENDERINFO PEN %d BRIGHTNESS 0.75 ",
                    w + 1, -r * 0.5, r * 8 + 1, r * 8 + 2, r * 8 + 3, r * 8 + 4, (r + w) % 256);
      text += line;
      text += "SIMPLESPRITEINST DEFINITION wall_tex ENDSIMPLESPRITEINST ENDRENDERINFO ENDWALL\n";
    }
    text +=
        "NUMOBSTACLES 2 NUMCUTTINGOBSTACLES 1\n"
        "OBSTACLE 1 EDGEWALL 0 1 NEXTREGION 0 FLOOR ENDOBSTACLE\n"
        "OBSTACLE 2 XY_EDGE 0 1 2 NEXTREGION " +
        std::to_string((r + 1) % kRegions + 1) + " USERDATA 4 0A0B0C0D ENDOBSTACLE\n";
    text +=
        "VISTREE NUMVISNODE 1 NUMVISLIST 1 VISNODE 1 NORMALABCD 1.0 0.0 0.0 -4.5 "
        "VISLISTINDEX 1 FRONTTREE 0 BACKTREE 0 ENDVISNODE\n"
        "VISIBLELIST 1 RANGE 3 1 2 3 ENDVISIBLELIST ENDVISTREE\n"
        "SPHERE 1.0 2.0 3.0 40.5 USERDATA \"room\" ENDREGION " +
        std::to_string(r + 1) + "\n";
  }
  return text + "ENDWORLD arena\n";
}

// The world's files, written once and removed at exit.
struct Files {
  Files() {
    const std::string world = GenerateWorld();
    text = folder.Write("arena.wld", world);
    const std::vector<std::uint8_t> binaryWorld = mkdata::EncodeBinaryWorld(text);
    binary = folder.Write("arena.wlb", binaryWorld);
    pack = folder.Write("arena.r3x", mkdata::BuildPack({{"arena.wld", {world.begin(), world.end()}},
                                                        {"arena.wlb", binaryWorld}},
                                                       mkdata::PackLayout::kHeader));
  }

  test_support::ScratchFolder folder{"world_scan_bench"};
  std::string text;
  std::string binary;
  std::string pack;
};

const Files& TheFiles() {
  static const Files files;
  return files;
}

// Scans every token of the file; the number of tokens, or -1 after an error.
std::int64_t ScanAll(const char* name, R3xWad* wad) {
  R3xParseContext* context = parCreateContext(nullptr, wad);
  R3xWorldStream* stream = parOpenStream(name, wad);
  R3xTokenSource* source = parCreateTokenSource(context, stream, "");
  std::int64_t tokens = 0;
  while (parNextToken(source) > 0) {
    ++tokens;
  }
  const bool failed = context->errorCount != 0;
  parDestroyTokenSource(source);
  parCloseStream(stream);
  parFreeStream(stream);
  parDestroyContext(context);
  return failed ? -1 : tokens;
}

// range(0): 0 the text form, 1 the binary form; range(1): 0 a plain file, 1 a pack member.
void BM_ScanWorld(benchmark::State& state) {
  const Files& files = TheFiles();
  const bool binary = state.range(0) == 1;
  const bool fromPack = state.range(1) == 1;
  const std::string& path = binary ? files.binary : files.text;
  R3xWad* wad = fromPack ? r3xOpenWad(files.pack.c_str(), 4) : nullptr;
  const std::string name = fromPack ? (binary ? "arena.wlb" : "arena.wld") : path;
  std::int64_t tokens = 0;
  for (auto _ : state) {
    tokens = ScanAll(name.c_str(), wad);
    if (tokens < 0) {
      state.SkipWithError("scanner error");
      break;
    }
  }
  r3xCloseWad(wad);
  const auto size = static_cast<std::int64_t>(std::filesystem::file_size(path));
  state.SetBytesProcessed(state.iterations() * size);
  state.SetItemsProcessed(state.iterations() * tokens);
  state.counters["file_MB"] = static_cast<double>(size) / 1e6;
  state.counters["tokens"] = static_cast<double>(tokens);
}
BENCHMARK(BM_ScanWorld)
    ->ArgNames({"binary", "pack"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
