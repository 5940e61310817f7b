#include "battle/arena/arena_neighbours.h"

#include <vector>

#include "battle/arena/mine.h"
#include "battle/arena/tank_list.h"

namespace {

// The mine records handed to the mover; rebuilt at each request.
std::vector<MoverNeighbour>& MineStore() {
  static std::vector<MoverNeighbour> store;
  return store;
}

}  // namespace

MoverNeighbours CollectArenaNeighbours() {
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
  neighbours.mines = mines;
  // With CFlag: the flag list joins as neighbours.flags.
  return neighbours;
}
