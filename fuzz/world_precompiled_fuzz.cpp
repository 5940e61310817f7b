// The precompiled world reader over arbitrary records, from a pack archive: the input's first
// byte says whether the pack holds a ".VIS" member, the next two give its length (taken from
// the bytes after them), and the rest is the world file after the precompiled signature. The
// pack also holds small bitmaps under the names that bitmap records of the seeds (made by mkdata
// from the demo arena and the rooms world) give. The pack lives in an anonymous memory file that
// each run rewrites, so that runs spend their time in the reader rather than in writing files.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/core/math_tables.h"
#include "engine/core/math_tables_internal.h"
#include "engine/core/wad.h"
#include "engine/core/world.h"
#include "engine/world/precompiled_world_format.h"
#include "engine/world/world_loading.h"
#include "platform/kernel/message_box.h"
#include "tools/mkdata/bmp_writer.h"
#include "tools/mkdata/pack_writer.h"

namespace {

// A short name for bitmap records made by hand, and the demo arena's bitmaps.
constexpr const char* kBitmapNames[] = {"b.bmp", "floor.bmp", "wall.bmp", "sky.bmp", "spark.bmp"};

const std::vector<std::uint8_t>& Bitmap() {
  static const std::vector<std::uint8_t> bitmap =
      mkdata::BuildBmp(mkdata::MakePatternImage(8, 8, 16));
  return bitmap;
}

// The anonymous memory file that holds the pack, and the name it is opened by.
struct MemoryFile {
  int descriptor;
  std::string path;
};

const MemoryFile& PackFile() {
  static const MemoryFile file = [] {
    const int descriptor = memfd_create("world_precompiled_fuzz", 0);
    if (descriptor < 0) {
      std::abort();
    }
    return MemoryFile{descriptor, "/proc/self/fd/" + std::to_string(descriptor)};
  }();
  return file;
}

// Replaces the memory file's bytes.
void WritePack(const std::vector<std::uint8_t>& bytes) {
  const int descriptor = PackFile().descriptor;
  const auto size = static_cast<ssize_t>(bytes.size());
  if (ftruncate(descriptor, size) != 0 ||
      pwrite(descriptor, bytes.data(), bytes.size(), 0) != size) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool tablesBuilt = _r3xInitMathTables() == 1;
  if (!tablesBuilt || size < 3) {
    return 0;
  }
  platform::SetMessageBoxEcho(false);  // the parser's boxes would flood standard error
  const bool withVis = (data[0] & 1) != 0;
  const std::size_t visSize = std::min<std::size_t>(data[1] | (data[2] << 8), size - 3);
  const std::uint8_t* vis = data + 3;
  std::vector<std::uint8_t> world(R3X_PRECOMPILED_SIGNATURE,
                                  R3X_PRECOMPILED_SIGNATURE + sizeof R3X_PRECOMPILED_SIGNATURE);
  world.insert(world.end(), vis + visSize, data + size);
  std::vector<mkdata::PackMember> members{{"fuzz.wld", std::move(world)}};
  for (const char* name : kBitmapNames) {
    members.push_back({name, Bitmap()});
  }
  if (withVis) {
    members.push_back({"fuzz.VIS", std::vector<std::uint8_t>(vis, vis + visSize)});
  }
  WritePack(mkdata::BuildPack(std::move(members), mkdata::PackLayout::kHeader));
  R3xWad* pack = r3xOpenWad(PackFile().path.c_str(), 8);
  R3xWorld* target = r3xCreateWorld(nullptr, 0, nullptr);
  if (pack == nullptr || target == nullptr) {
    std::abort();
  }
  r3xLoadWorldFile("fuzz.wld", target, pack, nullptr, nullptr, nullptr);
  r3xDestroyWorld(target);
  r3xCloseWad(pack);
  platform::ClearShownMessageBoxes();
  return 0;
}
