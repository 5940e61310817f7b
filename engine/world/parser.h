// The world-file parser: an LALR(1) automaton over the token source that runs the rule actions
// of the world-file language as it reduces.
// Results: PAR_ACCEPTED or PAR_REJECTED (parse_result.h).
#pragma once

#include <cstdint>

struct R3xParseContext;
struct R3xTokenSource;

// The automaton's state and value stacks hold this many entries; a deeper parse is refused with
// "Parser stack overflow".
inline constexpr int R3X_PARSER_STACK_SIZE = 150;

// Parses the whole token stream into the context's world. PAR_ACCEPTED when the input was
// accepted, PAR_REJECTED when the parse stopped on an error (already reported and counted). A
// look-ahead token is read only in states that need one, so an INCLUDE takes effect before the
// token after its file name.
std::int32_t parParseWorld(R3xParseContext* context, R3xTokenSource* source);
