#include "engine/world/keyword_matcher.h"

#include "engine/world/keyword_table.h"

namespace {

constexpr const char* kUserData = "USERDATA";
// Enough for every prefix of every keyword, the dead node and the root.
constexpr std::size_t kMaxNodes = 2048;
// Class 0: not a word character; class 1: a word character that no keyword holds.
constexpr std::size_t kMaxClasses = 40;
constexpr std::uint16_t kDead = 0;
constexpr std::uint16_t kRoot = 1;
constexpr std::int32_t kNoToken = -2;

bool isWordCharacter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

struct KeywordTrie {
  std::uint8_t classOf[256];
  std::uint16_t next[kMaxNodes][kMaxClasses];
  std::int32_t token[kMaxNodes];
  std::uint16_t nodeCount;
  std::uint8_t classCount;

  KeywordTrie() : classOf{}, next{}, nodeCount(2), classCount(2) {
    for (int c = 0; c < 256; ++c) {
      classOf[c] = isWordCharacter(static_cast<unsigned char>(c)) ? 1 : 0;
    }
    for (std::size_t i = 0; i < kMaxNodes; ++i) {
      token[i] = kNoToken;
    }
    for (std::size_t i = 0; i < parKeywordCount; ++i) {
      add(parKeywords[i].text, parKeywords[i].token);
    }
    add(kUserData, R3X_KEYWORD_USERDATA);
  }

  void add(const char* keyword, std::int32_t value) {
    std::uint16_t node = kRoot;
    for (const char* p = keyword; *p != '\0'; ++p) {
      const auto c = static_cast<unsigned char>(*p);
      if (classOf[c] == 1) {
        classOf[c] = classCount++;
      }
      std::uint16_t& child = next[node][classOf[c]];
      if (child == kDead) {
        child = nodeCount++;
      }
      node = child;
    }
    token[node] = value;
  }
};

const KeywordTrie& trie() {
  static const KeywordTrie instance;
  return instance;
}

}  // namespace

R3xWordMatch parMatchWord(const std::uint8_t* text, std::size_t count) {
  const KeywordTrie& t = trie();
  R3xWordMatch match{0, 0, kNoToken};
  std::uint16_t node = kRoot;
  std::size_t i = 0;
  for (; i < count; ++i) {
    const std::uint8_t c = t.classOf[text[i]];
    if (c == 0) {
      break;
    }
    node = t.next[node][c];
    if (t.token[node] != kNoToken) {
      match.keywordLength = i + 1;
      match.token = t.token[node];
    }
  }
  match.wordLength = i;
  return match;
}
