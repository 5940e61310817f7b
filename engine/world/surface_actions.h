// Rule actions of bitmaps (FRAME, BMINFO) and surfaces (RENDERMETHOD, RENDERINFO and the
// simple sprite instance that textures a surface). Each returns 0, or PAR_STOP after reporting its
// error; values passed in are consumed.
// Results: 0, or PAR_STOP (parse_result.h) after reporting the error.
#pragma once

#include <cstdint>

#include "engine/world/parser_value.h"

struct R3xParseContext;
struct R3xSurface;

// The optional clauses of RENDERINFO in file order; absent ones carry no value.
struct R3xRenderInfoClauses {
  R3xParserValue* pen;
  R3xParserValue* brightness;
  R3xParserValue* scaledAmbient;
  R3xParserValue* texture;
  R3xParserValue* uvOrigin;
  R3xParserValue* uAxis;
  R3xParserValue* vAxis;
  R3xParserValue* uvPairs;
  R3xParserValue* twoSided;
};

// FRAME file tag: out is the bitmap handle (owned by the world).
std::int32_t parLoadFrame(R3xParseContext* context, R3xParserValue* file, R3xParserValue* tag,
                          R3xParserValue* out);
// Appends a name to the MIP file list of BMINFO.
std::int32_t parAddMipName(R3xParseContext* context, R3xParserValue* list, R3xParserValue* name);
// BMINFO tag files...: out is the bitmap handle.
std::int32_t parLoadMipFrames(R3xParseContext* context, R3xParserValue* tag, R3xParserValue* names,
                              R3xParserValue* out);

// RGBPEN: the nearest index of the load's palette.
std::int32_t parRgbPen(R3xParseContext* context, std::int32_t red, std::int32_t green,
                       std::int32_t blue, R3xParserValue* out);
// SIMPLESPRITEINST: a new simple sprite of the named definition, the texture of a surface.
std::int32_t parInstanceSimpleSprite(R3xParseContext* context, R3xParserValue* name,
                                     R3xParserValue* skipFrames, R3xParserValue* out);
// UAXIS / VAXIS l x y z: the axis (x/l, y/l, z/l).
R3xParserValue parAxisValue(float length, float x, float y, float z);
// RENDERINFO: out is an owned surface record without its render method.
std::int32_t parBuildRenderInfo(R3xParseContext* context, R3xRenderInfoClauses* clauses,
                                R3xParserValue* out);
// RENDERMETHOD method [render-info]: out is an owned surface record (parFreeSurface).
std::int32_t parBuildSurface(R3xParseContext* context, std::int32_t method,
                             R3xParserValue* renderInfo, R3xParserValue* out);

// Turns texel UVs into texture fractions: the axes are divided by the size of the texture's
// first frame and the n UV pairs multiplied by it. A texture without frames or with a zero
// size leaves the surface as it is.
void parScaleSpriteUVs(R3xSurface* surface, std::uint32_t count);
// Frees a surface record with its UV array. (An R3xParserRecordFreeFn.)
void parFreeSurface(void* surface);
