#include "engine/world/actor_actions.h"

#include "engine/core/actor.h"
#include "engine/core/actor_def.h"
#include "engine/core/memory.h"
#include "engine/core/object.h"
#include "engine/core/surface.h"
#include "engine/core/tag_dictionary.h"
#include "engine/core/volume.h"
#include "engine/world/action_list.h"
#include "engine/world/parse_context.h"
#include "engine/world/parse_list.h"
#include "engine/world/parse_result.h"
#include "engine/world/sprite_actions.h"
#include "engine/world/surface_actions.h"

namespace {

// Distances as read: squared, or absent.
struct LevelItem {
  R3xParserValue part;
  bool minGiven;
  float minSquared;
  float maxSquared;
};

void freeLevel(void* item) { parFreeParserValue(&static_cast<LevelItem*>(item)->part); }

void freeActions(R3xParseList* actions) {
  for (std::uint32_t i = 0; i < actions->count; ++i) {
    r3xFree(static_cast<R3xAction*>(parListAt(actions, i))->levels);
  }
  parListFree(actions);
}

void freeSurfaces(R3xParseList* surfaces) {
  for (std::uint32_t i = 0; i < surfaces->count; ++i) {
    r3xFree(static_cast<R3xSurface*>(parListAt(surfaces, i))->uv);
  }
  parListFree(surfaces);
}

std::uint32_t indexOrZero(const R3xParserValue* value) {
  return parHasValue(value) ? static_cast<std::uint32_t>(value->number - 1) : 0;
}

}  // namespace

void parFreeActionList(void* record) {
  auto* list = static_cast<R3xParsedActionList*>(record);
  if (list == nullptr) {
    return;
  }
  freeActions(&list->actions);
  parListFree(&list->parts);
  freeSurfaces(&list->surfaces);
  r3xFree(list);
}

std::int32_t parNewActionList(R3xParseContext* context, R3xParserValue* out) {
  auto* list = static_cast<R3xParsedActionList*>(r3xMalloc(sizeof(R3xParsedActionList)));
  if (list == nullptr || parListInit(&list->actions, sizeof(R3xAction), 0) != 0 ||
      parListInit(&list->parts, sizeof(R3xObjectHeader*), 0) != 0 ||
      parListInit(&list->surfaces, sizeof(R3xSurface), 0) != 0) {
    parFreeActionList(list);
    parError(context, "out of memory");
    return PAR_STOP;
  }
  *out = parRecordValue(list, parFreeActionList);
  return 0;
}

std::int32_t parAppendLevel(R3xParseContext* context, R3xParserValue* levels, R3xParserValue* part,
                            R3xParserValue* minDistance, R3xParserValue* maxDistance) {
  LevelItem level{};
  level.part = *part;
  *part = parNoValue();
  level.minGiven = parHasValue(minDistance);
  level.minSquared = minDistance->real * minDistance->real;
  level.maxSquared =
      parHasValue(maxDistance) ? maxDistance->real * maxDistance->real : R3X_LOD_LAST_UPPER;
  if (parAppendItem(context, levels, sizeof level, &level, freeLevel) != 0) {
    freeLevel(&level);
    return PAR_STOP;
  }
  return 0;
}

std::int32_t parAppendAction(R3xParseContext* context, R3xParserValue* actionList,
                             R3xParserValue* levels) {
  auto* list = static_cast<R3xParsedActionList*>(actionList->record);
  R3xParseList* items = parValueList(levels);
  R3xAction action{};
  action.levelCount = parValueCount(levels);
  if (action.levelCount != 0) {
    action.levels = static_cast<R3xLodLevel*>(r3xMalloc(action.levelCount * sizeof(R3xLodLevel)));
  }
  std::int32_t result = 0;
  if ((action.levelCount != 0 && action.levels == nullptr) ||
      parListAppend(&list->actions, &action) != 0) {
    r3xFree(action.levels);
    parError(context, "out of memory");
    result = PAR_STOP;
  }
  for (std::uint32_t i = 0; result == 0 && i < action.levelCount; ++i) {
    auto* level = static_cast<LevelItem*>(parListAt(items, i));
    R3xLodLevel& entry = action.levels[i];
    entry.switchBackSquared = i == 0            ? 0.0f
                              : level->minGiven ? level->minSquared
                                                : action.levels[i - 1].upperSquared;
    entry.upperSquared = level->maxSquared;
    entry.partIndex = static_cast<std::int32_t>(list->parts.count);
    R3xObjectHeader* sprite = nullptr;
    if (level->part.number == R3X_SURFACE_PART) {
      auto* surface = static_cast<R3xSurface*>(parTakeRecord(&level->part));
      result = parListAppend(&list->surfaces, surface);
      if (result == 0) {
        surface->uv = nullptr;
      }
      parFreeSurface(surface);
    } else {
      sprite = static_cast<R3xObjectHeader*>(level->part.record);
      ++list->spriteCount;
    }
    if (result == 0) {
      result = parListAppend(&list->parts, &sprite);
    }
    if (result != 0) {
      parError(context, "out of memory");
    }
  }
  parFreeParserValue(levels);
  return result;
}

