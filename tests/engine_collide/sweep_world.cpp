#include "sweep_world.h"

#include <iomanip>
#include <sstream>

#include "engine/core/math_tables_internal.h"

namespace sweep_test {

std::string RoomsWorld(const RoomsSpec& spec) {
  const std::uint32_t n = spec.rooms;
  std::ostringstream out;
  // Reals always with a point: the world language reads "0" as an integer.
  out << std::fixed << std::setprecision(3);
  out << "QZVWORLD rooms\n";
  // Vertex 2i + 1 is (width i, 0), vertex 2i + 2 is (width i, 10).
  out << "NUMVERTICES " << 2 * (n + 1) + spec.extraVertices << "\n";
  for (std::uint32_t i = 0; i <= n; ++i) {
    out << "XYZ " << spec.width * static_cast<float>(i) << " 0.0 0.0 XYZ "
        << spec.width * static_cast<float>(i) << " 10.0 0.0\n";
  }
  out << spec.extraVertexLines;
  out << "NUMREGIONS " << n << "\n";
  for (std::uint32_t k = 1; k <= n; ++k) {
    const std::uint32_t west0 = 2 * (k - 1) + 1;
    const std::uint32_t west1 = west0 + 1;
    const std::uint32_t east0 = west0 + 2;
    const std::uint32_t east1 = west0 + 3;
    const bool first = k == 1;
    const bool last = k == n;
    const std::uint32_t extra = first ? spec.extraCount : 0;
    out << "REGION " << k << " REGIONTAG room" << k << " NUMRENDERVERTICES "
        << 2 * (n + 1) + spec.extraVertices << " NUMWALLS 1\n"
        << "  WALL 1 FLOOR NUMVERTICES 4 VERTEXLIST " << west0 << " " << west1 << " " << east1
        << " " << east0 << " RENDERMETHOD SOLIDFILL ENDWALL 1\n"
        << "  NUMOBSTACLES " << 4 + extra << " NUMCUTTINGOBSTACLES "
        << (first ? 0 : 1) + (last ? 0 : 1) << "\n";
    std::uint32_t number = 1;
    // Portals first: they are the cutting obstacles.
    if (!first) {
      out << "  OBSTACLE " << number << " GEOMETRYCUTTINGOBSTACLE XY_LINE 0 " << west0 << " "
          << west1 << " NEXTREGION " << k - 1 << " ENDOBSTACLE " << number << "\n";
      ++number;
    }
    if (!last) {
      out << "  OBSTACLE " << number << " GEOMETRYCUTTINGOBSTACLE XY_LINE 0 " << east1 << " "
          << east0 << " NEXTREGION " << k + 1 << " ENDOBSTACLE " << number << "\n";
      ++number;
    }
    if (first) {
      out << "  OBSTACLE " << number << " XY_LINE 0 " << west0 << " " << west1
          << " NEXTREGION 0 ENDOBSTACLE " << number << "\n";
      ++number;
    }
    if (last) {
      out << "  OBSTACLE " << number << " XY_LINE 0 " << east1 << " " << east0
          << " NEXTREGION 0 ENDOBSTACLE " << number << "\n";
      ++number;
    }
    out << "  OBSTACLE " << number << " XY_LINE 0 " << west1 << " " << east1
        << " NEXTREGION 0 ENDOBSTACLE " << number << "\n";
    ++number;
    out << "  OBSTACLE " << number << " XY_LINE 0 " << east0 << " " << west0
        << " NEXTREGION 0 ENDOBSTACLE " << number << "\n";
    if (first) {
      out << spec.extraObstacles;
    }
    out << "  VISTREE NUMVISNODE 1 NUMVISLIST 1\n"
        << "  VISNODE 1 NORMALABCD 0.0 0.0 0.0 0.0 VISLISTINDEX 1 FRONTTREE 0 BACKTREE 0 "
           "ENDVISNODE 1\n"
        << "  VISIBLELIST 1 RANGE 1 " << k << " ENDVISIBLELIST 1 ENDVISTREE\n"
        << "  SPHERE " << spec.width * (static_cast<float>(k) - 0.5f) << " 5.0 0.0 "
        << spec.width + 10.0f << "\n"
        << "ENDREGION " << k << "\n";
  }
  // A comb: node j splits at x = width j; its back is room j, its front the next node.
  const std::uint32_t nodes = 2 * n - 1;
  out << "WORLDTREE NUMWORLDNODES " << nodes << "\n";
  for (std::uint32_t j = 1; j < n; ++j) {
    const std::uint32_t node = 2 * j - 1;
    const std::uint32_t leaf = node + 1;
    const std::uint32_t front = node + 2;
    out << "  WORLDNODE " << node << " NORMALABCD 1.0 0.0 0.0 "
        << -spec.width * static_cast<float>(j) << " WORLDREGIONTAG 0 FRONTTREE " << front
        << " BACKTREE " << leaf << " ENDWORLDNODE " << node << "\n";
    out << "  WORLDNODE " << leaf << " NORMALABCD 0.0 0.0 0.0 0.0 WORLDREGIONTAG " << j
        << " FRONTTREE 0 BACKTREE 0 ENDWORLDNODE " << leaf << "\n";
  }
  out << "  WORLDNODE " << nodes << " NORMALABCD 0.0 0.0 0.0 0.0 WORLDREGIONTAG " << n
      << " FRONTTREE 0 BACKTREE 0 ENDWORLDNODE " << nodes << "\n";
  out << "ENDWORLDTREE\n" << spec.definitions << "ENDWORLD rooms\n";
  return out.str();
}

LoadedWorld::LoadedWorld(const std::string& text)
    : working_(folder_.Path()), world_(nullptr), result_(-1) {
  _r3xInitMathTables();
  world_ = r3xCreateWorld(nullptr, 0, nullptr);
  folder_.Write("test.wld", text);
  result_ = r3xLoadWorldFile("test.wld", world_, nullptr, nullptr, nullptr, nullptr);
}

LoadedWorld::~LoadedWorld() {
  r3xDestroyWorld(world_);
  _r3xFreeMathTables();
}

}  // namespace sweep_test
