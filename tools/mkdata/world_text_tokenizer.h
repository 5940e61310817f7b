// The tokens of a text world file, read by the data writers themselves rather than by the
// engine's scanner, so that a writer's round trip through the engine tests the engine's reading.
// It follows the text form's rules: keywords, names, integers and reals (longest match, the
// keyword on a tie), quoted strings kept as written, "//" comments, render-method names after
// RENDERMETHOD and the length and data after USERDATA.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace mkdata {

struct WorldToken {
  // A token number of the engine's keyword table; R3X_TOKEN_END at the end or at ENDFILE.
  std::int32_t token = 0;
  // Integers, render methods and USERDEFINED.
  std::int32_t number = 0;
  float real = 0;
  // Names and strings as written, user data decoded.
  std::string text;
};

class WorldTextTokenizer {
 public:
  explicit WorldTextTokenizer(std::vector<std::uint8_t> text);

  // The next token. Throws std::runtime_error, naming the line, where the engine's text scanner
  // reports an error (an illegal character, a token longer than its buffer, bad user data).
  WorldToken Next();

 private:
  enum class Mode { kNormal, kRenderMethod, kUserData };

  bool AtEnd() const { return next_ >= text_.size(); }
  std::size_t Left() const { return text_.size() - next_; }
  const std::uint8_t* Here() const { return text_.data() + next_; }
  [[noreturn]] void Fail(const std::string& what) const;
  bool SkipBlank();
  bool ScanNormal(WorldToken& token);
  bool ScanWord(WorldToken& token);
  bool ScanRenderMethod(WorldToken& token);
  bool ScanUserData(WorldToken& token);
  // The length of the quoted string here, quotes included, or 0 when none starts here; throws
  // when it runs past the scanner's token buffer.
  std::size_t MatchString() const;

  std::vector<std::uint8_t> text_;
  std::size_t next_ = 0;
  int line_ = 1;
  Mode mode_ = Mode::kNormal;
  bool userDataLengthSkipped_ = false;
};

}  // namespace mkdata
