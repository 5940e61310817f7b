#include "tools/testserver/action.h"

#include <algorithm>

#include "base/byte_writer.h"

namespace testserver {
namespace {

Action MakeMessageAction(Action::Kind kind, std::uint32_t address, std::uint32_t type,
                         std::vector<std::uint8_t> payload) {
  Action action;
  action.kind = kind;
  action.address = address;
  action.type = type;
  action.payload.push_back(MakeBytesPiece(std::move(payload)));
  return action;
}

void AppendPiece(arena::ByteWriter& out, const PayloadPiece& piece, const PayloadSources& sources) {
  switch (piece.kind) {
    case PayloadPiece::Kind::kBytes:
      out.Bytes(piece.bytes);
      break;
    case PayloadPiece::Kind::kParamWords: {
      const std::size_t end = std::min<std::size_t>(
          sources.paramWords.size(), static_cast<std::size_t>(piece.first) + piece.count);
      for (std::size_t i = piece.first; i < end; ++i) {
        out.U32(sources.paramWords[i]);
      }
      break;
    }
    case PayloadPiece::Kind::kGlobalParams: {
      const std::size_t size = piece.size.value_or(sources.globalParams.size());
      const std::size_t copied = std::min(size, sources.globalParams.size());
      out.Bytes(sources.globalParams.first(copied));
      out.Zeros(size - copied);
      break;
    }
    case PayloadPiece::Kind::kUdpPort:
      out.U16BigEndian(sources.udpPort);
      break;
  }
}

}  // namespace

PayloadPiece MakeBytesPiece(std::vector<std::uint8_t> bytes) {
  PayloadPiece piece;
  piece.bytes = std::move(bytes);
  return piece;
}

PayloadPiece MakeParamWordsPiece(std::uint32_t first, std::uint32_t count) {
  PayloadPiece piece;
  piece.kind = PayloadPiece::Kind::kParamWords;
  piece.first = first;
  piece.count = count;
  return piece;
}

PayloadPiece MakeGlobalParamsPiece(std::optional<std::uint32_t> size) {
  PayloadPiece piece;
  piece.kind = PayloadPiece::Kind::kGlobalParams;
  piece.size = size;
  return piece;
}

PayloadPiece MakeUdpPortPiece() {
  PayloadPiece piece;
  piece.kind = PayloadPiece::Kind::kUdpPort;
  return piece;
}

Action MakeTcpMessage(std::uint32_t address, std::uint32_t type,
                      std::vector<std::uint8_t> payload) {
  return MakeMessageAction(Action::Kind::kTcp, address, type, std::move(payload));
}

Action MakeDatagram(std::uint32_t address, std::uint32_t type, std::vector<std::uint8_t> payload) {
  return MakeMessageAction(Action::Kind::kUdp, address, type, std::move(payload));
}

Action MakeRawTcp(std::vector<std::uint8_t> bytes) {
  Action action = MakeTcpMessage(0, 0, std::move(bytes));
  action.raw = true;
  return action;
}

Action MakeRawDatagram(std::vector<std::uint8_t> bytes) {
  Action action = MakeDatagram(0, 0, std::move(bytes));
  action.raw = true;
  return action;
}

Action MakeCloseConnection() {
  Action action;
  action.kind = Action::Kind::kClose;
  return action;
}

Action MakeAnswerAlive(bool on) {
  Action action;
  action.kind = Action::Kind::kAnswerAlive;
  action.answerAlive = on;
  return action;
}

std::vector<std::uint8_t> EncodeWords(std::span<const std::uint32_t> words) {
  arena::ByteWriter bytes;
  for (const std::uint32_t word : words) {
    bytes.U32(word);
  }
  return bytes.Take();
}

std::vector<std::uint8_t> EncodeWords(std::initializer_list<std::uint32_t> words) {
  return EncodeWords(std::span<const std::uint32_t>(words.begin(), words.size()));
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