std::int32_t parEndActionList(R3xParseContext* context, std::int32_t declared,
                              R3xParserValue* actionList) {
  const auto* list = static_cast<const R3xParsedActionList*>(actionList->record);
  if (parCheckCount(context, "NUMACTIONS", declared, list->actions.count) != 0) {
    return PAR_STOP;
  }
  // Kept as the loaders always had it: a list is refused when it has as many surface parts as
  // sprite parts, which also refuses a list without levels.
  if (list->surfaces.count == list->spriteCount) {
    parError(context, "invalid LOD somewhere in action list");
    return PAR_STOP;
  }
  return 0;
}

std::int32_t parMakePlacement(R3xParseContext* context, std::int32_t region, float x, float y,
                              float z, std::int32_t heading, std::int32_t pitch, std::int32_t roll,
                              R3xParserValue* out) {
  auto* placement = static_cast<R3xPlacement*>(r3xMalloc(sizeof(R3xPlacement)));
  if (placement == nullptr) {
    parError(context, "out of memory");
    return PAR_STOP;
  }
  *placement = {x,
                y,
                z,
                static_cast<float>(heading),
                static_cast<float>(pitch),
                static_cast<float>(roll),
                region - 1};
  *out = parRecordValue(placement, r3xFree);
  return 0;
}

std::int32_t parDefineActor(R3xParseContext* context, R3xActorDefClauses* clauses) {
  auto* list = static_cast<R3xParsedActionList*>(clauses->actions->record);
  const R3xPlacement zero{};
  const auto* placement = parHasValue(clauses->location)
                              ? static_cast<const R3xPlacement*>(clauses->location->record)
                              : &zero;
  R3xVolume* volume = parHasValue(clauses->volume)
                          ? static_cast<R3xVolume*>(parTakeRecord(clauses->volume))
                          : r3xEmptyVolume();
  const std::uint32_t actionCount = list->actions.count;
  auto* actions = static_cast<R3xAction*>(list->actions.data);
  R3xActorDef* definition = r3xCreateActorDef(
      context->world, clauses->tag->text, actionCount, actions, clauses->userData->text, placement,
      volume, r3xEmptyVolume(), 0.0f, 0.0f, indexOrZero(clauses->currentAction),
      static_cast<R3xObjectHeader* const*>(list->parts.data), clauses->activeGeometry);
  if (definition != nullptr && definition->actions == actions) {
    // The actions with their levels and the user data are the definition's now.
    parListDetach(&list->actions);
    parTakeText(clauses->userData);
  } else {
    r3xDestroyVolume(context->world, volume);
  }
  std::int32_t result = 0;
  if (definition == nullptr) {
    parError(context, "could not define actor");
    result = PAR_STOP;
  }
  parFreeParserValue(clauses->tag);
  parFreeParserValue(clauses->actions);
  parFreeParserValue(clauses->location);
  parFreeParserValue(clauses->volume);
  parFreeParserValue(clauses->userData);
  return result;
}

std::int32_t parInstanceActor(R3xParseContext* context, R3xActorClauses* clauses) {
  const char* name = clauses->definition->text;
  const char* tag = clauses->tag->text;
  R3xObjectHeader* found = r3xFindTag(context->world, name);
  std::int32_t result = 0;
  R3xVolume* twoValue = nullptr;
  const float* size = clauses->spriteSize->vector;
  const auto nonzero = [](const R3xParserValue* value) {
    return parHasValue(value) && value->real != 0.0f;
  };
  if (found == nullptr || found->type != R3X_TYPE_ACTOR_DEF) {
    parError(context, "no definition for actor: %s", name);
    result = PAR_STOP;
  } else if (parHasValue(clauses->spriteSize) && size[0] * size[1] != 0.0f) {
    twoValue = reinterpret_cast<R3xVolume*>(r3xCreateTwoValueVolume(size[1], size[0]));
    if (twoValue == nullptr) {
      parError(context, "could not create volume");
      result = PAR_STOP;
    }
  } else if (!nonzero(clauses->boundingRadius) || !nonzero(clauses->scaleFactor)) {
    parError(context, "could not create volume");
    result = PAR_STOP;
  }
  auto* volume = static_cast<R3xVolume*>(clauses->volume->record);
  if (result == 0) {
    R3xActor* actor =
        r3xCreateActor(context->world, reinterpret_cast<R3xActorDef*>(found), tag,
                       static_cast<const R3xPlacement*>(clauses->location->record), volume,
                       twoValue, clauses->scaleFactor->real, clauses->boundingRadius->real,
                       reinterpret_cast<std::uintptr_t>(clauses->userData->text));
    if (actor != nullptr) {
      // The actor holds the user data from now on.
      parTakeText(clauses->userData);
    }
    if (actor == nullptr) {
      parError(context, "could not create instance of %s for actor: %s", name,
               tag != nullptr ? tag : "(null)");
      result = PAR_STOP;
    } else if (r3xSetActorCurrentAction(actor, indexOrZero(clauses->currentAction)) != 0) {
      parError(context, "PostActorCreate: could not set actor current action");
      result = PAR_STOP;
    }
  }
  // The actor keeps copies of its volumes.
  if (volume != nullptr) {
    parTakeRecord(clauses->volume);
    r3xDestroyVolume(context->world, volume);
  }
  r3xDestroyVolume(context->world, twoValue);
  parFreeParserValue(clauses->definition);
  parFreeParserValue(clauses->tag);
  parFreeParserValue(clauses->location);
  parFreeParserValue(clauses->userData);
  return result;
}
