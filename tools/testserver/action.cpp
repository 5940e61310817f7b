#include "tools/testserver/action.h"

#include <algorithm>

#include "base/byte_writer.h"

namespace testserver {
namespace {

Action MessageAction(Action::Kind kind, std::uint32_t address, std::uint32_t type,
                     std::vector<std::uint8_t> payload) {
  Action action;
  action.kind = kind;
  action.address = address;
  action.type = type;
  action.payload.push_back(BytesPiece(std::move(payload)));
  return action;
}

void AppendPiece(arena::ByteWriter& out, const PayloadPiece& piece, const PayloadSources& sources) {
  switch (piece.kind) {
    case PayloadPiece::Kind::kBytes:
      out.Bytes(piece.bytes);
      break;
    case PayloadPiece::Kind::kParamWords: {
      const std::size_t end = std::min<std::size_t>(
          sources.param_words.size(), static_cast<std::size_t>(piece.first) + piece.count);
      for (std::size_t i = piece.first; i < end; ++i) {
        out.U32(sources.param_words[i]);
      }
      break;
    }
    case PayloadPiece::Kind::kGlobalParams: {
      const std::size_t size = piece.size.value_or(sources.global_params.size());
      const std::size_t copied = std::min(size, sources.global_params.size());
      out.Bytes(sources.global_params.first(copied));
      out.Zeros(size - copied);
      break;
    }
    case PayloadPiece::Kind::kUdpPort:
      out.U16BigEndian(sources.udp_port);
      break;
  }
}

}  // namespace

PayloadPiece BytesPiece(std::vector<std::uint8_t> bytes) {
  PayloadPiece piece;
  piece.bytes = std::move(bytes);
  return piece;
}

PayloadPiece ParamWordsPiece(std::uint32_t first, std::uint32_t count) {
  PayloadPiece piece;
  piece.kind = PayloadPiece::Kind::kParamWords;
  piece.first = first;
  piece.count = count;
  return piece;
}

PayloadPiece GlobalParamsPiece(std::optional<std::uint32_t> size) {
  PayloadPiece piece;
  piece.kind = PayloadPiece::Kind::kGlobalParams;
  piece.size = size;
  return piece;
}

PayloadPiece UdpPortPiece() {
  PayloadPiece piece;
  piece.kind = PayloadPiece::Kind::kUdpPort;
  return piece;
}

Action TcpMessage(std::uint32_t address, std::uint32_t type, std::vector<std::uint8_t> payload) {
  return MessageAction(Action::Kind::kTcp, address, type, std::move(payload));
}

Action Datagram(std::uint32_t address, std::uint32_t type, std::vector<std::uint8_t> payload) {
  return MessageAction(Action::Kind::kUdp, address, type, std::move(payload));
}

Action RawTcp(std::vector<std::uint8_t> bytes) {
  Action action = TcpMessage(0, 0, std::move(bytes));
  action.raw = true;
  return action;
}

Action RawDatagram(std::vector<std::uint8_t> bytes) {
  Action action = Datagram(0, 0, std::move(bytes));
  action.raw = true;
  return action;
}

Action CloseConnection() {
  Action action;
  action.kind = Action::Kind::kClose;
  return action;
}

Action AnswerAlive(bool on) {
  Action action;
  action.kind = Action::Kind::kAnswerAlive;
  action.answer_alive = on;
  return action;
}

std::vector<std::uint8_t> Words(std::span<const std::uint32_t> words) {
  arena::ByteWriter bytes;
  for (const std::uint32_t word : words) {
    bytes.U32(word);
  }
  return bytes.Take();
}

std::vector<std::uint8_t> Words(std::initializer_list<std::uint32_t> words) {
  return Words(std::span<const std::uint32_t>(words.begin(), words.size()));
}

std::vector<std::uint8_t> BuildPayload(std::span<const PayloadPiece> pieces,
                                       const PayloadSources& sources) {
  arena::ByteWriter out;
  for (const PayloadPiece& piece : pieces) {
    AppendPiece(out, piece, sources);
  }
  return out.Take();
}

}  // namespace testserver
