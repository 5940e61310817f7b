#include "engine/world/parser.h"

#include <cstring>

#include "engine/world/parse_context.h"
#include "engine/world/parse_result.h"
#include "engine/world/parser_value.h"
#include "engine/world/region_actions.h"
#include "engine/world/token_source.h"
#include "world_grammar.hpp"

int par_yylex(PAR_YYSTYPE* value, R3xParseContext* context) {
  std::int32_t token = context->tokenSource->nextToken(context->tokenSource);
  if (token < 0) {
    token = 0;
  }
  // The value is written in place: the automaton reads it straight back.
  std::memset(value, 0, sizeof *value);
  R3xTokenValue& read = context->tokenValue;
  switch (read.kind) {
    case R3X_VALUE_NUMBER:
      value->kind = R3X_PARSER_VALUE_NUMBER;
      value->number = read.number;
      break;
    case R3X_VALUE_REAL:
      value->kind = R3X_PARSER_VALUE_REAL;
      value->real = read.real;
      break;
    case R3X_VALUE_TEXT:
      // A token the grammar does not know only ends the parse with a syntax error; its text
      // would never be freed, so it stays with the token value.
      if (parIsGrammarToken(token)) {
        // The parser's value takes the text over; the token value keeps none.
        value->kind = R3X_PARSER_VALUE_TEXT;
        value->text = read.text;
        read = R3xTokenValue{};
      }
      break;
    case R3X_VALUE_NONE:
      break;
  }
  return token;
}

void par_yyerror(R3xParseContext* context, const char* message) {
  // The automaton says "memory exhausted" only when its stacks are full.
  const bool overflow = std::strcmp(message, "memory exhausted") == 0;
  parError(context, "parser: %s", overflow ? "Parser stack overflow" : "Syntax error");
}

std::int32_t parParseWorld(R3xParseContext* context, R3xTokenSource* source) {
  const R3xTokenValue saved = context->tokenValue;
  context->tokenValue = R3xTokenValue{};
  context->tokenSource = source;
  const int result = par_yyparse(context);
  parClearTokenValue(&context->tokenValue);
  context->tokenValue = saved;
  parFreeRegionWork(context);
  parSetCurrentRegion(context, nullptr, 0);
  context->polygonVertexCount = 0;
  return result == 0 ? PAR_ACCEPTED : PAR_REJECTED;
}
