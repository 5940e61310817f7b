#include "engine/core/destroy_table.h"

#include "engine/core/actor.h"
#include "engine/core/actor_def.h"
#include "engine/core/bitmap.h"
#include "engine/core/directional_light.h"
#include "engine/core/light.h"
#include "engine/core/palette.h"
#include "engine/core/point_light.h"
#include "engine/core/polyhedron.h"
#include "engine/core/region.h"
#include "engine/core/shade_table.h"
#include "engine/core/simple_sprite.h"
#include "engine/core/sphere_list.h"
#include "engine/core/sprite_2d.h"
#include "engine/core/sprite_3d.h"

// Rows of registered types whose objects are not built by any module yet stay empty, so that
// destroying such an object fails instead of pretending to work. Types and the operations
// that fill their rows:
//   polyhedron def / polyhedron        r3xDestroyPolyhedronDef / r3xDestroyPolyhedron
//   sphere list def / sphere list      r3xDestroySphereListDef / r3xDestroySphereList
//   simple sprite def / simple sprite  r3xDestroySimpleSpriteDef / r3xDestroySimpleSprite
//   2D sprite def / 2D sprite          r3xDestroy2DSpriteDef / r3xDestroy2DSprite
//   3D sprite def / 3D sprite          r3xDestroy3DSpriteDef / r3xDestroy3DSprite
//   actor def / actor                  r3xDestroyActorDef / r3xDestroyActor
//   region                             r3xDestroyRegionData
//   bitmap                             r3xDestroyBitmap (given the slot's address)
//   light def / light                  r3xDestroyLightDef / r3xDestroyLight
//   point light, directional light     r3xDestroyPointLight, r3xDestroyDirectionalLight
//   palette, shade table               r3xDestroyPalette, r3xDestroyShadeTable
// Instance rows also name the test for their definition's default instance.
R3xTypeDestroy _r3xDestroyTable[R3X_TYPE_CODE_COUNT] = {};

namespace {

template <typename Record, std::int32_t (*Destroy)(R3xWorld*, Record*)>
std::int32_t destroyInSlot(R3xWorld* world, R3xSlot* slot) {
  return Destroy(world, reinterpret_cast<Record*>(slot->object));
}

template <typename Instance>
bool isDefaultInstance(const R3xObjectHeader* object) {
  const auto* instance = reinterpret_cast<const Instance*>(object);
  return instance->definition->defaultInstance == instance;
}

template <typename Definition, std::int32_t (*DestroyDefinition)(R3xWorld*, Definition*),
          typename Instance, std::int32_t (*DestroyInstance)(R3xWorld*, Instance*)>
void fillPair(std::int32_t definitionType, std::int32_t instanceType) {
  _r3xDestroyTable[definitionType] = {destroyInSlot<Definition, DestroyDefinition>, nullptr};
  _r3xDestroyTable[instanceType] = {destroyInSlot<Instance, DestroyInstance>,
                                    isDefaultInstance<Instance>};
}

// Filled before main, by the one file that every world's destruction links in.
[[maybe_unused]] const bool kRowsFilled = [] {
  fillPair<R3xPolyhedronDef, r3xDestroyPolyhedronDef, R3xPolyhedron, r3xDestroyPolyhedron>(
      R3X_TYPE_POLYHEDRON_DEF, R3X_TYPE_POLYHEDRON);
  fillPair<R3xSphereListDef, r3xDestroySphereListDef, R3xSphereList, r3xDestroySphereList>(
      R3X_TYPE_SPHERE_LIST_DEF, R3X_TYPE_SPHERE_LIST);
  fillPair<R3xSimpleSpriteDef, r3xDestroySimpleSpriteDef, R3xSimpleSprite, r3xDestroySimpleSprite>(
      R3X_TYPE_SIMPLE_SPRITE_DEF, R3X_TYPE_SIMPLE_SPRITE);
  fillPair<R3x2DSpriteDef, r3xDestroy2DSpriteDef, R3x2DSprite, r3xDestroy2DSprite>(
      R3X_TYPE_2D_SPRITE_DEF, R3X_TYPE_2D_SPRITE);
  fillPair<R3x3DSpriteDef, r3xDestroy3DSpriteDef, R3x3DSprite, r3xDestroy3DSprite>(
      R3X_TYPE_3D_SPRITE_DEF, R3X_TYPE_3D_SPRITE);
  fillPair<R3xActorDef, r3xDestroyActorDef, R3xActor, r3xDestroyActor>(R3X_TYPE_ACTOR_DEF,
                                                                       R3X_TYPE_ACTOR);
  fillPair<R3xLightDef, r3xDestroyLightDef, R3xLight, r3xDestroyLight>(R3X_TYPE_LIGHT_DEF,
                                                                       R3X_TYPE_LIGHT);
  _r3xDestroyTable[R3X_TYPE_POINT_LIGHT] = {destroyInSlot<R3xPointLight, r3xDestroyPointLight>,
                                            nullptr};
  _r3xDestroyTable[R3X_TYPE_DIRECTIONAL_LIGHT] = {
      destroyInSlot<R3xDirectionalLight, r3xDestroyDirectionalLight>, nullptr};
  _r3xDestroyTable[R3X_TYPE_REGION] = {destroyInSlot<R3xRegion, r3xDestroyRegionData>, nullptr};
  _r3xDestroyTable[R3X_TYPE_BITMAP] = {r3xDestroyBitmap, nullptr};
  _r3xDestroyTable[R3X_TYPE_PALETTE] = {destroyInSlot<R3xPalette, r3xDestroyPalette>, nullptr};
  _r3xDestroyTable[R3X_TYPE_SHADE_TABLE] = {destroyInSlot<R3xShadeTable, r3xDestroyShadeTable>,
                                            nullptr};
  return true;
}();

}  // namespace
