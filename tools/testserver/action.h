#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <vector>

namespace testserver {

// A part of a payload. Most are literal bytes; the others name data that only the running
// server knows, filled in when the action is played.
struct PayloadPiece {
  enum class Kind {
    kBytes,         // `bytes` as they are
    kParamWords,    // `count` parameter words from word `first` on, u32 each
    kGlobalParams,  // the global parameter record, cut or zero-padded to `size` when given
    kUdpPort,       // the server's UDP port, u16 in network order
  };
  Kind kind = Kind::kBytes;
  std::vector<std::uint8_t> bytes;
  std::uint32_t first = 0;
  std::uint32_t count = 0;
  std::optional<std::uint32_t> size;
};

PayloadPiece MakeBytesPiece(std::vector<std::uint8_t> bytes);
PayloadPiece MakeParamWordsPiece(std::uint32_t first, std::uint32_t count);
PayloadPiece MakeGlobalParamsPiece(std::optional<std::uint32_t> size);
PayloadPiece MakeUdpPortPiece();

// What the server does at one moment of a session.
struct Action {
  enum class Kind {
    kTcp,          // one message on the TCP stream
    kUdp,          // one datagram to the client's UDP port
    kClose,        // close the connection once everything before it has been sent
    kAnswerAlive,  // `answer_alive` says whether the client's alive requests get replies
  };
  Kind kind = Kind::kTcp;
  // No header: the payload bytes are the whole message or datagram.
  bool raw = false;
  std::uint32_t address = 0;
  std::uint32_t type = 0;
  // The header's length field; the payload's size when not given.
  std::optional<std::uint32_t> length;
  // The datagram's sequence; when not given, the bytes of all datagrams sent before it.
  std::optional<std::uint32_t> sequence;
  // TCP: put the message on the stream in pieces of this many bytes, one send each with a
  // pause between them; 0 sends it whole.
  std::uint32_t split = 0;
  // UDP: send from the server's second UDP socket, at the server's address on another port.
  bool fromOther = false;
  // UDP: send from a socket at another loopback address than the server's.
  bool fromForeign = false;
  bool answerAlive = true;
  std::vector<PayloadPiece> payload;
};

Action MakeTcpMessage(std::uint32_t address, std::uint32_t type, std::vector<std::uint8_t> payload);
Action MakeDatagram(std::uint32_t address, std::uint32_t type, std::vector<std::uint8_t> payload);
Action MakeRawTcp(std::vector<std::uint8_t> bytes);
Action MakeRawDatagram(std::vector<std::uint8_t> bytes);
Action MakeCloseConnection();
Action MakeAnswerAlive(bool on);

// Little-endian u32 words, the usual payload.
std::vector<std::uint8_t> EncodeWords(std::span<const std::uint32_t> words);
std::vector<std::uint8_t> EncodeWords(std::initializer_list<std::uint32_t> words);

// The login's parameter table holds this many words.
inline constexpr std::uint32_t kParameterWordCount = 500;

// What the server knows when it plays an action.
struct PayloadSources {
  std::span<const std::uint32_t> paramWords;
  std::span<const std::uint8_t> globalParams;
  std::uint16_t udpPort = 0;
};

// The payload's bytes; parameter words outside the table are left out.
std::vector<std::uint8_t> BuildPayload(std::span<const PayloadPiece> pieces,
                                       const PayloadSources& sources);

}  // namespace testserver
