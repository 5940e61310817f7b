#include "common/socket/net_stream_reader.h"

#include <algorithm>

std::span<std::uint8_t> NetStreamReader::Space() {
  if (state_ == State::kDiscard) {
    // Discarded bytes only pass through the body area.
    const std::size_t chunk =
        static_cast<std::size_t>(std::min<std::uint64_t>(wanted_, kMaxTcpPayload));
    return std::span(buffer_).subspan(kNetHeaderSize, chunk);
  }
  return std::span(buffer_).subspan(filled_, static_cast<std::size_t>(wanted_));
}

std::optional<NetMessage> NetStreamReader::Commit(std::size_t count) {
  count = std::min(count, Space().size());
  wanted_ -= count;
  if (state_ != State::kDiscard) {
    filled_ += count;
  }
  if (wanted_ != 0) {
    return std::nullopt;
  }
  switch (state_) {
    case State::kHeader:
      header_ = ReadNetHeader(std::span(buffer_).first<kNetHeaderSize>());
      if (header_.length > kMaxTcpPayload) {
        state_ = State::kDiscard;
        wanted_ = header_.length;
        return std::nullopt;
      }
      if (header_.length != 0) {
        state_ = State::kBody;
        wanted_ = header_.length;
        return std::nullopt;
      }
      break;
    case State::kBody:
      break;
    case State::kDiscard:
      StartHeader();
      return std::nullopt;
  }
  const NetMessage message{header_.address, header_.type,
                           std::span(buffer_).subspan(kNetHeaderSize, header_.length)};
  StartHeader();
  return message;
}

void NetStreamReader::StartHeader() {
  state_ = State::kHeader;
  filled_ = 0;
  wanted_ = kNetHeaderSize;
}
