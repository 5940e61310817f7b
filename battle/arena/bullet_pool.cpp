#include "battle/arena/bullet_pool.h"

std::list<std::unique_ptr<CBullet>> gBulletPool;

namespace {

// A bullet without an actor is never shown or moved: its node is emptied.
void KeepWithActor(std::unique_ptr<CBullet>& node) {
  if (node != nullptr && !node->HasActor()) {
    node.reset();
  }
}

bool TakesCamera(std::uint32_t kind, std::uint32_t camera) {
  const auto whole = static_cast<std::int32_t>(kind);
  return camera != 0 && whole >= 8 && whole <= 10;
}

}  // namespace

void CBulletPool::AddNode() {
  std::unique_ptr<CBullet>& node = gBulletPool.emplace_front(std::make_unique<CBullet>());
  KeepWithActor(node);
}

void CBulletPool::Fire(std::uint32_t kind, const R3xPlacement& pose, std::uint32_t owner,
                       std::int32_t damage, float speed, std::uint32_t report,
                       std::uint32_t camera) {
  if (gBulletPool.empty()) {
    return;  // no world: no pool
  }
  std::unique_ptr<CBullet>* shot = nullptr;
  std::unique_ptr<CBullet>& head = gBulletPool.front();
  if (head == nullptr) {
    head = std::make_unique<CBullet>(kind, pose, owner, damage, speed, report);
    shot = &head;
  } else {
    for (std::unique_ptr<CBullet>& node : gBulletPool) {
      if (node != nullptr && node->IsFinished()) {
        node->Relaunch(kind, pose, owner, damage, speed, report);
        shot = &node;
        break;
      }
    }
  }
  if (shot == nullptr) {
    AddNode();
    return;  // lost; the pool has one more bullet for later shots
  }
  KeepWithActor(*shot);
  // The original also hands the camera a shot that was dropped; only a flying shell takes it.
  if (*shot != nullptr && !(*shot)->IsFinished() && TakesCamera(kind, camera)) {
    (*shot)->FollowWithCamera();
  }
}

void MakeBulletPool() {
  for (std::unique_ptr<CBullet>& node : gBulletPool) {
    if (node != nullptr) {
      node->ForgetActor();
    }
  }
  gBulletPool.clear();
  for (int i = 0; i < CBulletPool::kWorldStartSize; ++i) {
    CBulletPool::AddNode();
  }
}

void UpdateAllBullets() {
  for (const std::unique_ptr<CBullet>& node : gBulletPool) {
    if (node != nullptr && !node->IsFinished()) {
      node->Update();
    }
  }
}
