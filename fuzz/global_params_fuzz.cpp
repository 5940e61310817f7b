// The GLOBAL_PARAMS_PASS record: parsed from any payload, and applied when it parses.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "battle/core/global_params.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> payload(data, size);
  const bool whole = size >= GLOBAL_PARAMS_SIZE;
  if (ParseGlobalParams(payload).has_value() != whole) {
    std::abort();
  }
  GlobalParamValues values;
  if (ApplyGlobalParams(values, payload) != whole) {
    std::abort();
  }
  return 0;
}
