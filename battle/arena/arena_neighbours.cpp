#include "battle/arena/arena_neighbours.h"

#include <vector>

#include "battle/arena/flag.h"
#include "battle/arena/mine.h"
#include "battle/arena/tank_list.h"

namespace {

// The records handed to the mover; rebuilt at each request.
std::vector<MoverNeighbour>& FlagStore() {
  static std::vector<MoverNeighbour> store;
  return store;
}

std::vector<MoverNeighbour>& MineStore() {
  static std::vector<MoverNeighbour> store;
  return store;
}

}  // namespace

MoverNeighbours CollectArenaNeighbours() {
  std::vector<MoverNeighbour>& flags = FlagStore();
  flags.clear();
  for (const LinkNode* node = gFlagList; node != nullptr; node = node->next) {
    const auto* flag = static_cast<const CFlag*>(node->object);
    if (flag->Actor() == nullptr) {
      continue;
    }
    const R3xPlacement& pose = flag->Pose();
    flags.push_back({{pose.x, pose.y, pose.z}, flag->Actor(), nullptr});
  }
  std::vector<MoverNeighbour>& mines = MineStore();
  mines.clear();
  for (const std::unique_ptr<CMine>& mine : gMineList) {
    if (mine->Actor() == nullptr) {
      continue;
    }
    const R3xPlacement& pose = mine->Pose();
    mines.push_back({{pose.x, pose.y, pose.z}, mine->Actor(), nullptr});
  }
  MoverNeighbours neighbours = CollectTankNeighbours();
  neighbours.flags = flags;
  neighbours.mines = mines;
  return neighbours;
}
