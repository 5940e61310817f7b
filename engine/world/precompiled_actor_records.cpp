// Records of actor definitions and actors.
#include <cstddef>
#include <cstdint>

#include "engine/core/actor.h"
#include "engine/core/actor_def.h"
#include "engine/core/memory.h"
#include "engine/core/object.h"
#include "engine/core/volume.h"
#include "engine/world/precompiled_records.h"
#include "engine/world/world_reader.h"

namespace {

constexpr std::uint32_t kCurrentActionGiven = 0x01;
constexpr std::uint32_t kPlacementGiven = 0x02;
constexpr std::uint32_t kRadiusGiven = 0x04;
constexpr std::uint32_t kScaleGiven = 0x08;
constexpr std::uint32_t kStatic = 0x40;
constexpr std::uint32_t kNoCollision = 0x80;

}  // namespace

void* _r3xReadActorDefRecord(R3xWorldReader* reader) {
  arena::ByteReader in = _r3xPayload(reader);
  const char* tag = _r3xTagName(reader, in, in.I32());
  const std::uint32_t flags = in.U32();
  in.U32();
  const std::uint32_t actionCount = in.U32();
  const std::uint32_t partCount = in.U32();
  const std::int32_t volumeReference = in.I32();
  R3xVolume* volume = (flags & kNoCollision) != 0
                          ? r3xNoCollisionVolume()
                          : _r3xResolveVolume(reader, in, volumeReference, r3xEmptyVolume());
  const std::uint32_t current = (flags & kCurrentActionGiven) != 0 ? in.U32() : 0;
  R3xPlacement placement{};
  if ((flags & kPlacementGiven) != 0) {
    _r3xReadPlacement(in, &placement);
  }
  R3xAction* actions = nullptr;
  std::uint32_t levels = 0;
  if (in.failed() || !_r3xReadActions(in, actionCount, &actions, &levels)) {
    return nullptr;
  }
  R3xObjectHeader** parts = nullptr;
  // The definition reads one part for every level of its actions.
  if (partCount < levels) {
    in.Fail("fewer parts than levels");
  } else if (_r3xCountFits(in, partCount, sizeof(std::int32_t))) {
    parts = static_cast<R3xObjectHeader**>(
        r3xMalloc(std::size_t{partCount} * sizeof(R3xObjectHeader*) + 1));
    if (parts == nullptr) {
      in.Fail("out of memory");
    }
  }
  for (std::uint32_t i = 0; parts != nullptr && i < partCount; ++i) {
    parts[i] = static_cast<R3xObjectHeader*>(_r3xResolveObject(
        reader, in, in.I32(), {R3X_TYPE_SIMPLE_SPRITE, R3X_TYPE_2D_SPRITE, R3X_TYPE_3D_SPRITE}));
  }
  char* userData = nullptr;
  R3xActorDef* definition = nullptr;
  if (in.ok() && _r3xReadUserData(in, &userData)) {
    definition = r3xCreateActorDef(reader->world, tag, actionCount, actions, userData, &placement,
                                   volume, r3xEmptyVolume(), 0.0f, 0.0f, current, parts,
                                   (flags & kStatic) != 0 ? 1 : 0);
  }
  r3xFree(parts);
  if (definition != nullptr && definition->actions == actions) {
    _r3xForgetVolume(reader, volume);
    return definition;
  }
  _r3xFreeActions(actions, actionCount);
  r3xFree(userData);
  if (definition == nullptr && in.ok()) {
    _r3xForgetVolume(reader, volume);
    r3xDestroyVolume(reader->world, volume);
  }
  return definition;
}

void* _r3xReadActorRecord(R3xWorldReader* reader) {
  arena::ByteReader in = _r3xPayload(reader);
  const char* tag = _r3xTagName(reader, in, in.I32());
  auto* definition =
      static_cast<R3xActorDef*>(_r3xResolveObject(reader, in, in.I32(), {R3X_TYPE_ACTOR_DEF}));
  const std::uint32_t flags = in.U32();
  const std::int32_t volumeReference = in.I32();
  R3xVolume* volume = (flags & kNoCollision) != 0
                          ? r3xNoCollisionVolume()
                          : _r3xResolveVolume(reader, in, volumeReference, nullptr);
  const std::uint32_t current = (flags & kCurrentActionGiven) != 0 ? in.U32() : 0;
  R3xPlacement placement{};
  if ((flags & kPlacementGiven) != 0) {
    _r3xReadPlacement(in, &placement);
  }
  const float radius = (flags & kRadiusGiven) != 0 ? in.F32() : 0.0f;
  const float scale = (flags & kScaleGiven) != 0 ? in.F32() : 0.0f;
  char* userData = nullptr;
  if (in.failed() || definition == nullptr || !_r3xReadUserData(in, &userData)) {
    return nullptr;
  }
  R3xActor* actor = r3xCreateActor(
      reader->world, definition, tag, (flags & kPlacementGiven) != 0 ? &placement : nullptr, volume,
      nullptr, scale, radius, reinterpret_cast<std::uintptr_t>(userData));
  // The actor holds a copy of the volume.
  _r3xForgetVolume(reader, volume);
  r3xDestroyVolume(reader->world, volume);
  if (actor == nullptr) {
    r3xFree(userData);
    return nullptr;
  }
  if ((flags & kCurrentActionGiven) != 0) {
    r3xSetActorCurrentAction(actor, current);
  }
  return actor;
}
