#include "engine/world/surface_actions.h"

#include "engine/core/bitmap.h"
#include "engine/core/memory.h"
#include "engine/core/object.h"
#include "engine/core/palette.h"
#include "engine/core/part.h"
#include "engine/core/simple_sprite.h"
#include "engine/core/surface.h"
#include "engine/core/tag_dictionary.h"
#include "engine/world/parse_context.h"
#include "engine/world/parse_list.h"
#include "engine/world/parse_result.h"

namespace {

const char* archiveKind(const R3xParseContext* context) {
  return context->archive != nullptr ? "WAD" : "BMP";
}

void freeText(void* item) { r3xFree(*static_cast<char**>(item)); }

void copyVector(float* to, const R3xParserValue* value) {
  for (int i = 0; i < 3; ++i) {
    to[i] = value->vector[i];
  }
}

}  // namespace

std::int32_t parLoadFrame(R3xParseContext* context, R3xParserValue* file, R3xParserValue* tag,
                          R3xParserValue* out) {
  R3xBitmapHandle handle = r3xLoadBitmap(context->world, tag->text, file->text, context->archive);
  if (handle == nullptr) {
    parError(context, "cannot define FRAME %s from bitmap %s in %s file", tag->text, file->text,
             archiveKind(context));
  }
  *out = parRecordValue(handle, nullptr);
  parFreeParserValue(file);
  parFreeParserValue(tag);
  return handle == nullptr ? 1 : 0;
}

std::int32_t parAddMipName(R3xParseContext* context, R3xParserValue* list, R3xParserValue* name) {
  char* text = parTakeText(name);
  parFreeParserValue(name);
  if (text == nullptr) {
    // Reported and skipped: the rest of the list still loads.
    parError(context, "can not add NULL to MIP file list");
    return 0;
  }
  if (parAppendItem(context, list, sizeof text, &text, freeText) != 0) {
    r3xFree(text);
    return PAR_STOP;
  }
  return 0;
}

std::int32_t parLoadMipFrames(R3xParseContext* context, R3xParserValue* tag, R3xParserValue* names,
                              R3xParserValue* out) {
  const R3xParseList* list = parValueList(names);
  const std::uint32_t count = parValueCount(names);
  R3xBitmapHandle handle =
      count == 0
          ? nullptr
          : r3xLoadBitmapFrames(context->world, tag->text, static_cast<std::int32_t>(count),
                                static_cast<const char* const*>(list->data), context->archive);
  if (handle == nullptr) {
    parError(context, "cannot define BMINFO %s in %s file", tag->text, archiveKind(context));
  }
  *out = parRecordValue(handle, nullptr);
  parFreeParserValue(tag);
  parFreeParserValue(names);
  return handle == nullptr ? 1 : 0;
}

std::int32_t parRgbPen(R3xParseContext* context, std::int32_t red, std::int32_t green,
                       std::int32_t blue, R3xParserValue* out) {
  if (context->palette == nullptr) {
    parError(context, "no palette specified for RGB values");
    return PAR_STOP;
  }
  *out = parNumberValue(r3xNearestPaletteIndex(context->palette, red, green, blue));
  return 0;
}

std::int32_t parInstanceSimpleSprite(R3xParseContext* context, R3xParserValue* name,
                                     R3xParserValue* skipFrames, R3xParserValue* out) {
  R3xObjectHeader* found = r3xFindTag(context->world, name->text);
  if (found == nullptr || found->type != R3X_TYPE_SIMPLE_SPRITE_DEF) {
    parError(context, "no simple sprite definition for %s", name->text);
    parFreeParserValue(name);
    return PAR_STOP;
  }
  parFreeParserValue(name);
  R3xSimpleSprite* sprite =
      r3xCreateSimpleSprite(context->world, reinterpret_cast<R3xSimpleSpriteDef*>(found));
  if (sprite == nullptr) {
    parError(context, "could not create Simple Sprite");
    return PAR_STOP;
  }
  if (parHasValue(skipFrames)) {
    sprite->frameValue = skipFrames->number;
  }
  *out = parRecordValue(sprite, nullptr);
  return 0;
}

