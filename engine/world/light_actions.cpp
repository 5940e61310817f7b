#include "engine/world/light_actions.h"

#include "engine/core/directional_light.h"
#include "engine/core/light.h"
#include "engine/core/math_sqrt.h"
#include "engine/core/object.h"
#include "engine/core/point_light.h"
#include "engine/core/region.h"
#include "engine/core/tag_dictionary.h"
#include "engine/world/parse_context.h"
#include "engine/world/parse_list.h"
#include "engine/world/parse_result.h"

namespace {

std::int32_t regionNumber(const R3xParserValue* regions, std::uint32_t i) {
  return *static_cast<const std::int32_t*>(parListAt(parValueList(regions), i));
}

// Names a light object and enters it in the dictionary.
std::int32_t tagLight(R3xParseContext* context, R3xObjectHeader* object, const char* tag,
                      bool anyObject, const char* setFailed, const char* addFailed) {
  const std::int32_t set = anyObject ? r3xSetObjectTag(context->world, object, tag)
                                     : r3xSetTag(context->world, object, tag);
  if (set < 0) {
    parError(context, "%s", setFailed);
    return PAR_STOP;
  }
  if (r3xAddTag(context->world, object) < 0) {
    parError(context, "%s", addFailed);
    return PAR_STOP;
  }
  return 0;
}

}  // namespace

std::int32_t parDefineLight(R3xParseContext* context, R3xParserValue* tag, R3xParserValue* levels,
                            R3xParserValue* currentFrame, R3xParserValue* sleep,
                            R3xParserValue* skipFrames, R3xParserValue* colours) {
  const std::uint32_t frameCount = parValueCount(levels);
  const std::uint32_t current =
      parHasValue(currentFrame) ? static_cast<std::uint32_t>(currentFrame->number - 1) : 0;
  R3xLightDef* definition = r3xCreateLightDef(
      context->world, tag->text, frameCount, static_cast<const float*>(parValueList(levels)->data),
      current, static_cast<std::uint32_t>(sleep->number), skipFrames->number);
  std::int32_t result = 0;
  const std::uint32_t colourCount = parValueCount(colours);
  if (definition == nullptr) {
    parError(context, "could not create light definition");
    result = PAR_STOP;
  } else if (colourCount != 0 && colourCount != frameCount) {
    parError(context, "number of COLOR settings must equal NUMFRAMES (or zero)");
    result = PAR_STOP;
  } else if (colourCount != 0 &&
             r3xSetColoredLightIntensities(
                 definition, static_cast<const float*>(parValueList(colours)->data)) != 0) {
    parError(context, "could not set colored light intensities");
    result = PAR_STOP;
  }
  parFreeParserValue(tag);
  parFreeParserValue(levels);
  parFreeParserValue(colours);
  return result;
}

std::int32_t parAppendColor(R3xParseContext* context, R3xParserValue* list, float red, float green,
                            float blue) {
  if (red < 0.0f || green < 0.0f || blue < 0.0f) {
    parError(context, "color values must be positive");
    return PAR_STOP;
  }
  const float colour[3] = {red, green, blue};
  return parAppendItem(context, list, sizeof colour, colour, nullptr);
}

std::int32_t parMakeLight(R3xParseContext* context, R3xParserValue* name, R3xParserValue* out) {
  R3xObjectHeader* found = r3xFindTag(context->world, name->text);
  if (r3xIsLightDef(found) != 0) {
    parError(context, "no definition for light: %s", name->text);
    parFreeParserValue(name);
    return PAR_STOP;
  }
  parFreeParserValue(name);
  R3xLight* light = r3xCreateLight(context->world, reinterpret_cast<R3xLightDef*>(found));
  if (light == nullptr) {
    parError(context, "could not create light");
    return PAR_STOP;
  }
  *out = parRecordValue(light, nullptr);
  return 0;
}

std::int32_t parAmbientLight(R3xParseContext* context, R3xParserValue* tag, R3xParserValue* light,
                             R3xParserValue* regions) {
  auto* object = static_cast<R3xLight*>(light->record);
  std::int32_t result = 0;
  if (tag->text != nullptr) {
    result = tagLight(context, &object->header, tag->text, false, "could not set ambient light tag",
                      "could not add ambient light to dictionary");
  }
  for (std::uint32_t i = 0; result == 0 && i < parValueCount(regions); ++i) {
    R3xRegion* region = r3xGetRegion(context->world, regionNumber(regions, i) - 1);
    if (region == nullptr || r3xSetRegionAmbient(region, object) != 0) {
      parError(context, "could not set ambient light for region");
      result = PAR_STOP;
    }
  }
  parFreeParserValue(tag);
  parFreeParserValue(regions);
  return result;
}

std::int32_t parDirectionalLight(R3xParseContext* context, R3xParserValue* tag,
                                 R3xParserValue* normal, R3xParserValue* light,
                                 std::int32_t staticFlag, R3xParserValue* regions) {
  const float* v = normal->vector;
  const float scale = r3xInvSqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  const float direction[3] = {v[0] * scale, v[1] * scale, v[2] * scale};
  R3xDirectionalLight* directional =
      r3xCreateDirectionalLight(context->world, static_cast<R3xLight*>(light->record), direction);
  std::int32_t result = 0;
  if (directional == nullptr) {
    parError(context, "could not create directional light");
    result = PAR_STOP;
  } else if (tag->text != nullptr) {
    result = tagLight(context, &directional->header, tag->text, false,
                      "could not set directional light tag",
                      "could not add directional light to dictionary");
  }
  if (result == 0 && staticFlag != 0 && r3xSetDirectionalLightStatic(directional) != 0) {
    parError(context, "could not set directional light static flag");
    result = PAR_STOP;
  }
  for (std::uint32_t i = 0; result == 0 && i < parValueCount(regions); ++i) {
    if (r3xAddDirectionalLightToRegion(context->world, directional, regionNumber(regions, i) - 1) !=
        0) {
      parError(context, "could not add directional light to region");
      result = PAR_STOP;
    }
  }
  parFreeParserValue(tag);
  parFreeParserValue(regions);
  return result;
}

std::int32_t parPointLight(R3xParseContext* context, R3xPointLightClauses* clauses) {
  const bool regionsGiven = clauses->regions->record != nullptr;
  R3xPointLight* point =
      r3xCreatePointLight(context->world, static_cast<R3xLight*>(clauses->light->record),
                          clauses->position->vector, clauses->radius->real, regionsGiven ? 0 : 1);
  std::int32_t result = 0;
  if (point == nullptr) {
    parError(context, "could not create point light");
    result = PAR_STOP;
  }
  if (result == 0 && clauses->staticFlag != 0 && r3xSetLightStatic(point) != 0) {
    parError(context, "could not set point light static flag");
    result = PAR_STOP;
  }
  if (result == 0 && clauses->staticInfluence != 0 && r3xSetLightStaticInfluence(point) != 0) {
    parError(context, "could not set point light static influence flag");
    result = PAR_STOP;
  }
  for (std::uint32_t i = 0; result == 0 && i < parValueCount(clauses->regions); ++i) {
    if (r3xAddPointLightToRegion(context->world, point, regionNumber(clauses->regions, i) - 1) !=
        0) {
      parError(context, "could not add point light to region");
      result = PAR_STOP;
    }
  }
  if (result == 0 && clauses->tag->text != nullptr) {
    result = tagLight(context, &point->header, clauses->tag->text, true,
                      "could not set point light tag", "could not add point light to dictionary");
  }
  parFreeParserValue(clauses->tag);
  parFreeParserValue(clauses->regions);
  return result;
}
