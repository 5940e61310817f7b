#include "battle/arena/object_record.h"

#include "battle/core/log.h"

bool IsWholeRecord(std::uint32_t type, std::span<const std::uint8_t> payload, std::size_t bytes) {
  if (payload.size() >= bytes) {
    return true;
  }
  LogPrintf(0, "short message: type 0x%08X, %u bytes of %u", type,
            static_cast<unsigned>(payload.size()), static_cast<unsigned>(bytes));
  return false;
}
