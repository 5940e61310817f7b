// Keyword recognition in one pass over a word: a trie of the keywords walked with one table
// look-up per character, alongside the run of name characters.
// Results: a match record.
#pragma once

#include <cstddef>
#include <cstdint>

// USERDATA is a keyword of the text form without a token of its own.
inline constexpr std::int32_t R3X_KEYWORD_USERDATA = -1;

struct R3xWordMatch {
  // Letters, digits and underscores from the start.
  std::size_t wordLength;
  // The longest keyword the text starts with, and its token; 0 when none. For a word that does
  // not start with a digit only the whole word counts: a name of the word's length wins over
  // any shorter keyword.
  std::size_t keywordLength;
  std::int32_t token;
};

// Looks at no more than count bytes.
R3xWordMatch parMatchWord(const std::uint8_t* text, std::size_t count);
