// World loading through the engine's loading entry: the demo arena and a generated arena of
// 2,000 regions, each from its text, binary and precompiled form. Bytes are those of the world
// file (with its ".VIS" member for the precompiled forms, which load from a pack as the game's).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/core/math_tables.h"
#include "engine/core/math_tables_internal.h"
#include "engine/core/wad.h"
#include "engine/core/world.h"
#include "engine/world/world_loading.h"
#include "engine/world/world_reader.h"
#include "platform/kernel/message_box.h"
#include "tests/support/scoped_working_folder.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_files.h"
#include "tools/mkdata/pack_writer.h"
#include "tools/mkdata/world_binary_writer.h"
#include "tools/mkdata/world_precompiled_writer.h"

namespace {

constexpr int kColumns = 50;
constexpr int kRows = 40;
constexpr float kCell = 100;

int VertexNumber(int i, int j) { return j * (kColumns + 1) + i + 1; }
int RegionNumber(int i, int j) { return j * kColumns + i + 1; }

// Splits cells [i0, i1) x [j0, j1) along the longer side; returns the subtree's node number.
int AddTreeNodes(std::vector<std::string>& nodes, int i0, int i1, int j0, int j1) {
  const int number = static_cast<int>(nodes.size()) + 1;
  nodes.emplace_back();
  char line[200];
  if (i1 - i0 == 1 && j1 - j0 == 1) {
    std::snprintf(
        line, sizeof line,
        "WORLDNODE %d NORMALABCD 0.0 0.0 0.0 0.0 WORLDREGIONTAG %d FRONTTREE 0 BACKTREE 0 "
        "ENDWORLDNODE %d\n",
        number, RegionNumber(i0, j0), number);
  } else if (i1 - i0 >= j1 - j0) {
    const int mid = (i0 + i1) / 2;
    const int front = AddTreeNodes(nodes, mid, i1, j0, j1);
    const int back = AddTreeNodes(nodes, i0, mid, j0, j1);
    std::snprintf(
        line, sizeof line,
        "WORLDNODE %d NORMALABCD 1.0 0.0 0.0 %.1f WORLDREGIONTAG 0 FRONTTREE %d BACKTREE %d "
        "ENDWORLDNODE %d\n",
        number, -mid * kCell, front, back, number);
  } else {
    const int mid = (j0 + j1) / 2;
    const int front = AddTreeNodes(nodes, i0, i1, mid, j1);
    const int back = AddTreeNodes(nodes, i0, i1, j0, mid);
    std::snprintf(
        line, sizeof line,
        "WORLDNODE %d NORMALABCD 0.0 1.0 0.0 %.1f WORLDREGIONTAG 0 FRONTTREE %d BACKTREE %d "
        "ENDWORLDNODE %d\n",
        number, -mid * kCell, front, back, number);
  }
  nodes[static_cast<std::size_t>(number - 1)] = line;
  return number;
}

// A grid of square cells, each a region with its floor, four side obstacles leading to the
// neighbours, a floor obstacle and a visibility list of its neighbourhood.
std::string GenerateArena() {
  std::string text = "// generated arena\nQZVWORLD large\n";
  const int vertices = (kColumns + 1) * (kRows + 1);
  text += "NUMVERTICES " + std::to_string(vertices) + "\n";
  char line[512];
  for (int j = 0; j <= kRows; ++j) {
    for (int i = 0; i <= kColumns; ++i) {
      std::snprintf(line, sizeof line, "XYZ %.1f %.1f 0.0\n", i * kCell, j * kCell);
      text += line;
    }
  }
  text += "NUMREGIONS " + std::to_string(kColumns * kRows) + "\n";
  for (int j = 0; j < kRows; ++j) {
    for (int i = 0; i < kColumns; ++i) {
      const int n = RegionNumber(i, j);
      std::snprintf(line, sizeof line,
                    "REGION %d REGIONTAG cell_%d NUMRENDERVERTICES %d NUMWALLS 1\n"
                    "WALL 1 FLOOR NORMALABCD 0.0 0.0 1.0 0.0 NUMVERTICES 4 VERTEXLIST %d %d %d %d\n"
                    "RENDERMETHOD SOLIDFILLCONSTANT RENDERINFO PEN %d ENDRENDERINFO ENDWALL 1\n"
                    "NUMOBSTACLES 5 NUMCUTTINGOBSTACLES 4\n",
                    n, n, vertices, VertexNumber(i, j), VertexNumber(i, j + 1),
                    VertexNumber(i + 1, j + 1), VertexNumber(i + 1, j), n % 200);
      text += line;
      const int sides[4][5] = {
          {i + 1, j, i, j, j > 0 ? RegionNumber(i, j - 1) : 0},
          {i, j, i, j + 1, i > 0 ? RegionNumber(i - 1, j) : 0},
          {i, j + 1, i + 1, j + 1, j + 1 < kRows ? RegionNumber(i, j + 1) : 0},
          {i + 1, j + 1, i + 1, j, i + 1 < kColumns ? RegionNumber(i + 1, j) : 0}};
      for (int s = 0; s < 4; ++s) {
        std::snprintf(
            line, sizeof line,
            "OBSTACLE %d GEOMETRYCUTTINGOBSTACLE XY_LINE 0 %d %d NEXTREGION %d ENDOBSTACLE %d\n",
            s + 1, VertexNumber(sides[s][0], sides[s][1]), VertexNumber(sides[s][2], sides[s][3]),
            sides[s][4], s + 1);
        text += line;
      }
      text += "OBSTACLE 5 PLANE 0 1 NEXTREGION 0 FLOOR ENDOBSTACLE 5\n";
      std::snprintf(line, sizeof line,
                    "VISTREE NUMVISNODE 1 NUMVISLIST 1 VISNODE 1 NORMALABCD 0.0 0.0 0.0 0.0 "
                    "VISLISTINDEX 1 FRONTTREE 0 BACKTREE 0 ENDVISNODE 1\n"
                    "VISIBLELIST 1 RANGE 3 %d %d %d ENDVISIBLELIST 1 ENDVISTREE\n"
                    "SPHERE %.1f %.1f 0.0 71.0 ENDREGION %d\n",
                    n, i > 0 ? n - 1 : n, j > 0 ? n - kColumns : n, (i + 0.5f) * kCell,
                    (j + 0.5f) * kCell, n);
      text += line;
    }
  }
  std::vector<std::string> nodes;
  AddTreeNodes(nodes, 0, kColumns, 0, kRows);
  text += "WORLDTREE NUMWORLDNODES " + std::to_string(nodes.size()) + "\n";
  for (const std::string& node : nodes) {
    text += node;
  }
  text += "ENDWORLDTREE\nENDWORLD large\n";
  return text;
}

// The generated files, made once and removed at exit.
struct Files {
  Files() {
    arenaText = folder.Write("large.wld", GenerateArena());
    arenaBinary = folder.Write("large.bwld", mkdata::EncodeBinaryWorld(arenaText));
    // The text demo loads from its pack; the binary one from a file, with the bitmaps beside it.
    demoText = ARENA_DEMO_WORLD;
    demoBinary = folder.Write("arena.bwld", mkdata::EncodeBinaryWorld(demoText));
    const mkdata::PrecompiledWorld large = mkdata::EncodePrecompiledWorld(arenaText, "", true);
    arenaPrecompiledBytes = large.world.size() + large.visibility.size();
    arenaPack = folder.Write("large.r3x", mkdata::BuildPack({{"largepc.wld", large.world},
                                                             {"largepc.VIS", large.visibility}},
                                                            mkdata::PackLayout::kHeader));
    demoPrecompiledBytes = std::filesystem::file_size(ARENA_DEMO_BITMAPS "/arenapc.wld") +
                           std::filesystem::file_size(ARENA_DEMO_BITMAPS "/arenapc.VIS");
  }

