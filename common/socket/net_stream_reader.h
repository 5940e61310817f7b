// Cuts the TCP stream from the server into messages, however its bytes are split on the way.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "common/socket/net_framing.h"

class NetStreamReader {
 public:
  // Where the next bytes of the stream go, as many as the current header or body still wants
  // (at most a buffer's worth). Never empty.
  std::span<std::uint8_t> Space();
  // Takes the first `count` bytes written into Space() (more are ignored). Returns the message
  // that they complete; its payload stays valid until the next call of Space.
  //
  // A header announcing more than kMaxTcpPayload bytes makes its message dropped whole: the
  // announced bytes are read and discarded, so that the next header is found where it starts.
  std::optional<NetMessage> Commit(std::size_t count);

  // Whether part of a message (header or body) has been read.
  bool InsideMessage() const { return state_ != State::kHeader || filled_ != 0; }

 private:
  enum class State { kHeader, kBody, kDiscard };
  void StartHeader();

  std::array<std::uint8_t, kNetBufferSize> buffer_{};
  State state_ = State::kHeader;
  std::size_t filled_ = 0;                 // header and body bytes in buffer_
  std::uint64_t wanted_ = kNetHeaderSize;  // still wanted for the header, body or discard
  NetHeader header_{};
};
