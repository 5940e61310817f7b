#include "engine/world/file_actions.h"

#include "engine/core/memory.h"
#include "engine/core/world.h"
#include "engine/core/world_internal.h"
#include "engine/world/parse_context.h"
#include "engine/world/parse_list.h"
#include "engine/world/parse_result.h"
#include "engine/world/parser_value.h"
#include "engine/world/token_source.h"

std::int32_t parSetWorldVertices(R3xParseContext* context, std::int32_t declared,
                                 R3xParserValue* vertices) {
  if (parCheckCount(context, "NUMVERTICES", declared, parValueCount(vertices)) != 0) {
    parFreeParserValue(vertices);
    return PAR_STOP;
  }
  R3xParseList* list = parValueList(vertices);
  const std::uint32_t count = parValueCount(vertices);
  auto* array = list == nullptr ? nullptr : static_cast<float*>(parListDetach(list));
  parFreeParserValue(vertices);
  // Regions made earlier keep pointing into the array this one replaces.
  if (_r3xReplaceWorldVertices(context->world, array, count) != 0) {
    r3xFree(array);
    parError(context, "out of memory");
    return PAR_STOP;
  }
  return 0;
}

std::int32_t parSetDefaultPaletteFile(R3xParseContext* context, R3xParserValue* name) {
  const std::int32_t result = r3xSetDefaultPalette(context->world, name->text);
  if (result != 0) {
    parError(context, "cannot set default palette file: %s", name->text);
  }
  parFreeParserValue(name);
  return result != 0 ? 1 : 0;
}

std::int32_t parSetWorldData(R3xParseContext* context, R3xParserValue* data) {
  if (data->text != nullptr) {
    r3xSetWorldString(context->world, parTakeText(data));
  }
  parFreeParserValue(data);
  return 0;
}

std::int32_t parIncludeFile(R3xParseContext* context, R3xParserValue* name) {
  const std::int32_t result = context->tokenSource->pushInclude(context->tokenSource, name->text);
  parFreeParserValue(name);
  return result != 0 ? 1 : 0;
}
