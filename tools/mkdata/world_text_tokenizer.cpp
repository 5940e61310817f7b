#include "tools/mkdata/world_text_tokenizer.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string_view>

#include "engine/r3x.h"

namespace mkdata {
namespace {

// The engine's text scanner holds at most this many bytes of one token.
constexpr std::size_t kTokenLimit = 1024;
constexpr std::string_view kUserDefined = "USERDEFINED";
constexpr std::string_view kUserData = "USERDATA";
// USERDATA has no token of its own: it switches the tokenizer to user data.
constexpr std::int32_t kUserDataKeyword = -1;

bool IsDigit(std::uint8_t c) { return c >= '0' && c <= '9'; }
bool IsLetter(std::uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsWordCharacter(std::uint8_t c) { return IsLetter(c) || IsDigit(c) || c == '_'; }
bool IsSign(std::uint8_t c) { return c == '+' || c == '-'; }
bool IsHexDigit(std::uint8_t c) {
  return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
bool IsSeparator(std::uint8_t c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == ',';
}
int DecodeHexDigit(std::uint8_t c) {
  if (IsDigit(c)) {
    return c - '0';
  }
  return (c | 0x20) - 'a' + 10;
}

// The number of digits from at on.
std::size_t CountDigits(std::string_view s, std::size_t at) {
  std::size_t i = at;
  while (i < s.size() && IsDigit(s[i])) {
    ++i;
  }
  return i - at;
}

// An exponent (e or E, a sign, digits) at `at`: its length, or 0.
std::size_t MeasureExponent(std::string_view s, std::size_t at) {
  if (at >= s.size() || (s[at] != 'e' && s[at] != 'E')) {
    return 0;
  }
  std::size_t i = at + 1;
  if (i < s.size() && IsSign(s[i])) {
    ++i;
  }
  const std::size_t digits = CountDigits(s, i);
  return digits == 0 ? 0 : i + digits - at;
}

std::size_t CountSuffixLetters(std::string_view s, std::size_t at, std::string_view letters) {
  std::size_t i = at;
  while (i < s.size() && letters.find(s[i]) != std::string_view::npos) {
    ++i;
  }
  return i - at;
}

// The longest number at the start of s: an integer (digits and u/l suffixes) or a real (digits
// with an exponent, or a fraction, each with an optional f/l suffix), after an optional sign.
std::size_t MatchNumber(std::string_view s, bool& real) {
  const std::size_t start = !s.empty() && IsSign(s[0]) ? 1 : 0;
  const std::size_t whole = CountDigits(s, start);
  const std::size_t afterWhole = start + whole;
  std::size_t best = 0;
  if (whole != 0) {
    best = afterWhole + CountSuffixLetters(s, afterWhole, "uUlL");
    real = false;
    if (const std::size_t e = MeasureExponent(s, afterWhole); e != 0) {
      const std::size_t end =
          afterWhole + e + std::min<std::size_t>(1, CountSuffixLetters(s, afterWhole + e, "fFlL"));
      if (end > best) {
        best = end;
        real = true;
      }
    }
  }
  if (afterWhole < s.size() && s[afterWhole] == '.') {
    const std::size_t fraction = CountDigits(s, afterWhole + 1);
    if (whole != 0 || fraction != 0) {
      std::size_t end = afterWhole + 1 + fraction;
      end += MeasureExponent(s, end);
      end += std::min<std::size_t>(1, CountSuffixLetters(s, end, "fFlL"));
      if (end > best) {
        best = end;
        real = true;
      }
    }
  }
  return best;
}

// atoi with out-of-range values held at the 32-bit limits.
std::int32_t ConvertToInteger(std::string_view s) {
  const bool negative = s[0] == '-';
  std::int64_t magnitude = 0;
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  for (std::size_t i = IsSign(s[0]) ? 1 : 0; i < s.size() && IsDigit(s[i]); ++i) {
    magnitude = std::min<std::int64_t>(magnitude * 10 + (s[i] - '0'), kLimit);
  }
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      negative ? -magnitude : magnitude, std::numeric_limits<std::int32_t>::min(),
      std::numeric_limits<std::int32_t>::max()));
}

// atof rounded to the nearest float; past the float range, the float that rounding gives.
float ConvertToReal(std::string_view s) {
  const double value = std::strtod(std::string(s).c_str(), nullptr);
  if (std::fabs(value) <= FLT_MAX) {
    return static_cast<float>(value);
  }
  // Half an ulp above FLT_MAX: values below it round down to FLT_MAX.
  const float magnitude = std::fabs(value) < 0x1.ffffffp127 ? FLT_MAX : HUGE_VALF;
  return std::signbit(value) ? -magnitude : magnitude;
}

// The token of the longest keyword s starts with, and its length (0 for none).
std::size_t MatchKeyword(std::string_view s, std::int32_t& token) {
  std::size_t best = 0;
  for (std::size_t i = 0; i < parKeywordCount; ++i) {
    const std::string_view keyword = parKeywords[i].text;
    if (keyword.size() > best && s.substr(0, keyword.size()) == keyword) {
      best = keyword.size();
      token = parKeywords[i].token;
    }
  }
  if (kUserData.size() > best && s.substr(0, kUserData.size()) == kUserData) {
    best = kUserData.size();
    token = kUserDataKeyword;
  }
  return best;
}

}  // namespace

WorldTextTokenizer::WorldTextTokenizer(std::vector<std::uint8_t> text) : text_(std::move(text)) {}

void WorldTextTokenizer::Fail(const std::string& what) const {
  throw std::runtime_error("line " + std::to_string(line_) + ": " + what);
}

bool WorldTextTokenizer::SkipBlank() {
  const std::uint8_t c = text_[next_];
  if (c == '\n') {
    ++line_;
  } else if (!IsSeparator(c)) {
    return false;
  }
  ++next_;
  return true;
}

WorldToken WorldTextTokenizer::Next() {
  WorldToken token;
  while (!AtEnd()) {
    bool made = false;
    switch (mode_) {
      case Mode::kNormal:
        made = ScanNormal(token);
        break;
      case Mode::kRenderMethod:
        made = ScanRenderMethod(token);
        break;
      case Mode::kUserData:
        made = ScanUserData(token);
        break;
    }
    if (made) {
      return token;
    }
  }
  return token;
}

std::size_t WorldTextTokenizer::MatchString() const {
  const std::uint8_t* s = Here();
  // The scanner looks for the closing quote within its token buffer only.
  const std::size_t limit = std::min(Left(), kTokenLimit + 1);
  std::size_t i = 1;
  while (i < limit) {
    if (s[i] == '"') {
      if (i + 1 > kTokenLimit) {
        Fail("string longer than the scanner's token buffer");
      }
      return i + 1;
    }
    if (s[i] == '\\') {
      if (i + 1 >= Left() || s[i + 1] == '\n') {
        return 0;
      }
      i += 2;
    } else {
      ++i;
    }
  }
  if (i > kTokenLimit) {
    Fail("string longer than the scanner's token buffer");
  }
  return 0;
}

bool WorldTextTokenizer::ScanNormal(WorldToken& token) {
  if (SkipBlank()) {
    return false;
  }
  const std::uint8_t c = text_[next_];
  if (c == '/' && Left() >= 2 && Here()[1] == '/') {
    while (!AtEnd() && text_[next_] != '\n' && text_[next_] != '\0') {
      ++next_;
    }
    // The comment's line end or NUL goes with it.
    next_ = std::min(next_ + 1, text_.size());
    ++line_;
    return false;
  }
  if (c == '"') {
    const std::size_t length = MatchString();
    if (length == 0) {
      Fail("illegal character");
    }
    token.token = R3X_TOKEN_STRING;
    token.text.assign(Here() + 1, Here() + length - 1);
    next_ += length;
    return true;
  }
  return ScanWord(token);
}

// Keywords, names and numbers: the longest match wins, on equal length the keyword.
bool WorldTextTokenizer::ScanWord(WorldToken& token) {
  const std::string_view s(reinterpret_cast<const char*>(Here()), Left());
  std::size_t word = 0;
  while (word < s.size() && IsWordCharacter(s[word])) {
    ++word;
  }
  std::int32_t keyword = R3X_TOKEN_END;
  const std::size_t keywordLength = MatchKeyword(s.substr(0, word), keyword);
  const std::size_t nameLength = IsDigit(s[0]) ? 0 : word;
  bool real = false;
  const std::size_t numberLength = MatchNumber(s, real);
  const std::size_t longest = std::max({keywordLength, nameLength, numberLength});
  if (longest == 0) {
    Fail("illegal character");
  }
  if (longest > kTokenLimit) {
    Fail("token longer than the scanner's token buffer");
  }
  next_ += longest;
  if (keywordLength == longest) {
    if (keyword == kUserDataKeyword) {
      mode_ = Mode::kUserData;
      return false;
    }
    if (keyword == R3X_TOKEN_RENDERMETHOD) {
      mode_ = Mode::kRenderMethod;
    }
    token.token = keyword;
  } else if (nameLength == longest) {
    token.token = R3X_TOKEN_NAME;
    token.text = s.substr(0, longest);
  } else if (real) {
    token.token = R3X_TOKEN_REAL;
    token.real = ConvertToReal(s.substr(0, longest));
  } else {
    token.token = R3X_TOKEN_INTEGER;
    token.number = ConvertToInteger(s.substr(0, longest));
  }
  return true;
}

bool WorldTextTokenizer::ScanRenderMethod(WorldToken& token) {
  if (SkipBlank()) {
    return false;
  }
  const std::string_view s(reinterpret_cast<const char*>(Here()), Left());
  if (s.substr(0, kUserDefined.size()) == kUserDefined) {
    next_ += kUserDefined.size();
    token.token = R3X_TOKEN_USERDEFINED;
    token.number = static_cast<std::int32_t>(R3X_USERDEFINED_VALUE);
  } else {
    R3xRenderMethod method = 0;
    const std::size_t length = parMatchRenderMethodName(Here(), Left(), &method);
    if (length == 0) {
      Fail("illegal character after RENDERMETHOD");
    }
    next_ += length;
    token.token = R3X_TOKEN_RENDER_METHOD;
    token.number = static_cast<std::int32_t>(method);
  }
  mode_ = Mode::kNormal;
  return true;
}

// A hex run of the length, which is skipped, and a hex run of the data; or a quoted string.
// Anything else is passed over, line ends too, without counting lines.
bool WorldTextTokenizer::ScanUserData(WorldToken& token) {
  const std::uint8_t c = text_[next_];
  if (IsHexDigit(c)) {
    std::size_t length = 0;
    while (length < Left() && IsHexDigit(Here()[length])) {
      ++length;
    }
    if (length > kTokenLimit) {
      Fail("user data longer than the scanner's token buffer");
    }
    const std::uint8_t* run = Here();
    next_ += length;
    if (!userDataLengthSkipped_) {
      userDataLengthSkipped_ = true;
      return false;
    }
    if (length % 2 != 0) {
      Fail("odd number of hex digits in USERDATA");
    }
    userDataLengthSkipped_ = false;
    mode_ = Mode::kNormal;
    token.token = R3X_TOKEN_USER_DATA;
    for (std::size_t i = 0; i < length; i += 2) {
      token.text.push_back(
          static_cast<char>(DecodeHexDigit(run[i]) * 16 + DecodeHexDigit(run[i + 1])));
    }
    return true;
  }
  if (c == '"') {
    if (const std::size_t length = MatchString(); length != 0) {
      userDataLengthSkipped_ = false;
      mode_ = Mode::kNormal;
      token.token = R3X_TOKEN_USER_DATA;
      token.text.assign(Here() + 1, Here() + length - 1);
      next_ += length;
      return true;
    }
  }
  ++next_;
  return false;
}

}  // namespace mkdata
