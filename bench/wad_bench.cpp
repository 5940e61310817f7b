// Member look-up in a 10,000-member pack archive of either layout: the directory search alone,
// and a whole member open and close with its mapped view.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "engine/r3x.h"
#include "tests/support/scratch_folder.h"
#include "tools/mkdata/pack_writer.h"

namespace {

constexpr int kMembers = 10000;

std::string MemberName(int i) {
  char name[16];
  std::snprintf(name, sizeof name, "m%05d.bmp", i);
  return name;
}

// The archive file for the layout, written once and removed at exit; names to look up in a
// shuffled order and upper case.
struct Archive {
  explicit Archive(mkdata::PackLayout layout) {
    std::vector<mkdata::PackMember> members;
    for (int i = 0; i < kMembers; ++i) {
      members.push_back(
          {MemberName(i), std::vector<std::uint8_t>(64, static_cast<std::uint8_t>(i))});
      std::string upper = MemberName(i);
      std::transform(upper.begin(), upper.end(), upper.begin(),
                     [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
      names.push_back(upper);
    }
    std::shuffle(names.begin(), names.end(), std::mt19937(7));
    path = folder.Write("bench.r3x", mkdata::BuildPack(std::move(members), layout));
  }

  test_support::ScratchFolder folder{"wad_bench"};
  std::string path;
  std::vector<std::string> names;
};

const Archive& ArchiveOf(std::int64_t layout) {
  static const Archive header(mkdata::PackLayout::kHeader);
  static const Archive plain(mkdata::PackLayout::kPlain);
  return layout == 1 ? header : plain;
}

// Opens the archive of layout range(0), 1 (header) or 2 (plain), and runs the step with each
// name in turn, once per iteration; a step that returns false ends the run.
template <typename Step>
void LookUpInTurn(benchmark::State& state, Step step) {
  const Archive& archive = ArchiveOf(state.range(0));
  R3xWad* wad = r3xOpenWad(archive.path.c_str(), 20);
  if (wad == nullptr) {
    state.SkipWithError("archive did not open");
    return;
  }
  std::size_t next = 0;
  for (auto _ : state) {
    if (!step(wad, archive.names[next].c_str())) {
      break;
    }
    next = next + 1 == archive.names.size() ? 0 : next + 1;
  }
  r3xCloseWad(wad);
}

void BM_DirectorySearch(benchmark::State& state) {
  LookUpInTurn(state, [](R3xWad* wad, const char* name) {
    R3xWadMember slot{};
    benchmark::DoNotOptimize(wad->lookup(wad, name, &slot));
    benchmark::DoNotOptimize(slot.start);
    return true;
  });
}
BENCHMARK(BM_DirectorySearch)->Arg(1)->Arg(2);

void BM_OpenAndCloseMember(benchmark::State& state) {
  LookUpInTurn(state, [&state](R3xWad* wad, const char* name) {
    R3xWadMember* member = r3xOpenWadMember(wad, name);
    if (member == nullptr) {
      state.SkipWithError("member not found");
      return false;
    }
    r3xCloseWadMember(member);
    return true;
  });
}
BENCHMARK(BM_OpenAndCloseMember)->Arg(1)->Arg(2);

void BM_OpenArchive(benchmark::State& state) {
  const Archive& archive = ArchiveOf(state.range(0));
  for (auto _ : state) {
    R3xWad* wad = r3xOpenWad(archive.path.c_str(), 20);
    benchmark::DoNotOptimize(wad);
    r3xCloseWad(wad);
  }
}
BENCHMARK(BM_OpenArchive)->Arg(1)->Arg(2);

}  // namespace

BENCHMARK_MAIN();
