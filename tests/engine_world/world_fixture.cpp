#include "world_fixture.h"

#include <gtest/gtest.h>

#include <cstring>

#include "engine/world/keyword_table.h"
#include "platform/kernel/message_box.h"

namespace world_test {

constexpr std::int32_t kInclude = 228;

bool Token::operator==(const Token& other) const {
  if (token != other.token || kind != other.kind) {
    return false;
  }
  switch (kind) {
    case R3X_VALUE_NUMBER:
      return number == other.number;
    case R3X_VALUE_REAL:
      // Bit for bit, so that -0.0 and NaN compare as stored.
      return std::memcmp(&real, &other.real, sizeof real) == 0;
    case R3X_VALUE_TEXT:
      return text == other.text;
    default:
      return true;
  }
}

void PrintTo(const Token& token, std::ostream* out) {
  *out << "{" << token.token;
  switch (token.kind) {
    case R3X_VALUE_NUMBER:
      *out << " number " << token.number;
      break;
    case R3X_VALUE_REAL:
      *out << " real " << token.real;
      break;
    case R3X_VALUE_TEXT:
      *out << " text \"" << testing::PrintToString(token.text) << "\"";
      break;
    default:
      break;
  }
  *out << "}";
}

Token Keyword(std::int32_t token) { return {token, R3X_VALUE_NONE, 0, 0.0f, {}}; }
Token Number(std::int32_t token, std::int32_t number) {
  return {token, R3X_VALUE_NUMBER, number, 0.0f, {}};
}
Token Integer(std::int32_t number) { return Number(R3X_TOKEN_INTEGER, number); }
Token Real(float real) { return {R3X_TOKEN_REAL, R3X_VALUE_REAL, 0, real, {}}; }
Token Text(std::int32_t token, const std::string& text) {
  return {token, R3X_VALUE_TEXT, 0, 0.0f, text};
}

Token Read(std::int32_t token, const R3xTokenValue& value) {
  Token read{token, value.kind, value.number, value.real, {}};
  if (value.kind == R3X_VALUE_TEXT) {
    read.text.assign(value.text, value.length);
  }
  return read;
}

Scan::Scan(const std::string& file, R3xWad* archive, const char* path)
    : context_(parCreateContext(nullptr, archive)),
      stream_(parOpenStream(file.c_str(), archive)),
      source_(nullptr) {
  if (context_ == nullptr || stream_ == nullptr) {
    ADD_FAILURE() << "cannot open " << file;
    return;
  }
  source_ = parCreateTokenSource(context_, stream_, path);
  context_->tokenSource = source_;
}

Scan::~Scan() {
  parDestroyTokenSource(source_);
  if (stream_ != nullptr) {
    parCloseStream(stream_);
    parFreeStream(stream_);
  }
  parDestroyContext(context_);
}

std::vector<Token> Scan::All() {
  std::vector<Token> tokens;
  if (source_ == nullptr) {
    return tokens;
  }
  bool includeName = false;
  for (std::int32_t token = parNextToken(source_); token > 0; token = parNextToken(source_)) {
    tokens.push_back(Read(token, context_->tokenValue));
    // As the parser does: the INCLUDE statement is reduced before the next token is read.
    if (includeName && context_->tokenValue.kind == R3X_VALUE_TEXT) {
      const std::string name = tokens.back().text;
      if (source_->pushInclude(source_, name.c_str()) != 0) {
        break;
      }
    }
    includeName = token == kInclude;
  }
  return tokens;
}

std::vector<std::string> TakeMessages() {
  std::vector<std::string> texts;
  for (const platform::ShownMessageBox& box : platform::ShownMessageBoxes()) {
    EXPECT_EQ(box.caption, "World File Parser");
    texts.push_back(box.text);
  }
  platform::ClearShownMessageBoxes();
  return texts;
}

}  // namespace world_test
