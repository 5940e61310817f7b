#include "engine/world/ascii_scanner.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "engine/core/memory.h"
#include "engine/world/keyword_matcher.h"
#include "engine/world/keyword_table.h"
#include "engine/world/parse_context.h"
#include "engine/world/render_method_names.h"
#include "engine/world/world_stream.h"

namespace {

// A match that yields no token: scanning goes on.
constexpr std::int32_t kSkip = -100;
constexpr const char* kUserDefined = "USERDEFINED";

bool isDigit(std::uint8_t c) { return c >= '0' && c <= '9'; }
bool isLetter(std::uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isHexDigit(std::uint8_t c) {
  return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
bool isSign(std::uint8_t c) { return c == '+' || c == '-'; }
bool isIntegerSuffix(std::uint8_t c) { return c == 'u' || c == 'U' || c == 'l' || c == 'L'; }
bool isRealSuffix(std::uint8_t c) { return c == 'f' || c == 'F' || c == 'l' || c == 'L'; }
// Blank, tab, vertical tab, form feed, carriage return and the comma separate tokens.
constexpr bool isSeparator(std::uint8_t c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == ',';
}

// What hexValue gives for a character that is no hex digit.
constexpr std::int32_t kNotHexDigit = -1;

std::int32_t hexValue(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  return kNotHexDigit;
}

void refillInput(R3xAsciiScanner* s);

// Keeps at least a window of unread input in the buffer while the stream has more. Inline: it
// runs twice a token and nearly always finds the window there.
inline void fillInput(R3xAsciiScanner* s) {
  if (s->end - s->next < R3X_ASCII_WINDOW && s->inputDone == 0) {
    refillInput(s);
  }
}

void refillInput(R3xAsciiScanner* s) {
  std::memmove(s->input, s->input + s->next, s->end - s->next);
  s->end -= s->next;
  s->next = 0;
  while (s->end < R3X_ASCII_WINDOW && !s->inputDone) {
    const std::int32_t n = parReadStream(s->head.stream, s->input + s->end,
                                         static_cast<std::int32_t>(R3X_ASCII_READ_SIZE));
    if (n < 0) {
      parError(s->head.context, "ASCII scanner: read error");
    }
    if (n <= 0) {
      s->inputDone = 1;
    } else {
      s->end += static_cast<std::size_t>(n);
    }
  }
}

// E or e, an optional sign and digits at text[at]: the end of the exponent, or 0.
std::size_t matchExponent(const std::uint8_t* text, std::size_t count, std::size_t at) {
  if (at >= count || (text[at] != 'e' && text[at] != 'E')) {
    return 0;
  }
  std::size_t i = at + 1;
  if (i < count && isSign(text[i])) {
    ++i;
  }
  const std::size_t digits = i;
  while (i < count && isDigit(text[i])) {
    ++i;
  }
  return i > digits ? i : 0;
}

// The longest integer or real the text starts with: its length (0 for none).
std::size_t matchNumber(const std::uint8_t* text, std::size_t count, bool* real) {
  std::size_t i = 0;
  if (i < count && isSign(text[i])) {
    ++i;
  }
  const std::size_t integerStart = i;
  while (i < count && isDigit(text[i])) {
    ++i;
  }
  const bool integerDigits = i > integerStart;
  std::size_t best = 0;
  if (integerDigits) {
    std::size_t j = i;
    while (j < count && isIntegerSuffix(text[j])) {
      ++j;
    }
    best = j;
    *real = false;
    if (std::size_t e = matchExponent(text, count, i); e != 0) {
      if (e < count && isRealSuffix(text[e])) {
        ++e;
      }
      if (e > best) {
        best = e;
        *real = true;
      }
    }
  }
  if (i < count && text[i] == '.') {
    std::size_t j = i + 1;
    const std::size_t fraction = j;
    while (j < count && isDigit(text[j])) {
      ++j;
    }
    if (integerDigits || j > fraction) {
      if (const std::size_t e = matchExponent(text, count, j); e != 0) {
        j = e;
      }
      if (j < count && isRealSuffix(text[j])) {
        ++j;
      }
      if (j > best) {
        best = j;
        *real = true;
      }
    }
  }
  return best;
}

// The length of a quoted string with its quotes, 0 when the text does not start with one, or
// more than the token size when it cannot end within the token buffer.
std::size_t matchString(const std::uint8_t* text, std::size_t count) {
  const std::size_t limit = std::min(count, R3X_ASCII_TOKEN_SIZE + 1);
  std::size_t i = 1;
  while (i < limit) {
    if (text[i] == '"') {
      return i + 1;
    }
    if (text[i] == '\\') {
      if (i + 1 >= count || text[i + 1] == '\n') {
        return 0;
      }
      i += 2;
    } else {
      ++i;
    }
  }
  return i >= R3X_ASCII_TOKEN_SIZE + 1 ? i : 0;
}

// The C runtime's atoi, but out-of-range values saturate instead of being undefined.
std::int32_t integerValue(const std::uint8_t* text, std::size_t length) {
  std::size_t i = 0;
  const bool negative = text[0] == '-';
  if (isSign(text[0])) {
    ++i;
  }
  std::int64_t magnitude = 0;
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  for (; i < length && isDigit(text[i]); ++i) {
    magnitude = std::min(magnitude * 10 + (text[i] - '0'), kLimit);
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// The exact value of a plain decimal (sign, digits, a point, digits) of up to 15 significant
// digits and 22 fraction digits: its digits and the power of ten are exact doubles, so one
// division gives the correctly rounded double that strtod gives. False for any other text.
bool plainDecimal(const std::uint8_t* text, std::size_t length, double* value) {
  constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  constexpr int kMaxDigits = 15;
  std::size_t i = isSign(text[0]) ? 1 : 0;
  std::int64_t digits = 0;
  int significant = 0;
  int fraction = 0;
  bool point = false;
  bool anyDigit = false;
  for (; i < length; ++i) {
    if (text[i] == '.' && !point) {
      point = true;
    } else if (isDigit(text[i])) {
      anyDigit = true;
      digits = digits * 10 + (text[i] - '0');
      significant += (significant > 0 || text[i] != '0') ? 1 : 0;
      fraction += point ? 1 : 0;
      if (significant > kMaxDigits || fraction > 22) {
        return false;
      }
    } else {
      return false;
    }
  }
  if (!anyDigit) {
    return false;
  }
  const double magnitude = static_cast<double>(digits) / kPowers[fraction];
  *value = text[0] == '-' ? -magnitude : magnitude;
  return true;
}

// atof, rounded to a 32-bit float; beyond the float range the result is the infinity that
// rounding gives, without the undefined conversion.
float realValue(const std::uint8_t* text, std::size_t length) {
  double value = 0;
  if (!plainDecimal(text, length, &value)) {
    char copy[R3X_ASCII_TOKEN_SIZE + 1];
    std::memcpy(copy, text, length);
    copy[length] = '\0';
    value = std::strtod(copy, nullptr);
  }
  if (std::fabs(value) <= FLT_MAX) {
    return static_cast<float>(value);
  }
  // Halfway between FLT_MAX and 2^128: below it the value rounds down to FLT_MAX.
  constexpr double kOverflow = 0x1.ffffffp127;
  const float magnitude =
      std::fabs(value) < kOverflow ? FLT_MAX : std::numeric_limits<float>::infinity();
  return std::signbit(value) ? -magnitude : magnitude;
}

// Reports the overflow and ends the file: nothing more is read from it.
std::int32_t overflow(R3xAsciiScanner* s) {
  parError(s->head.context, "lex: %s", "Token buffer overflow");
  s->next = s->end;
  s->inputDone = 1;
  return R3X_TOKEN_OVERFLOW;
}

std::int32_t illegalCharacter(R3xAsciiScanner* s) {
  ++s->next;
  parError(s->head.context, "ascii scanner: illegal character in file");
  return R3X_TOKEN_ERROR;
}

std::int32_t textToken(R3xAsciiScanner* s, std::int32_t token, const std::uint8_t* text,
                       std::size_t length) {
  char* copy = parNewText(text, static_cast<std::uint32_t>(length));
  if (copy == nullptr) {
    parError(s->head.context, "out of memory");
    return R3X_TOKEN_ERROR;
  }
  parSetTextValue(&s->head.context->tokenValue, copy, static_cast<std::uint32_t>(length));
  return token;
}

void skipComment(R3xAsciiScanner* s) {
  for (;;) {
    const std::int32_t c = parAsciiScannerInput(s);
    if (c == '\n' || c == '\0' || c == PAR_END_OF_INPUT) {
      return;
    }
  }
}

std::int32_t keywordToken(R3xAsciiScanner* s, std::int32_t token, std::size_t length) {
  s->next += length;
  if (token == R3X_KEYWORD_USERDATA) {
    s->mode = R3X_ASCII_MODE_USER_DATA;
    return kSkip;
  }
  if (token == R3X_TOKEN_RENDERMETHOD) {
    s->mode = R3X_ASCII_MODE_RENDER_METHOD;
  }
  parClearTokenValue(&s->head.context->tokenValue);
  return token;
}

// Keywords, names and numbers: the longest match wins, on equal length the keyword.
std::int32_t scanWord(R3xAsciiScanner* s, const std::uint8_t* text, std::size_t count) {
  R3xWordMatch word{0, 0, 0};
  if (isLetter(text[0]) || isDigit(text[0]) || text[0] == '_') {
    word = parMatchWord(text, count);
  }
  const std::size_t nameLength = isDigit(text[0]) ? 0 : word.wordLength;
  bool real = false;
  const std::size_t numberLength = matchNumber(text, count, &real);
  const std::size_t longest = std::max({word.keywordLength, nameLength, numberLength});
  if (longest == 0) {
    return illegalCharacter(s);
  }
  if (longest > R3X_ASCII_TOKEN_SIZE) {
    return overflow(s);
  }
  if (word.keywordLength == longest) {
    return keywordToken(s, word.token, longest);
  }
  s->next += longest;
  if (nameLength == longest) {
    return textToken(s, R3X_TOKEN_NAME, text, longest);
  }
  R3xTokenValue* value = &s->head.context->tokenValue;
  if (real) {
    parSetRealValue(value, realValue(text, longest));
    return R3X_TOKEN_REAL;
  }
  parSetNumberValue(value, integerValue(text, longest));
  return R3X_TOKEN_INTEGER;
}

// What skipBlank makes of each character: one test a character instead of seven.
enum BlankKind : std::uint8_t { kNotBlank = 0, kSeparator = 1, kNewLine = 2 };

struct BlankTable {
  BlankKind kind[256];
  constexpr BlankTable() : kind{} {
    for (int c = 0; c < 256; ++c) {
      kind[c] = c == '\n'                                   ? kNewLine
                : isSeparator(static_cast<std::uint8_t>(c)) ? kSeparator
                                                            : kNotBlank;
    }
  }
};
constexpr BlankTable kBlanks;

// Steps over a run of separators and line ends within the count, counting the lines; false
// when the text does not start with one.
bool skipBlank(R3xAsciiScanner* s, const std::uint8_t* text, std::size_t count) {
  std::size_t i = 0;
  for (; i < count; ++i) {
    const BlankKind kind = kBlanks.kind[text[i]];
    if (kind == kNotBlank) {
      break;
    }
    if (kind == kNewLine) {
      ++s->head.line;
    }
  }
  s->next += i;
  return i > 0;
}

std::int32_t scanNormal(R3xAsciiScanner* s, const std::uint8_t* text, std::size_t count) {
  const std::uint8_t c = text[0];
  if (skipBlank(s, text, count)) {
    return kSkip;
  }
  if (c == '/' && count >= 2 && text[1] == '/') {
    s->next += 2;
    skipComment(s);
    ++s->head.line;
    return kSkip;
  }
  if (c == '"') {
    const std::size_t length = matchString(text, count);
    if (length > R3X_ASCII_TOKEN_SIZE) {
      return overflow(s);
    }
    if (length != 0) {
      s->next += length;
      return textToken(s, R3X_TOKEN_STRING, text + 1, length - 2);
    }
    return illegalCharacter(s);
  }
  return scanWord(s, text, count);
}

std::int32_t scanRenderMethod(R3xAsciiScanner* s, const std::uint8_t* text, std::size_t count) {
  if (skipBlank(s, text, count)) {
    return kSkip;
  }
  const std::size_t userDefined = std::strlen(kUserDefined);
  if (count >= userDefined && std::memcmp(text, kUserDefined, userDefined) == 0) {
    s->next += userDefined;
    s->mode = R3X_ASCII_MODE_NORMAL;
    parSetNumberValue(&s->head.context->tokenValue,
                      static_cast<std::int32_t>(R3X_USERDEFINED_VALUE));
    return R3X_TOKEN_USERDEFINED;
  }
  R3xRenderMethod method = 0;
  if (const std::size_t length = parMatchRenderMethodName(text, count, &method); length != 0) {
    s->next += length;
    s->mode = R3X_ASCII_MODE_NORMAL;
    parSetNumberValue(&s->head.context->tokenValue, static_cast<std::int32_t>(method));
    return R3X_TOKEN_RENDER_METHOD;
  }
  return illegalCharacter(s);
}

// The data after USERDATA: a hex length run that is skipped and a hex data run, or a string.
// Anything else, newlines too, is passed over without counting lines.
std::int32_t scanUserData(R3xAsciiScanner* s, const std::uint8_t* text, std::size_t count) {
  R3xParseContext* context = s->head.context;
  if (isHexDigit(text[0])) {
    std::size_t length = 1;
    while (length < count && isHexDigit(text[length])) {
      ++length;
    }
    if (length > R3X_ASCII_TOKEN_SIZE) {
      return overflow(s);
    }
    s->next += length;
    if (!s->userDataSkipped) {
      s->userDataSkipped = 1;
      return kSkip;
    }
    s->userDataSkipped = 0;
    s->mode = R3X_ASCII_MODE_NORMAL;
    std::uint32_t size = 0;
    char* block = parDecodeUserDataHex(context, reinterpret_cast<const char*>(text), length, &size);
    if (block == nullptr) {
      return R3X_TOKEN_ERROR;
    }
    parSetTextValue(&context->tokenValue, block, size);
    return R3X_TOKEN_USER_DATA;
  }
  if (text[0] == '"') {
    const std::size_t length = matchString(text, count);
    if (length > R3X_ASCII_TOKEN_SIZE) {
      return overflow(s);
    }
    if (length != 0) {
      s->next += length;
      s->userDataSkipped = 0;
      s->mode = R3X_ASCII_MODE_NORMAL;
      return textToken(s, R3X_TOKEN_USER_DATA, text + 1, length - 2);
    }
  }
  ++s->next;
  return kSkip;
}

}  // namespace

R3xScanner* parCreateAsciiScanner(R3xParseContext* context, R3xWorldStream* stream) {
  auto* s = static_cast<R3xAsciiScanner*>(r3xMalloc(sizeof(R3xAsciiScanner)));
  if (s == nullptr) {
    parError(context, "out of memory");
    return nullptr;
  }
  s->head.nextToken = parAsciiScannerNextToken;
  s->head.destroy = parDestroyAsciiScanner;
  s->head.stream = stream;
  s->head.line = 1;
  s->head.context = context;
  s->mode = R3X_ASCII_MODE_NORMAL;
  return &s->head;
}

void parDestroyAsciiScanner(R3xScanner* scanner) { r3xFree(scanner); }

std::int32_t parAsciiScannerInput(R3xAsciiScanner* scanner) {
  fillInput(scanner);
  if (scanner->next == scanner->end) {
    return PAR_END_OF_INPUT;
  }
  return scanner->input[scanner->next++];
}

std::int32_t parAsciiScannerNextToken(R3xScanner* scanner) {
  auto* s = reinterpret_cast<R3xAsciiScanner*>(scanner);
  for (;;) {
    fillInput(s);
    if (s->next == s->end) {
      return R3X_TOKEN_END;
    }
    const std::uint8_t* text = s->input + s->next;
    const std::size_t count = std::min(s->end - s->next, R3X_ASCII_WINDOW);
    std::int32_t token = kSkip;
    switch (s->mode) {
      case R3X_ASCII_MODE_USER_DATA:
        token = scanUserData(s, text, count);
        break;
      case R3X_ASCII_MODE_RENDER_METHOD:
        token = scanRenderMethod(s, text, count);
        break;
      default:
        token = scanNormal(s, text, count);
        break;
    }
    // An error token carries no value.
    if (token == R3X_TOKEN_ERROR) {
      parClearTokenValue(&s->head.context->tokenValue);
    }
    if (token != kSkip) {
      return token;
    }
  }
}

char* parDecodeUserDataHex(R3xParseContext* context, const char* text, std::size_t length,
                           std::uint32_t* size) {
  if (length % 2 != 0) {
    parError(context, "ASCII scanner: invalid number of characters in USERDATA");
    return nullptr;
  }
  const auto bytes = static_cast<std::uint32_t>(length / 2);
  auto* block = static_cast<std::uint8_t*>(r3xMalloc(std::size_t{bytes} + 1));
  if (block == nullptr) {
    parError(context, "out of memory");
    return nullptr;
  }
  for (std::uint32_t i = 0; i < bytes; ++i) {
    const std::int32_t high = hexValue(text[2 * i]);
    const std::int32_t low = hexValue(text[2 * i + 1]);
    if (high == kNotHexDigit || low == kNotHexDigit) {
      r3xFree(block);
      parError(context, "ASCII scanner: invalid hex character in USERDATA");
      return nullptr;
    }
    block[i] = static_cast<std::uint8_t>(high * 16 + low);
  }
  *size = bytes;
  return reinterpret_cast<char*>(block);
}
