// The tokens and messages that the tests read from small world files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "engine/world/parse_context.h"
#include "engine/world/token_source.h"
#include "engine/world/world_stream.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/scoped_working_folder.h"
#include "tests/support/scratch_folder.h"

namespace world_test {

// A token and a copy of its value.
struct Token {
  std::int32_t token;
  R3xTokenValueKind kind;
  std::int32_t number;
  float real;
  std::string text;

  bool operator==(const Token& other) const;
};
void PrintTo(const Token& token, std::ostream* out);

Token Keyword(std::int32_t token);
Token Number(std::int32_t token, std::int32_t number);
Token Integer(std::int32_t number);
Token Real(float real);
Token Text(std::int32_t token, const std::string& text);

// Copies the token and the context's current value.
Token Read(std::int32_t token, const R3xTokenValue& value);

// The context, the outermost stream and its token source of one scan, freed together.
class Scan {
 public:
  // Opens the file (from the archive when given) with the given search path ("" for none,
  // null for WLDPATH). The context's token source is set, so messages carry file and line.
  explicit Scan(const std::string& file, R3xWad* archive = nullptr, const char* path = "");
  ~Scan();
  Scan(const Scan&) = delete;
  Scan& operator=(const Scan&) = delete;

  R3xParseContext* context() const { return context_; }
  R3xTokenSource* source() const { return source_; }
  R3xWorldStream* stream() const { return stream_; }
  // Tokens up to and without the 0 at the end, pushing the file after every INCLUDE name.
  std::vector<Token> All();

 private:
  R3xParseContext* context_;
  R3xWorldStream* stream_;
  R3xTokenSource* source_;
};

// The message boxes shown since the last call, and forgets them.
std::vector<std::string> TakeMessages();

}  // namespace world_test
