// Rule actions of the file structure: the world block and INCLUDE. Values passed in are
// consumed.
// Results: 0, or PAR_STOP (parse_result.h) after reporting the error.
#pragma once

#include <cstdint>

struct R3xParseContext;
struct R3xParserValue;

// NUMVERTICES and its XYZ list become the world's shared vertex array.
std::int32_t parSetWorldVertices(R3xParseContext* context, std::int32_t declared,
                                 R3xParserValue* vertices);
std::int32_t parSetDefaultPaletteFile(R3xParseContext* context, R3xParserValue* name);
// The user data before ENDWORLD, when given, becomes the world string.
std::int32_t parSetWorldData(R3xParseContext* context, R3xParserValue* data);
// Continues the token stream in the include file.
std::int32_t parIncludeFile(R3xParseContext* context, R3xParserValue* name);