R3xParserValue parAxisValue(float length, float x, float y, float z) {
  return parVectorValue(x / length, y / length, z / length, 0.0f);
}

std::int32_t parBuildRenderInfo(R3xParseContext* context, R3xRenderInfoClauses* clauses,
                                R3xParserValue* out) {
  const std::uint32_t pairs = parValueCount(clauses->uvPairs);
  if (pairs != 0 && pairs != context->polygonVertexCount) {
    parError(context, "wrong number of UV pairs");
    parFreeParserValue(clauses->uvPairs);
    return PAR_STOP;
  }
  auto* surface = static_cast<R3xSurface*>(r3xMalloc(sizeof(R3xSurface)));
  if (surface == nullptr) {
    parError(context, "out of memory");
    parFreeParserValue(clauses->uvPairs);
    return PAR_STOP;
  }
  surface->type = R3X_TYPE_SURFACE;
  surface->pen = static_cast<std::uint32_t>(clauses->pen->number) & 0xFFu;
  surface->intensity = clauses->brightness->real;
  surface->ambientScale = clauses->scaledAmbient->real;
  surface->texture = parHasValue(clauses->texture)
                         ? static_cast<R3xObjectHeader*>(clauses->texture->record)
                         : r3xNullPart();
  copyVector(surface->uvOrigin, clauses->uvOrigin);
  copyVector(surface->uAxis, clauses->uAxis);
  copyVector(surface->vAxis, clauses->vAxis);
  surface->twoSided = static_cast<std::uint32_t>(clauses->twoSided->number);
  if (pairs != 0) {
    surface->uv = static_cast<float*>(parListDetach(parValueList(clauses->uvPairs)));
    parScaleSpriteUVs(surface, pairs);
  } else if (parHasValue(clauses->texture)) {
    parScaleSpriteUVs(surface, 0);
  }
  parFreeParserValue(clauses->uvPairs);
  *out = parRecordValue(surface, parFreeSurface);
  return 0;
}

std::int32_t parBuildSurface(R3xParseContext* context, std::int32_t method,
                             R3xParserValue* renderInfo, R3xParserValue* out) {
  auto* surface = static_cast<R3xSurface*>(parTakeRecord(renderInfo));
  if (surface == nullptr) {
    surface = static_cast<R3xSurface*>(r3xMalloc(sizeof(R3xSurface)));
    if (surface == nullptr) {
      parError(context, "out of memory");
      return PAR_STOP;
    }
    surface->type = R3X_TYPE_SURFACE;
  }
  surface->renderMethod = static_cast<R3xRenderMethod>(method);
  *out = parRecordValue(surface, parFreeSurface);
  return 0;
}

void parScaleSpriteUVs(R3xSurface* surface, std::uint32_t count) {
  if (surface->texture == nullptr || surface->texture->type != R3X_TYPE_SIMPLE_SPRITE) {
    return;
  }
  const R3xSimpleSpriteDef* definition =
      reinterpret_cast<const R3xSimpleSprite*>(surface->texture)->definition;
  if (definition == nullptr || definition->frameCount == 0) {
    return;
  }
  const auto width = static_cast<float>(r3xGetBitmapWidth(definition->frames[0]));
  const auto height = static_cast<float>(r3xGetBitmapHeight(definition->frames[0]));
  if (width == 0.0f || height == 0.0f) {
    return;
  }
  for (int i = 0; i < 3; ++i) {
    surface->uAxis[i] /= width;
    surface->vAxis[i] /= height;
  }
  for (std::uint32_t i = 0; i < count; ++i) {
    surface->uv[2 * i] *= width;
    surface->uv[2 * i + 1] *= height;
  }
}

void parFreeSurface(void* surface) {
  if (surface != nullptr) {
    r3xFree(static_cast<R3xSurface*>(surface)->uv);
    r3xFree(surface);
  }
}
