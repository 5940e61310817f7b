// Small text worlds for the sweep tests: rooms along x joined by portals, loaded through the
// engine's world-file entry.
#pragma once

#include <cstdint>
#include <string>

#include "engine/r3x.h"
#include "tests/support/scoped_working_folder.h"
#include "tests/support/scratch_folder.h"

namespace sweep_test {

// `rooms` rooms of the given width along x, 10 deep in y: room k (region k - 1) spans
// [width (k - 1), width k]. Solid XY lines close them; the lines between rooms are portals.
// `extra` is written into the first room's obstacle list after its walls, as obstacles
// 100 and up ("OBSTACLE 100 XY_VERTEX 0 v NEXTREGION 0 ENDOBSTACLE 100"), `extraCount` of them;
// extra vertices may be given as XYZ lines (`extraVertices` of them, numbered from the grid's
// count + 1). `definitions` follows the regions (actor definitions and the like).
struct RoomsSpec {
  std::uint32_t rooms = 2;
  float width = 10.0f;
  std::string extraVertexLines;
  std::uint32_t extraVertices = 0;
  std::string extraObstacles;
  std::uint32_t extraCount = 0;
  std::string definitions;
};

std::string RoomsWorld(const RoomsSpec& spec);

// A world loaded from text in a scratch folder, with the math tables.
class LoadedWorld {
 public:
  explicit LoadedWorld(const std::string& text);
  ~LoadedWorld();
  LoadedWorld(const LoadedWorld&) = delete;
  LoadedWorld& operator=(const LoadedWorld&) = delete;

  R3xWorld* world() const { return world_; }
  std::int32_t result() const { return result_; }

 private:
  test_support::ScratchFolder folder_;
  test_support::ScopedWorkingFolder working_;
  R3xWorld* world_;
  std::int32_t result_;
};

}  // namespace sweep_test
