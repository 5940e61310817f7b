// The precompiled world reader over arbitrary records, from a pack archive: the input's first
// byte says whether the pack holds a ".VIS" member, the next two give its length (taken from
// the bytes after them), and the rest is the world file after the precompiled signature. The
// pack also holds a small bitmap that bitmap records can name.
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
#include "tests/support/scratch_folder.h"
#include "tests/support/test_files.h"
#include "tools/mkdata/bmp_writer.h"
#include "tools/mkdata/pack_writer.h"

namespace {

const std::vector<std::uint8_t>& Bitmap() {
  static const std::vector<std::uint8_t> bitmap =
      mkdata::BuildBmp(mkdata::MakePatternImage(8, 8, 16));
  return bitmap;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool tablesBuilt = _r3xInitMathTables() == 1;
  static const test_support::ScratchFolder folder("precompiled_fuzz");
  static const std::string packPath = folder / "world.r3x";
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
  std::vector<mkdata::PackMember> members{{"fuzz.wld", world}, {"b.bmp", Bitmap()}};
  if (withVis) {
    members.push_back({"fuzz.VIS", std::vector<std::uint8_t>(vis, vis + visSize)});
  }
  test_support::WriteTestFile(packPath,
                              mkdata::BuildPack(std::move(members), mkdata::PackLayout::kHeader));
  R3xWad* pack = r3xOpenWad(packPath.c_str(), 8);
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
