// The world-file language's vocabulary: the keyword table, which fixes every token number of
// both the text and the binary form, and the token numbers that carry values.
// Results: constants and the table only.
#pragma once

#include <cstddef>
#include <cstdint>

// What a scanner returns besides keyword tokens.
inline constexpr std::int32_t R3X_TOKEN_END = 0;
// A token that no grammar rule accepts: a scanner returns it after reporting an error.
inline constexpr std::int32_t R3X_TOKEN_ERROR = 1;
inline constexpr std::int32_t R3X_TOKEN_NAME = 4;
inline constexpr std::int32_t R3X_TOKEN_INTEGER = 10;
inline constexpr std::int32_t R3X_TOKEN_REAL = 12;
inline constexpr std::int32_t R3X_TOKEN_RENDERMETHOD = 85;
// USERDEFINED, after RENDERMETHOD; its value is 0x80000000.
inline constexpr std::int32_t R3X_TOKEN_USERDEFINED = 110;
// A render-method name after RENDERMETHOD; its value is the render method.
inline constexpr std::int32_t R3X_TOKEN_RENDER_METHOD = 112;
inline constexpr std::int32_t R3X_TOKEN_STRING = 144;
inline constexpr std::int32_t R3X_TOKEN_USER_DATA = 152;
// Binary form only: plain bytes.
inline constexpr std::int32_t R3X_TOKEN_BINARY_BLOCK = 156;
// Tokens from here on are two-byte codes in the binary form.
inline constexpr std::int32_t R3X_TOKEN_FIRST_TWO_BYTE = 128;
inline constexpr std::int32_t R3X_TOKEN_LAST = 311;
// The text scanner's abort code for a match longer than its token buffer.
inline constexpr std::int32_t R3X_TOKEN_OVERFLOW = -2;

inline constexpr std::uint32_t R3X_USERDEFINED_VALUE = 0x80000000;

struct R3xKeyword {
  const char* text;
  std::int32_t token;
};

// Every keyword in token order. DISTANCE and MAXDISTANCE share a token; ENDFILE is token 0,
// the end of a file's tokens.
extern const R3xKeyword parKeywords[];
extern const std::size_t parKeywordCount;
