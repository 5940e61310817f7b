#include "tools/testserver/tcp_frame_reader.h"

namespace testserver {

void TcpFrameReader::Append(std::span<const std::uint8_t> bytes) {
  if (consumed_ > 0) {
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(consumed_));
    consumed_ = 0;
  }
  buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

std::optional<TcpFrame> TcpFrameReader::Next() {
  if (oversizeLength_) {
    return std::nullopt;
  }
  const std::span<const std::uint8_t> pending = std::span(buffer_).subspan(consumed_);
  const std::optional<WireHeader> header = ReadTcpHeader(pending);
  if (!header) {
    return std::nullopt;
  }
  if (header->length > kMaxTcpPayload) {
    oversizeLength_ = header->length;
    return std::nullopt;
  }
  if (pending.size() - kTcpHeaderSize < header->length) {
    return std::nullopt;
  }
  const auto body = pending.subspan(kTcpHeaderSize, header->length);
  TcpFrame frame{*header, std::vector<std::uint8_t>(body.begin(), body.end())};
  consumed_ += kTcpHeaderSize + header->length;
  return frame;
}

}  // namespace testserver
