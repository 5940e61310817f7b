#include "tests/support/word_payload.h"

#include "base/byte_writer.h"

namespace test_support {

std::vector<std::uint8_t> WordPayload(std::initializer_list<std::uint32_t> words) {
  arena::ByteWriter writer;
  for (const std::uint32_t word : words) {
    writer.U32(word);
  }
  return writer.Take();
}

}  // namespace test_support
