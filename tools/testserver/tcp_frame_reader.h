#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "tools/testserver/wire_header.h"

namespace testserver {

struct TcpFrame {
  WireHeader header;
  std::vector<std::uint8_t> payload;
};

// Cuts the client's TCP byte stream into messages, however the bytes were split on the way.
class TcpFrameReader {
 public:
  void Append(std::span<const std::uint8_t> bytes);

  // The next complete message, or nothing while one is still incomplete. After a header that
  // announces more payload than a message buffer holds, the stream cannot be followed any
  // further: nothing more is returned and OversizeLength() tells the announced length.
  std::optional<TcpFrame> Next();
  std::optional<std::uint32_t> OversizeLength() const { return oversizeLength_; }

  std::size_t BufferedBytes() const { return buffer_.size() - consumed_; }

 private:
  std::vector<std::uint8_t> buffer_;
  std::size_t consumed_ = 0;
  std::optional<std::uint32_t> oversizeLength_;
};

}  // namespace testserver
