// The OBSTACLE statement's geometry clause as the grammar reads it, before the region's
// actions build the obstacle from it.
// Results: 0 or PAR_STOP (parse_result.h).
#pragma once

#include <cstdint>

#include "engine/world/parser_value.h"

struct R3xParseContext;
struct R3xParsedObstacle;

// out: an owned R3xParsedObstacle of the kind with the clause's first integer and its numbers
// (the list is taken over).
std::int32_t parNewParsedObstacle(R3xParseContext* context, std::int32_t kind,
                                  std::int32_t regionField, R3xParserValue* numbers,
                                  R3xParserValue* out);
// The same for the kinds that take one or two numbers (count 1 or 2), given as they were read.
std::int32_t parNewParsedObstacleOf(R3xParseContext* context, std::int32_t kind,
                                    std::int32_t regionField, const std::int32_t* numbers,
                                    std::uint32_t count, R3xParserValue* out);
// Frees what a parsed obstacle owns (null is allowed) and keeps the cleared record for the next
// obstacle of the parse.
void parRecycleParsedObstacle(R3xParseContext* context, R3xParsedObstacle* obstacle);
// Frees a parsed obstacle with its numbers and user data. (An R3xParserRecordFreeFn.)
void parFreeParsedObstacle(void* obstacle);
