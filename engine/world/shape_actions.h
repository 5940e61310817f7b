// Rule actions of the collision shapes (sphere list and polyhedron definitions) and of the
// volume clause of sprites and actors. Values passed in are consumed.
// Results: 0, or PAR_STOP (parse_result.h) after reporting the error.
#pragma once

#include <cstdint>

#include "engine/world/parser_value.h"

struct R3xParseContext;
struct R3xVolume;

// spheres: a list of {x, y, z, radius}.
std::int32_t parDefineSphereList(R3xParseContext* context, R3xParserValue* tag, float radius,
                                 float scale, R3xParserValue* spheres);
// FACE [NORMALABCD] NUMVERTICES VERTEXLIST: appended to the polyhedron's face list.
std::int32_t parAppendFace(R3xParseContext* context, R3xParserValue* faces, R3xParserValue* plane,
                           R3xParserValue* vertexNumbers);
std::int32_t parDefinePolyhedron(R3xParseContext* context, R3xParserValue* tag, float radius,
                                 float scale, R3xParserValue* vertices, R3xParserValue* faces);

// The volume clause; out is the volume: an owned sphere volume record, or a shared record or
// registered instance that the world owns.
R3xVolume* parNoCollisionVolume();
std::int32_t parSphereVolume(R3xParseContext* context, float radius, R3xParserValue* out);
std::int32_t parInstanceSphereList(R3xParseContext* context, R3xParserValue* name,
                                   R3xParserValue* tag, R3xParserValue* scale, R3xParserValue* out);
std::int32_t parInstancePolyhedron(R3xParseContext* context, R3xParserValue* name,
                                   R3xParserValue* tag, R3xParserValue* scale, R3xParserValue* out);
