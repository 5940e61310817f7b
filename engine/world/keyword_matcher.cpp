#include "engine/world/keyword_matcher.h"

#include <cstring>

#include "engine/world/keyword_table.h"

namespace {

constexpr const char* kUserData = "USERDATA";
// Enough for every prefix of every keyword, the dead node and the root.
constexpr std::size_t kMaxNodes = 2048;
// Class 0: not a word character; class 1: a word character that no keyword holds. 32 classes
// make a node's row one cache line.
constexpr std::size_t kMaxClasses = 32;
constexpr std::uint16_t kDead = 0;
constexpr std::uint16_t kRoot = 1;
constexpr std::int32_t kNoToken = -2;
// Set in a row's entry when the child ends a keyword, so the walk reads no token per character.
constexpr std::uint16_t kEndsKeyword = 0x8000;
constexpr std::uint16_t kNodeMask = 0x7FFF;
static_assert(kMaxNodes <= kNodeMask);
// Open-addressed keywords by whole word, for words that start with a letter or underscore.
constexpr std::size_t kSlots = 1024;

// Spreads the keywords over the slots with few collisions (about 1.1 probes a keyword).
std::size_t slotOf(const std::uint8_t* word, std::size_t length) {
  return (length * 61 + word[0] * 31u + word[length - 1] * 53u + word[length / 2] * 13u +
          word[(length - 1) / 3]) &
         (kSlots - 1);
}

struct KeywordSlot {
  const char* text;
  std::size_t length;
  std::int32_t token;
};

bool isWordCharacter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

struct KeywordTrie {
  KeywordSlot slots[kSlots];
  std::uint8_t classOf[256];
  alignas(64) std::uint16_t next[kMaxNodes][kMaxClasses];
  std::int32_t token[kMaxNodes];
  std::uint16_t nodeCount;
  std::uint8_t classCount;

  KeywordTrie() : slots{}, classOf{}, next{}, nodeCount(2), classCount(2) {
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
    for (std::size_t node = 0; node < nodeCount; ++node) {
      for (std::uint16_t& child : next[node]) {
        if (child != kDead && token[child] != kNoToken) {
          child |= kEndsKeyword;
        }
      }
    }
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
    const auto* word = reinterpret_cast<const std::uint8_t*>(keyword);
    const std::size_t length = std::strlen(keyword);
    std::size_t slot = slotOf(word, length);
    // A keyword given twice takes its later token, as in the trie.
    while (slots[slot].text != nullptr && std::strcmp(slots[slot].text, keyword) != 0) {
      slot = (slot + 1) & (kSlots - 1);
    }
    slots[slot] = KeywordSlot{keyword, length, value};
  }

  // The token of the keyword that is the whole word, or kNoToken.
  std::int32_t find(const std::uint8_t* word, std::size_t length) const {
    for (std::size_t slot = slotOf(word, length); slots[slot].text != nullptr;
         slot = (slot + 1) & (kSlots - 1)) {
      if (slots[slot].length == length && std::memcmp(slots[slot].text, word, length) == 0) {
        return slots[slot].token;
      }
    }
    return kNoToken;
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
  if (count > 0 && t.classOf[text[0]] != 0 && !(text[0] >= '0' && text[0] <= '9')) {
    // A name as long as the word beats a shorter keyword, so only the whole word is looked up:
    // the word's characters are found without the trie's chain of dependent look-ups.
    std::size_t length = 1;
    while (length < count && t.classOf[text[length]] != 0) {
      ++length;
    }
    match.wordLength = length;
    match.token = t.find(text, length);
    if (match.token != kNoToken) {
      match.keywordLength = length;
    }
    return match;
  }
  std::uint16_t node = kRoot;
  std::uint16_t keywordNode = kDead;
  std::size_t i = 0;
  for (; i < count; ++i) {
    const std::uint8_t c = t.classOf[text[i]];
    if (c == 0) {
      break;
    }
    const std::uint16_t entry = t.next[node][c];
    node = entry & kNodeMask;
    if ((entry & kEndsKeyword) != 0) {
      match.keywordLength = i + 1;
      keywordNode = node;
    }
  }
  match.wordLength = i;
  if (keywordNode != kDead) {
    match.token = t.token[keywordNode];
  }
  return match;
}
