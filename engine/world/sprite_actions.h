// Rule actions of the three sprite definitions and of the sprite references that levels of
// detail name. Values passed in are consumed.
// Results: 0, or PAR_STOP (parse_result.h) after reporting the error.
#pragma once

#include <cstdint>

#include "engine/world/parser_value.h"

struct R3xParseContext;
struct R3xObjectHeader;
struct R3xIndexedPolygon;

// The kinds of sprite reference.
enum R3xSpritePartKind : std::int32_t {
  R3X_SPRITE_PART_3D = 1,
  R3X_SPRITE_PART_2D = 2,
  R3X_SPRITE_PART_SIMPLE = 3,
};
// The number a surface part's value carries, to tell it from a sprite part.
inline constexpr std::int32_t R3X_SURFACE_PART = 4;

std::int32_t parDefineSimpleSprite(R3xParseContext* context, R3xParserValue* tag,
                                   R3xParserValue* frames, R3xParserValue* currentFrame,
                                   R3xParserValue* sleep, R3xParserValue* skipFrames);

// HEADING: out is an owned view with its frame array; PITCH: an owned view set with its views.
std::int32_t parMakeHeading(R3xParseContext* context, std::int32_t cap, R3xParserValue* frames,
                            R3xParserValue* out);
std::int32_t parAppendHeading(R3xParseContext* context, R3xParserValue* list,
                              R3xParserValue* heading);
std::int32_t parMakePitch(R3xParseContext* context, std::int32_t cap, std::int32_t topOrBottom,
                          R3xParserValue* headings, R3xParserValue* out);
std::int32_t parAppendPitch(R3xParseContext* context, R3xParserValue* list, R3xParserValue* pitch);

// The clauses of 2DSPRITEDEF in file order; absent ones carry no value.
struct R3x2DSpriteClauses {
  R3xParserValue* tag;
  R3xParserValue* centerOffset;
  R3xParserValue* frameCount;
  R3xParserValue* currentFrame;
  R3xParserValue* sleep;
  R3xParserValue* skipFrames;
  R3xParserValue* sizeX;
  R3xParserValue* sizeY;
  R3xParserValue* depthScale;
  R3xParserValue* pitches;
  R3xParserValue* surface;
  R3xParserValue* volume;
  R3xParserValue* boundingRadius;
};
std::int32_t parDefine2DSprite(R3xParseContext* context, R3x2DSpriteClauses* clauses);

// BSPNODE: out is an owned face with its surface and its FRONTTREE and BACKTREE numbers.
std::int32_t parMakeBspNode(R3xParseContext* context, R3xParserValue* plane,
                            R3xParserValue* vertexNumbers, R3xParserValue* surface,
                            std::int32_t front, std::int32_t back, R3xParserValue* out);
std::int32_t parAppendBspNode(R3xParseContext* context, R3xParserValue* list, R3xParserValue* node);

// The clauses of 3DSPRITEDEF in file order.
struct R3x3DSpriteClauses {
  R3xParserValue* tag;
  R3xParserValue* gouraud;
  R3xParserValue* centerOffset;
  R3xParserValue* vertices;
  R3xParserValue* nodes;
  R3xParserValue* volume;
  R3xParserValue* boundingRadius;
};
std::int32_t parDefine3DSprite(R3xParseContext* context, R3x3DSpriteClauses* clauses);

// NULLSPRITE.
R3xObjectHeader* parNullSpritePart();
// 3DSPRITE, 2DSPRITE or SIMPLESPRITE name: out is the new sprite (owned by the world).
std::int32_t parSpritePart(R3xParseContext* context, R3xSpritePartKind kind, R3xParserValue* name,
                           R3xParserValue* out);

// The default radius of a 2D sprite from its centre offset, size and depth scale.
float parSpriteRange(const float* centre, const float* size, float depthScale);
// The plane of a 3D sprite face from its first three vertices. 0, or PAR_STOP after the message.
std::int32_t _r3xCompute3DSpritePlane(R3xParseContext* context, R3xIndexedPolygon* face);
// True when any of the four floats is nonzero (-0.0 counts as zero).
bool parVectorIsSet(const float* vector);
