// Rule actions of light definitions, lights and the ambient, directional and point lights that
// reach regions. Values passed in are consumed.
// Results: 0, or PAR_STOP (parse_result.h) after reporting the error.
#pragma once

#include <cstdint>

#include "engine/world/parser_value.h"

struct R3xParseContext;

std::int32_t parDefineLight(R3xParseContext* context, R3xParserValue* tag, R3xParserValue* levels,
                            R3xParserValue* currentFrame, R3xParserValue* sleep,
                            R3xParserValue* skipFrames, R3xParserValue* colours);
// COLOR r g b: "color values must be positive" for a value below zero.
std::int32_t parAppendColor(R3xParseContext* context, R3xParserValue* list, float red, float green,
                            float blue);
// LIGHT name: out is a new light (owned by the world).
std::int32_t parMakeLight(R3xParseContext* context, R3xParserValue* name, R3xParserValue* out);

// The region lists below are lists of 1-based region numbers, already counted; a list value
// without a record had no REGIONS clause.
std::int32_t parAmbientLight(R3xParseContext* context, R3xParserValue* tag, R3xParserValue* light,
                             R3xParserValue* regions);
std::int32_t parDirectionalLight(R3xParseContext* context, R3xParserValue* tag,
                                 R3xParserValue* normal, R3xParserValue* light,
                                 std::int32_t staticFlag, R3xParserValue* regions);

struct R3xPointLightClauses {
  R3xParserValue* tag;
  R3xParserValue* position;
  R3xParserValue* light;
  R3xParserValue* radius;
  std::int32_t staticFlag;
  std::int32_t staticInfluence;
  R3xParserValue* regions;
};
std::int32_t parPointLight(R3xParseContext* context, R3xPointLightClauses* clauses);