  test_support::ScratchFolder folder{"world_load_bench"};
  std::string arenaText;
  std::string arenaBinary;
  std::string demoText;
  std::string demoBinary;
  std::string arenaPack;
  std::uint64_t arenaPrecompiledBytes = 0;
  std::uint64_t demoPrecompiledBytes = 0;
};

const Files& TestFiles() {
  static const Files files;
  return files;
}

void LoadBytes(benchmark::State& state, std::uint64_t size, R3xWad* archive, const char* name) {
  _r3xInitMathTables();
  // Only the load is timed: making the empty world and destroying the loaded one are not.
  for (auto _ : state) {
    state.PauseTiming();
    R3xWorld* world = r3xCreateWorld(nullptr, 0, nullptr);
    state.ResumeTiming();
    if (r3xLoadWorldFile(name, world, archive, nullptr, nullptr, nullptr) != 0) {
      state.SkipWithError("the world does not load");
    }
    state.PauseTiming();
    r3xDestroyWorld(world);
    platform::ClearShownMessageBoxes();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
  _r3xFreeMathTables();
}

void Load(benchmark::State& state, const std::string& path, R3xWad* archive, const char* name) {
  LoadBytes(state, std::filesystem::file_size(path), archive, name);
}

void BM_LoadLargeArenaText(benchmark::State& state) {
  const Files& files = TestFiles();
  Load(state, files.arenaText, nullptr, files.arenaText.c_str());
}

void BM_LoadLargeArenaBinary(benchmark::State& state) {
  const Files& files = TestFiles();
  Load(state, files.arenaBinary, nullptr, files.arenaBinary.c_str());
}

void BM_LoadDemoArenaText(benchmark::State& state) {
  R3xWad* pack = r3xOpenWad(ARENA_DEMO_PACK, 64);
  Load(state, TestFiles().demoText, pack, "arena.wld");
  r3xCloseWad(pack);
}

void BM_LoadDemoArenaBinary(benchmark::State& state) {
  const Files& files = TestFiles();
  test_support::ScopedWorkingFolder bitmaps(ARENA_DEMO_BITMAPS);
  Load(state, files.demoBinary, nullptr, files.demoBinary.c_str());
}

void BM_LoadLargeArenaPrecompiled(benchmark::State& state) {
  const Files& files = TestFiles();
  R3xWad* pack = r3xOpenWad(files.arenaPack.c_str(), 64);
  LoadBytes(state, files.arenaPrecompiledBytes, pack, "largepc.wld");
  r3xCloseWad(pack);
}

void BM_LoadDemoArenaPrecompiled(benchmark::State& state) {
  R3xWad* pack = r3xOpenWad(ARENA_DEMO_PACK, 64);
  LoadBytes(state, TestFiles().demoPrecompiledBytes, pack, "arenapc.wld");
  r3xCloseWad(pack);
}

// The precompiled reader's byte ring alone: 16 MB through the reader thread in reads of the
// sizes records have, without building anything.
void BM_WorldRing(benchmark::State& state) {
  static const test_support::ScratchFolder folder{"world_ring_bench"};
  static const std::string path =
      folder.Write("ring.bin", std::vector<std::uint8_t>(std::size_t{16} << 20, 0x5A));
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    R3xWorldReader* reader =
        _r3xCreateWorldReader(path.c_str(), nullptr, nullptr, nullptr, nullptr);
    _r3xStartWorldReader(reader);
    while (_r3xReadWorldBytes(reader, buffer.data(), buffer.size()) == 0) {
    }
    _r3xDestroyWorldReader(reader);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) << 24);
}

BENCHMARK(BM_WorldRing)->Arg(8)->Arg(700)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadDemoArenaPrecompiled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadDemoArenaText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadDemoArenaBinary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadLargeArenaPrecompiled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadLargeArenaText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadLargeArenaBinary)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
