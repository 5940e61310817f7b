#include "battle/arena/chat_payload.h"

#include <gtest/gtest.h>

#include <span>
#include <string_view>

namespace {

TEST(ChatPayloadTextTest, EndsAtTheNulOrTheEndOfThePayload) {
  // The payload is the first bytes of a longer buffer: nothing after them may be read.
  const std::uint8_t bytes[] = {'h', 'i', 0, 'x', 'g', 'g', 'y', 'z'};
  struct Case {
    std::size_t offset;
    std::size_t length;
    std::string_view expected;
  };
  for (const Case c : {Case{0, 8, "hi"}, Case{0, 2, "hi"}, Case{0, 1, "h"}, Case{3, 3, "xgg"},
                       Case{2, 4, ""}, Case{0, 0, ""}}) {
    EXPECT_EQ(ChatPayloadText(std::span(bytes).subspan(c.offset, c.length)), c.expected)
        << c.offset << " " << c.length;
  }
}

}  // namespace
