// Small world files written by the tests, and the tokens and messages read from them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "engine/world/parse_context.h"
#include "engine/world/token_source.h"
#include "engine/world/world_stream.h"

namespace world_test {

// A fresh folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  // Writes the file and returns its full name.
  std::string Write(const std::string& name, const std::string& bytes) const;

 private:
  std::filesystem::path path_;
};

// Runs the test in the folder and goes back at the end.
class ScopedWorkingFolder {
 public:
  explicit ScopedWorkingFolder(const std::filesystem::path& folder);
  ~ScopedWorkingFolder();
  ScopedWorkingFolder(const ScopedWorkingFolder&) = delete;
  ScopedWorkingFolder& operator=(const ScopedWorkingFolder&) = delete;

 private:
  std::filesystem::path previous_;
};

// Sets or (with null) unsets an environment variable, and restores it at the end.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value);
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::string name_;
  bool had_;
  std::string old_;
};

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
