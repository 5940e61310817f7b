// Rule actions of action lists (actor definitions and sky regions), actor definitions and
// actor instances. Each returns 0, or PAR_STOP after reporting its error; values passed in are
// consumed.
// Results: 0, or PAR_STOP (parse_result.h) after reporting the error.
#pragma once

#include <cstdint>

#include "engine/world/parser_value.h"

struct R3xParseContext;

// out: an empty owned R3xParsedActionList.
std::int32_t parNewActionList(R3xParseContext* context, R3xParserValue* out);
// LEVELOFDETAIL part [MINDISTANCE] [MAXDISTANCE]: appended to an action's level list.
std::int32_t parAppendLevel(R3xParseContext* context, R3xParserValue* levels, R3xParserValue* part,
                            R3xParserValue* minDistance, R3xParserValue* maxDistance);
// ACTION: its levels become entries of the action list, their parts numbered in file order.
std::int32_t parAppendAction(R3xParseContext* context, R3xParserValue* actionList,
                             R3xParserValue* levels);
// The end of the list: NUMACTIONS and the mix of sprite and surface parts are checked.
std::int32_t parEndActionList(R3xParseContext* context, std::int32_t declared,
                              R3xParserValue* actionList);

// LOCATION region x y z heading pitch roll: out is an owned R3xPlacement.
std::int32_t parMakePlacement(R3xParseContext* context, std::int32_t region, float x, float y,
                              float z, std::int32_t heading, std::int32_t pitch, std::int32_t roll,
                              R3xParserValue* out);

struct R3xActorDefClauses {
  R3xParserValue* tag;
  std::int32_t activeGeometry;
  R3xParserValue* actions;
  R3xParserValue* currentAction;
  R3xParserValue* location;
  R3xParserValue* volume;
  R3xParserValue* userData;
};
std::int32_t parDefineActor(R3xParseContext* context, R3xActorDefClauses* clauses);

struct R3xActorClauses {
  R3xParserValue* definition;
  R3xParserValue* tag;
  R3xParserValue* currentAction;
  R3xParserValue* location;
  R3xParserValue* volume;
  R3xParserValue* spriteSize;
  R3xParserValue* boundingRadius;
  R3xParserValue* scaleFactor;
  R3xParserValue* userData;
};
std::int32_t parInstanceActor(R3xParseContext* context, R3xActorClauses* clauses);
