#include "tests/battle_arena/tank_arena.h"

#include "base/byte_writer.h"
#include "battle/arena/arena_geometry.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/bullet_pool.h"
#include "battle/arena/explosion.h"
#include "battle/arena/flare.h"
#include "battle/arena/mine.h"
#include "battle/arena/smoke.h"
#include "battle/arena/tank_list.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_params.h"
#include "battle/core/global_params.h"
#include "battle/core/log.h"
#include "tests/support/test_files.h"
#include "tools/mkdata/arena_map_writer.h"
#include "tools/mkdata/demo_arena_map.h"

namespace tank_test {

namespace {

void WriteWire(arena::ByteWriter& writer, const float* values, int count) {
  for (int i = 0; i < count; ++i) {
    writer.U16(static_cast<std::uint16_t>(static_cast<std::int16_t>(values[i] * 32.0f)));
  }
}

}  // namespace

std::vector<std::uint8_t> CreatePayload(const TankSpec& spec) {
  arena::ByteWriter writer;
  const float pose[6] = {spec.x, spec.y, spec.z, spec.heading, spec.pitch, spec.roll};
  WriteWire(writer, pose, 6);
  for (int i = 0; i < 6 + 6; ++i) {
    writer.U16(0);  // momenta, then the 12 bytes not read
  }
  writer.U32(spec.chassis);
  writer.U32(spec.team);
  writer.U32(spec.id);
  for (char c : spec.name) {
    writer.U8(static_cast<std::uint8_t>(c));
  }
  writer.U8(0);
  return writer.bytes();
}

std::vector<std::uint8_t> StatePayload(const StateSpec& spec) {
  arena::ByteWriter writer;
  WriteWire(writer, spec.position, 3);
  WriteWire(writer, spec.angles, 3);
  WriteWire(writer, spec.momentum, 3);
  WriteWire(writer, spec.angularMomentum, 3);
  WriteWire(writer, &spec.drive, 1);
  WriteWire(writer, &spec.turn, 1);
  writer.U8(0);
  writer.U8(static_cast<std::uint8_t>(spec.turretHalf));
  writer.U8(static_cast<std::uint8_t>(spec.barrelHalf));
  writer.U8(spec.shields);
  writer.U8(0);
  writer.U8(0);
  writer.U8(spec.rockets);
  writer.U8(0);
  return writer.bytes();
}

void TankArena::SetUp() {
  scopedClock_ = std::make_unique<platform::ScopedProcessClock>(clock_);
  ASSERT_EQ(r3xInit(), R3X_DONE);
  InitGameParams();
  OpenLog((folder_.Path() / "arena.log").string().c_str());
  savedGravity_ = gGravity;
  gGravity = -40.0f;
  gFrameTime = timeGetTime();
  pack_ = r3xOpenWad(ARENA_DEMO_PACK, 64);
  ASSERT_NE(pack_, nullptr);
  world_ = r3xCreateWorld(nullptr, 0, nullptr);
  ASSERT_EQ(r3xLoadWorldFile("arena.wld", world_, pack_, nullptr, nullptr, nullptr), 0);
  equipPack_ = r3xOpenWad(ARENA_DEMO_EQUIP, 64);
  ASSERT_NE(equipPack_, nullptr);
  ASSERT_EQ(r3xLoadWorldFile("equip.wld", world_, equipPack_, nullptr, nullptr, nullptr), 0);
  map_ = std::make_unique<CArenaMap>(mkdata::EncodeArenaMap(mkdata::BuildDemoArenaMap()));
  ASSERT_TRUE(map_->IsValid());
  gWorld = world_;
  gArenaMap = map_.get();
  gWorldCeiling = 112.0f;
  mover_ = std::make_unique<CMover>();
  mover_->neighbourSource = CollectTankNeighbours;
  gMover = mover_.get();
  gListenerPlacement = {100.0f, 60.0f, 10.0f, 128.0f, 0.0f, 0.0f, 0};
  gSeeCloaked = 0;
}

void TankArena::TearDown() {
  DeleteAllTanks();
  DeleteAllFlares();  // the flares that tanks dropped
  // The shots and effects the tanks made hold actors of this world.
  gBulletPool.clear();
  DeleteAllMines();
  DeleteAllExplosions();
  DeleteAllSmoke();
  gMover = nullptr;
  mover_.reset();
  gWorld = nullptr;
  gArenaMap = nullptr;
  gWorldCeiling = 0.0f;
  gGravity = savedGravity_;
  gListenerPlacement = {};
  gSeeCloaked = 0;
  if (world_ != nullptr) {
    r3xDestroyWorld(world_);
  }
  r3xCloseWad(equipPack_);
  r3xCloseWad(pack_);
  r3xShutdown();
  CloseLog();
}

CTank* TankArena::Create(const TankSpec& spec) {
  return CreateTankFromMessage(CreatePayload(spec));
}

void TankArena::Send(std::uint32_t id, std::uint32_t type, const std::vector<std::uint8_t>& bytes) {
  CMailbox::PostAnonymous(id, type, static_cast<std::uint32_t>(bytes.size()), bytes.data());
}

void TankArena::Frame(std::uint32_t ms) {
  clock_.Advance(ms);
  gFrameTime = timeGetTime();
  UpdateAllTanks(500.0f);
}

std::size_t TankArena::ListLength() {
  std::size_t count = 0;
  for (const LinkNode* node = gTankList; node != nullptr; node = node->next) {
    ++count;
  }
  return count;
}

int TankArena::RunningExplosions() {
  int count = 0;
  for (const auto& explosion : gExplosionList) {
    count += explosion != nullptr && !explosion->IsFinished() ? 1 : 0;
  }
  return count;
}

int TankArena::RunningSmoke() {
  int count = 0;
  for (const auto& puff : gSmokeList) {
    count += puff != nullptr && !puff->IsFinished() ? 1 : 0;
  }
  return count;
}

std::string TankArena::Log() const {
  return test_support::ReadTestFile(folder_.Path() / "arena.log");
}

}  // namespace tank_test
