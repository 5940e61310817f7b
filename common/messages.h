// The system's vocabulary: object kinds (the high 16 bits of a mailbox address), the fixed
// addresses, every message type, and one table telling for each type who sends it, by which
// transport the client sends it and how large its payload is.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

// Object kinds: a mailbox address is the kind with the instance in its low 16 bits.
inline constexpr std::uint32_t KIND_NETWORK = 0x10000;
inline constexpr std::uint32_t KIND_ERROR_SINK = 0x20000;  // no mailbox bears it
inline constexpr std::uint32_t KIND_PLAYER_INPUT = 0x40000;
inline constexpr std::uint32_t KIND_SESSION = 0x80000;
inline constexpr std::uint32_t KIND_TANK = 0x90000;
inline constexpr std::uint32_t KIND_BULLET = 0xB0000;
inline constexpr std::uint32_t KIND_MINE_A = 0xE0000;
inline constexpr std::uint32_t KIND_PERSONAL_DEFENSE = 0xF0000;
inline constexpr std::uint32_t KIND_FLAG = 0x100000;
inline constexpr std::uint32_t KIND_MISSILE = 0x110000;
inline constexpr std::uint32_t KIND_SMOKE = 0x120000;
inline constexpr std::uint32_t KIND_MINE_B = 0x140000;
inline constexpr std::uint32_t KIND_DEFENSE = 0x150000;
inline constexpr std::uint32_t KIND_RECON_GUN = 0x160000;

// Fixed addresses.
// The network client: everything posted here goes to the server.
inline constexpr std::uint32_t kNetworkAddress = 0x10001;
inline constexpr std::uint32_t kSessionAddress = KIND_SESSION;
inline constexpr std::uint32_t kPlayerInputAddress = KIND_PLAYER_INPUT;
// The temporary sender of the world start's error reports.
inline constexpr std::uint32_t kErrorReportSender = 0xFFFFFFFF;
inline constexpr std::uint32_t kMissileAddressPhoenix = 0x11A000;
inline constexpr std::uint32_t kMissileAddressDeactivator = 0x11B000;
inline constexpr std::uint32_t kMissileAddressFlash = 0x11C000;
inline constexpr std::uint32_t kMissileAddressBatteryDrain = 0x11D000;

// Family 0x01, connection control.
inline constexpr std::uint32_t MSG_TIME_SYNC = 0x1000000;
inline constexpr std::uint32_t MSG_LOGIN = 0x1000003;
inline constexpr std::uint32_t MSG_LOGOUT = 0x1000006;
inline constexpr std::uint32_t MSG_CONNECTED = 0x1000008;
inline constexpr std::uint32_t MSG_DISCONNECTING = 0x1000009;
inline constexpr std::uint32_t MSG_ALIVE_REPLY = 0x100000A;
inline constexpr std::uint32_t MSG_ALIVE_REQUEST = 0x100000B;
inline constexpr std::uint32_t MSG_UDP_PORT = 0x1000010;

// Family 0x02, session data.
inline constexpr std::uint32_t MSG_PARAM_EDITOR = 0x2000006;
inline constexpr std::uint32_t MSG_PARAM_TABLE = 0x2000007;
inline constexpr std::uint32_t MSG_PARAM_SET = 0x2000008;
inline constexpr std::uint32_t MSG_SYSTEM_INFO = 0x2000009;
inline constexpr std::uint32_t MSG_FRAME_RATE = 0x200000A;
inline constexpr std::uint32_t MSG_TOGGLE_RESTRICTED_KEYS = 0x2001007;

// Family 0x03, chat: every payload is a text with its NUL.
inline constexpr std::uint32_t MSG_CHAT = 0x3000001;
inline constexpr std::uint32_t MSG_CHAT_IGNORED = 0x3000002;  // received and ignored
inline constexpr std::uint32_t MSG_CHAT_TEAM = 0x3000003;
inline constexpr std::uint32_t MSG_CHAT_COMMAND = 0x3000004;
inline constexpr std::uint32_t MSG_CHAT_REPORT = 0x3000005;

// Family 0x04, object family 0: world and session.
inline constexpr std::uint32_t MSG_QUIT = 0x4000001;
inline constexpr std::uint32_t MSG_SYNC_PING = 0x4000002;
inline constexpr std::uint32_t GLOBAL_PARAMS_PASS = 0x4000005;
inline constexpr std::uint32_t MSG_WEATHER_ENABLE = 0x4000006;
inline constexpr std::uint32_t MSG_SET_GRAVITY = 0x4000007;
inline constexpr std::uint32_t MSG_SET_GLOBAL_WORD4 = 0x4000008;
inline constexpr std::uint32_t MSG_TIME_OF_DAY = 0x400000A;
inline constexpr std::uint32_t MSG_TEAM_BASE = 0x400000E;
inline constexpr std::uint32_t MSG_TIME_BASE = 0x400000F;
inline constexpr std::uint32_t MSG_WEATHER_EVENT = 0x4000010;

// Family 0x04, object family 1: vehicles.
inline constexpr std::uint32_t MSG_CREATE_PLAYER_TANK = 0x4001001;
inline constexpr std::uint32_t MSG_CREATE_TANK = 0x4001003;
inline constexpr std::uint32_t MSG_REMOVE_TANK = 0x4001004;
inline constexpr std::uint32_t MSG_TANK_DESTROYED = 0x4001005;
inline constexpr std::uint32_t MSG_TANK_STATE = 0x4001006;
inline constexpr std::uint32_t MSG_TANK_FIRE = 0x4001007;
inline constexpr std::uint32_t MSG_TANK_HIT = 0x4001008;
inline constexpr std::uint32_t MSG_TANK_STEALTH = 0x400100C;
inline constexpr std::uint32_t MSG_TANK_CLOAK = 0x400100D;
inline constexpr std::uint32_t MSG_TANK_CHASSIS = 0x4001010;
inline constexpr std::uint32_t MSG_TANK_SCORE = 0x4001011;
inline constexpr std::uint32_t MSG_TANK_DAMAGE_LEVEL = 0x4001012;
inline constexpr std::uint32_t MSG_TANK_APPEARANCE = 0x4001013;
inline constexpr std::uint32_t MSG_DESIGN_MODE = 0x4001014;
inline constexpr std::uint32_t MSG_FIRE_FLARES = 0x4001015;
inline constexpr std::uint32_t MSG_TANK_RESPAWN = 0x4001017;
inline constexpr std::uint32_t MSG_TANK_HALT = 0x4001018;
inline constexpr std::uint32_t MSG_STATUS_REPORT = 0x4001019;

// Family 0x04, object family 2: raise.
inline constexpr std::uint32_t MSG_RAISE = 0x4002001;
inline constexpr std::uint32_t MSG_RAISE_END = 0x4002002;
inline constexpr std::uint32_t MSG_RAISED = 0x4002003;

// Family 0x04, object family 4: mines.
inline constexpr std::uint32_t MSG_CREATE_MINE = 0x4004001;
inline constexpr std::uint32_t MSG_MINE_DETONATE = 0x4004002;
inline constexpr std::uint32_t MSG_MINE_SWEEP = 0x4004004;
inline constexpr std::uint32_t MSG_MINE_REMOVE = 0x4004005;

// Family 0x04, object family 5: defense towers.
inline constexpr std::uint32_t MSG_CREATE_DEFENSE = 0x4005001;
inline constexpr std::uint32_t MSG_DEFENSE_DESCEND = 0x4005002;
inline constexpr std::uint32_t MSG_DEFENSE_IDLE = 0x4005003;
inline constexpr std::uint32_t MSG_DEFENSE_TARGET = 0x4005004;
inline constexpr std::uint32_t MSG_DEFENSE_MOVE = 0x4005006;
inline constexpr std::uint32_t MSG_DEFENSE_ARRIVED = 0x4005007;
inline constexpr std::uint32_t MSG_DEFENSE_HIT = 0x4005009;
inline constexpr std::uint32_t MSG_DEFENSE_RELEASE = 0x400500A;
inline constexpr std::uint32_t MSG_DEFENSE_MODULE = 0x400500D;
inline constexpr std::uint32_t MSG_DEFENSE_CALL = 0x400500E;
inline constexpr std::uint32_t MSG_DEFENSE_CARRY_RECON = 0x400500F;

// Family 0x04, object family 6: flags.
inline constexpr std::uint32_t MSG_CREATE_FLAG = 0x4006002;
inline constexpr std::uint32_t MSG_FLAG_TAKEN = 0x4006003;
inline constexpr std::uint32_t MSG_FLAG_DROPPED = 0x4006004;

// Family 0x04, object family 7: missiles.
inline constexpr std::uint32_t MSG_CREATE_MISSILE = 0x4007001;
inline constexpr std::uint32_t MSG_MISSILE_STATE = 0x4007003;

// Family 0x04, object family 9: recon drones and recon guns.
inline constexpr std::uint32_t MSG_CREATE_RECON = 0x4009001;
inline constexpr std::uint32_t MSG_RECON_CAPTURE = 0x4009002;
inline constexpr std::uint32_t MSG_RECON_TEAM = 0x4009003;
inline constexpr std::uint32_t MSG_CREATE_RECON_GUN = 0x4009004;
inline constexpr std::uint32_t MSG_RECON_GUN_DESTROY = 0x4009005;
inline constexpr std::uint32_t MSG_RECON_GUN_HIT = 0x4009006;

// Family 0x05, local player events.
inline constexpr std::uint32_t MSG_PLAY_SOUND = 0x5000005;
inline constexpr std::uint32_t MSG_COCKPIT_REFRESH = 0x5000009;
inline constexpr std::uint32_t MSG_INPUT_EVENT = 0x500000E;

// Family 0x09, file transfer: consumed by the network client, never sent.
inline constexpr std::uint32_t MSG_FILE_OFFER = 0x9000002;
inline constexpr std::uint32_t MSG_FILE_BLOCK = 0x9000003;
inline constexpr std::uint32_t MSG_FILE_RESEND = 0x9000004;
inline constexpr std::uint32_t MSG_FILE_DONE = 0x9000005;
inline constexpr std::uint32_t MSG_FILE_CANCEL = 0x9000006;

// Who moves a message: flags, combined with |.
enum MessageDirection : std::uint8_t {
  kMessageOut = 1,    // posted to kNetworkAddress and sent to the server
  kMessageIn = 2,     // arrives from the server and is posted to the addressed mailbox
  kMessageLocal = 4,  // between objects of the client, never on the wire
};

// How the client sends a message to the server.
enum class MessageTransport : std::uint8_t {
  kNone,  // the client never sends it
  kTcp,
  kUdp,  // as a datagram
};

// The payload length of one direction of a message.
struct PayloadSize {
  enum class Kind : std::uint8_t {
    kNone,      // not carried in this direction
    kFixed,     // exactly `bytes`
    kExact,     // exactly `bytes`, and its receiver refuses any other length of its own accord
    kEither,    // `bytes` or `alternate`
    kText,      // a text with its NUL: text length + 1
    kRecords,   // any number of `bytes`-sized records
    kAny,       // any length; not read
    kUnlisted,  // laid down by the receiving object's own record, not here
  };
  Kind kind = Kind::kNone;
  std::uint32_t bytes = 0;
  std::uint32_t alternate = 0;

  friend constexpr bool operator==(const PayloadSize&, const PayloadSize&) = default;
};

constexpr PayloadSize FixedPayload(std::uint32_t bytes) {
  return {PayloadSize::Kind::kFixed, bytes, 0};
}
constexpr PayloadSize ExactPayload(std::uint32_t bytes) {
  return {PayloadSize::Kind::kExact, bytes, 0};
}
constexpr PayloadSize EitherPayload(std::uint32_t bytes, std::uint32_t alternate) {
  return {PayloadSize::Kind::kEither, bytes, alternate};
}
constexpr PayloadSize RecordsPayload(std::uint32_t recordBytes) {
  return {PayloadSize::Kind::kRecords, recordBytes, 0};
}
inline constexpr PayloadSize kNoPayload{};
inline constexpr PayloadSize kEmptyPayload = FixedPayload(0);
inline constexpr PayloadSize kTextPayload{PayloadSize::Kind::kText, 0, 0};
inline constexpr PayloadSize kAnyPayload{PayloadSize::Kind::kAny, 0, 0};
inline constexpr PayloadSize kUnlistedPayload{PayloadSize::Kind::kUnlisted, 0, 0};

struct MessageInfo {
  std::uint32_t type;
  std::string_view name;    // the constant's name
  std::uint8_t directions;  // MessageDirection flags
  MessageTransport transport;
  PayloadSize sent;      // as the client posts it, to the server or locally
  PayloadSize received;  // as it arrives from the server
};

namespace message_catalogue_detail {
constexpr std::uint8_t kOut = kMessageOut;
constexpr std::uint8_t kIn = kMessageIn;
constexpr std::uint8_t kLocal = kMessageLocal;
constexpr std::uint8_t kOutIn = kMessageOut | kMessageIn;
constexpr MessageTransport kNone = MessageTransport::kNone;
constexpr MessageTransport kTcp = MessageTransport::kTcp;
constexpr MessageTransport kUdp = MessageTransport::kUdp;
}  // namespace message_catalogue_detail

#define ARENA_MESSAGE(type, directions, transport, sent, received) \
  MessageInfo { type, #type, directions, transport, sent, received }

// Every message type, in ascending order of type.
inline constexpr auto kMessageCatalogue = [] {
  using namespace message_catalogue_detail;
  return std::array{
      ARENA_MESSAGE(MSG_TIME_SYNC, kIn, kNone, kNoPayload, FixedPayload(4)),
      ARENA_MESSAGE(MSG_LOGIN, kOut, kTcp, kTextPayload, kNoPayload),
      ARENA_MESSAGE(MSG_LOGOUT, kOutIn, kTcp, kEmptyPayload, kAnyPayload),
      ARENA_MESSAGE(MSG_CONNECTED, kIn, kNone, kNoPayload, kAnyPayload),
      // No part of the client posts it; the server may address it to the network client.
      ARENA_MESSAGE(MSG_DISCONNECTING, kIn, kNone, kNoPayload, kEmptyPayload),
      ARENA_MESSAGE(MSG_ALIVE_REPLY, kOutIn, kUdp, FixedPayload(4), FixedPayload(4)),
      ARENA_MESSAGE(MSG_ALIVE_REQUEST, kOutIn, kUdp, FixedPayload(4), FixedPayload(4)),
      ARENA_MESSAGE(MSG_UDP_PORT, kOutIn, kTcp, FixedPayload(2), FixedPayload(2)),

      ARENA_MESSAGE(MSG_PARAM_EDITOR, kOutIn, kTcp, kEmptyPayload, EitherPayload(0, 396)),
      ARENA_MESSAGE(MSG_PARAM_TABLE, kIn, kNone, kNoPayload, RecordsPayload(4)),
      ARENA_MESSAGE(MSG_PARAM_SET, kOutIn, kTcp, EitherPayload(8, 396), FixedPayload(8)),
      ARENA_MESSAGE(MSG_SYSTEM_INFO, kOut, kTcp, FixedPayload(28), kNoPayload),
      ARENA_MESSAGE(MSG_FRAME_RATE, kOut, kUdp, FixedPayload(4), kNoPayload),
      ARENA_MESSAGE(MSG_TOGGLE_RESTRICTED_KEYS, kIn, kNone, kNoPayload, kEmptyPayload),

      ARENA_MESSAGE(MSG_CHAT, kOutIn, kTcp, kTextPayload, kTextPayload),
      ARENA_MESSAGE(MSG_CHAT_IGNORED, kIn, kNone, kNoPayload, kTextPayload),
      ARENA_MESSAGE(MSG_CHAT_TEAM, kOutIn, kTcp, kTextPayload, kTextPayload),
      ARENA_MESSAGE(MSG_CHAT_COMMAND, kOutIn, kTcp, kTextPayload, kTextPayload),
      ARENA_MESSAGE(MSG_CHAT_REPORT, kOutIn | kLocal, kTcp, kTextPayload, kTextPayload),

      // The own tank's quit timer posts MSG_QUIT to the server and to the game session.
      ARENA_MESSAGE(MSG_QUIT, kOutIn | kLocal, kTcp, kEmptyPayload, kEmptyPayload),
      ARENA_MESSAGE(MSG_SYNC_PING, kOutIn, kTcp, kEmptyPayload, kEmptyPayload),
      // The login fails on a record of any other length; in play a shorter one is dropped.
      ARENA_MESSAGE(GLOBAL_PARAMS_PASS, kIn, kNone, kNoPayload, ExactPayload(284)),
      ARENA_MESSAGE(MSG_WEATHER_ENABLE, kIn, kNone, kNoPayload, FixedPayload(4)),
      ARENA_MESSAGE(MSG_SET_GRAVITY, kIn, kNone, kNoPayload, FixedPayload(4)),
      ARENA_MESSAGE(MSG_SET_GLOBAL_WORD4, kIn, kNone, kNoPayload, FixedPayload(4)),
      ARENA_MESSAGE(MSG_TIME_OF_DAY, kIn, kNone, kNoPayload, FixedPayload(24)),
      ARENA_MESSAGE(MSG_TEAM_BASE, kIn, kNone, kNoPayload, FixedPayload(16)),
      ARENA_MESSAGE(MSG_TIME_BASE, kIn, kNone, kNoPayload, FixedPayload(16)),
      ARENA_MESSAGE(MSG_WEATHER_EVENT, kIn, kNone, kNoPayload, FixedPayload(12)),

      ARENA_MESSAGE(MSG_CREATE_PLAYER_TANK, kIn, kNone, kNoPayload, kUnlistedPayload),
      ARENA_MESSAGE(MSG_CREATE_TANK, kIn, kNone, kNoPayload, FixedPayload(48)),
      ARENA_MESSAGE(MSG_REMOVE_TANK, kIn, kNone, kNoPayload, FixedPayload(4)),
      ARENA_MESSAGE(MSG_TANK_DESTROYED, kOutIn, kTcp, FixedPayload(4), kAnyPayload),
      ARENA_MESSAGE(MSG_TANK_STATE, kOutIn, kUdp, FixedPayload(36), FixedPayload(36)),
      ARENA_MESSAGE(MSG_TANK_FIRE, kOutIn, kUdp, FixedPayload(24), FixedPayload(24)),
      ARENA_MESSAGE(MSG_TANK_HIT, kOutIn, kUdp, FixedPayload(20), kUnlistedPayload),
      ARENA_MESSAGE(MSG_TANK_STEALTH, kOutIn, kTcp, FixedPayload(4), FixedPayload(4)),
      ARENA_MESSAGE(MSG_TANK_CLOAK, kOutIn, kTcp, FixedPayload(4), FixedPayload(4)),
      ARENA_MESSAGE(MSG_TANK_CHASSIS, kOutIn, kTcp, FixedPayload(4), FixedPayload(4)),
      ARENA_MESSAGE(MSG_TANK_SCORE, kIn, kNone, kNoPayload, FixedPayload(16)),
      ARENA_MESSAGE(MSG_TANK_DAMAGE_LEVEL, kOutIn, kTcp, FixedPayload(4), FixedPayload(4)),
      ARENA_MESSAGE(MSG_TANK_APPEARANCE, kIn, kNone, kNoPayload, FixedPayload(13)),
      ARENA_MESSAGE(MSG_DESIGN_MODE, kOutIn, kTcp, FixedPayload(4), kUnlistedPayload),
      ARENA_MESSAGE(MSG_FIRE_FLARES, kOutIn, kTcp, FixedPayload(20), FixedPayload(20)),
      ARENA_MESSAGE(MSG_TANK_RESPAWN, kOutIn, kTcp, kEmptyPayload, FixedPayload(36)),
      ARENA_MESSAGE(MSG_TANK_HALT, kOut, kTcp, kEmptyPayload, kNoPayload),
      ARENA_MESSAGE(MSG_STATUS_REPORT, kOutIn, kTcp, RecordsPayload(8), kUnlistedPayload),

      ARENA_MESSAGE(MSG_RAISE, kOutIn, kTcp, FixedPayload(12), FixedPayload(12)),
      ARENA_MESSAGE(MSG_RAISE_END, kIn, kNone, kNoPayload, kEmptyPayload),
      ARENA_MESSAGE(MSG_RAISED, kIn, kNone, kNoPayload, kUnlistedPayload),

      ARENA_MESSAGE(MSG_CREATE_MINE, kOutIn, kTcp, FixedPayload(28), FixedPayload(28)),
      // Empty or 16 bytes to the server; 16 bytes locally to the own tank.
      ARENA_MESSAGE(MSG_MINE_DETONATE, kOutIn | kLocal, kTcp, EitherPayload(0, 16),
                    kUnlistedPayload),
      ARENA_MESSAGE(MSG_MINE_SWEEP, kOut, kTcp, FixedPayload(4), kNoPayload),
      ARENA_MESSAGE(MSG_MINE_REMOVE, kIn, kNone, kNoPayload, kUnlistedPayload),

      ARENA_MESSAGE(MSG_CREATE_DEFENSE, kIn, kNone, kNoPayload, FixedPayload(24)),
      ARENA_MESSAGE(MSG_DEFENSE_DESCEND, kIn, kNone, kNoPayload, FixedPayload(12)),
      ARENA_MESSAGE(MSG_DEFENSE_IDLE, kIn, kNone, kNoPayload, kEmptyPayload),
      ARENA_MESSAGE(MSG_DEFENSE_TARGET, kIn, kNone, kNoPayload, FixedPayload(4)),
      ARENA_MESSAGE(MSG_DEFENSE_MOVE, kOutIn, kTcp, FixedPayload(12), FixedPayload(12)),
      ARENA_MESSAGE(MSG_DEFENSE_ARRIVED, kOut, kTcp, FixedPayload(4), kNoPayload),
      ARENA_MESSAGE(MSG_DEFENSE_HIT, kOut, kTcp, FixedPayload(8), kNoPayload),
      ARENA_MESSAGE(MSG_DEFENSE_RELEASE, kIn, kNone, kNoPayload, kEmptyPayload),
      ARENA_MESSAGE(MSG_DEFENSE_MODULE, kOut, kTcp, FixedPayload(4), kNoPayload),
      ARENA_MESSAGE(MSG_DEFENSE_CALL, kOut, kTcp, FixedPayload(12), kNoPayload),
      ARENA_MESSAGE(MSG_DEFENSE_CARRY_RECON, kIn, kNone, kNoPayload, FixedPayload(4)),

      // 24 bytes to the game session, 12 to a flag's mailbox (put it down there).
      ARENA_MESSAGE(MSG_CREATE_FLAG, kIn, kNone, kNoPayload, EitherPayload(12, 24)),
      // Also 4 bytes locally between a flag and the own tank.
      ARENA_MESSAGE(MSG_FLAG_TAKEN, kOutIn | kLocal, kTcp, FixedPayload(4), FixedPayload(4)),
      ARENA_MESSAGE(MSG_FLAG_DROPPED, kOutIn, kTcp, FixedPayload(12), kUnlistedPayload),

      ARENA_MESSAGE(MSG_CREATE_MISSILE, kOutIn, kTcp, FixedPayload(28), FixedPayload(28)),
      ARENA_MESSAGE(MSG_MISSILE_STATE, kOutIn, kUdp, FixedPayload(40), kUnlistedPayload),

      ARENA_MESSAGE(MSG_CREATE_RECON, kIn, kNone, kNoPayload, FixedPayload(24)),
      ARENA_MESSAGE(MSG_RECON_CAPTURE, kIn, kNone, kNoPayload, FixedPayload(8)),
      ARENA_MESSAGE(MSG_RECON_TEAM, kIn, kNone, kNoPayload, FixedPayload(4)),
      ARENA_MESSAGE(MSG_CREATE_RECON_GUN, kIn, kNone, kNoPayload, FixedPayload(24)),
      ARENA_MESSAGE(MSG_RECON_GUN_DESTROY, kIn, kNone, kNoPayload, kEmptyPayload),
      ARENA_MESSAGE(MSG_RECON_GUN_HIT, kOut, kTcp, FixedPayload(8), kNoPayload),

      ARENA_MESSAGE(MSG_PLAY_SOUND, kIn, kNone, kNoPayload, FixedPayload(12)),
      ARENA_MESSAGE(MSG_COCKPIT_REFRESH, kLocal, kNone, kEmptyPayload, kNoPayload),
      ARENA_MESSAGE(MSG_INPUT_EVENT, kLocal, kNone, FixedPayload(48), kNoPayload),

      ARENA_MESSAGE(MSG_FILE_OFFER, kIn, kNone, kNoPayload, kAnyPayload),
      ARENA_MESSAGE(MSG_FILE_BLOCK, kIn, kNone, kNoPayload, kAnyPayload),
      ARENA_MESSAGE(MSG_FILE_RESEND, kIn, kNone, kNoPayload, kAnyPayload),
      ARENA_MESSAGE(MSG_FILE_DONE, kIn, kNone, kNoPayload, kAnyPayload),
      ARENA_MESSAGE(MSG_FILE_CANCEL, kIn, kNone, kNoPayload, kAnyPayload),
  };
}();

#undef ARENA_MESSAGE

namespace message_catalogue_detail {

// Each type once, in ascending order.
constexpr bool TypesAscend() {
  for (std::size_t i = 1; i < kMessageCatalogue.size(); ++i) {
    if (kMessageCatalogue[i - 1].type >= kMessageCatalogue[i].type) {
      return false;
    }
  }
  return true;
}

// Every name is a message constant's, and no two rows share one.
constexpr bool NamesAreUnique() {
  for (std::size_t i = 0; i < kMessageCatalogue.size(); ++i) {
    const std::string_view name = kMessageCatalogue[i].name;
    if (!name.starts_with("MSG_") && name != "GLOBAL_PARAMS_PASS") {
      return false;
    }
    for (std::size_t j = 0; j < i; ++j) {
      if (kMessageCatalogue[j].name == name) {
        return false;
      }
    }
  }
  return true;
}

// A message has a transport exactly when the client sends it to the server, a received size
// exactly when it comes from the server, and a sent size exactly when the client posts it.
constexpr bool SizesFollowDirections() {
  for (const MessageInfo& info : kMessageCatalogue) {
    const bool out = (info.directions & kMessageOut) != 0;
    const bool in = (info.directions & kMessageIn) != 0;
    const bool posted = (info.directions & (kMessageOut | kMessageLocal)) != 0;
    if ((info.transport != MessageTransport::kNone) != out ||
        (info.received.kind != PayloadSize::Kind::kNone) != in ||
        (info.sent.kind != PayloadSize::Kind::kNone) != posted) {
      return false;
    }
  }
  return true;
}

// The file-transfer family (0x09) is consumed by the network client, never sent.
constexpr bool FileTransferIsOnlyReceived() {
  for (const MessageInfo& info : kMessageCatalogue) {
    if (info.type >> 24 == 0x09 && info.directions != kMessageIn) {
      return false;
    }
  }
  return true;
}

}  // namespace message_catalogue_detail

static_assert(message_catalogue_detail::TypesAscend(),
              "FindMessageInfo searches the catalogue by halves: each type once, ascending");
static_assert(message_catalogue_detail::NamesAreUnique());
static_assert(message_catalogue_detail::SizesFollowDirections());
static_assert(message_catalogue_detail::FileTransferIsOnlyReceived());
// The fixed addresses belong to their kinds; the network client's is an instance, not the kind.
static_assert(kMissileAddressPhoenix >> 16 == KIND_MISSILE >> 16 &&
              kMissileAddressDeactivator >> 16 == KIND_MISSILE >> 16 &&
              kMissileAddressFlash >> 16 == KIND_MISSILE >> 16 &&
              kMissileAddressBatteryDrain >> 16 == KIND_MISSILE >> 16);
static_assert(kNetworkAddress >> 16 == KIND_NETWORK >> 16 && kNetworkAddress != KIND_NETWORK);

// The catalogue entry of a type, or null for a type the system does not know.
constexpr const MessageInfo* FindMessageInfo(std::uint32_t type) {
  const auto* entry = std::lower_bound(
      kMessageCatalogue.begin(), kMessageCatalogue.end(), type,
      [](const MessageInfo& info, std::uint32_t wanted) { return info.type < wanted; });
  if (entry == kMessageCatalogue.end() || entry->type != type) {
    return nullptr;
  }
  return entry;
}

// The fewest payload bytes that the receiver of a message from the server reads: the fixed size,
// or the smaller of two. Texts, record lists and payloads of any length are read within the
// bytes that came, and so are types the system does not know. Unlisted sizes are laid down by the
// arena objects' records; the arena issue adds each one to the catalogue with its object.
constexpr std::uint32_t MinimumReceivedPayload(std::uint32_t type) {
  const MessageInfo* info = FindMessageInfo(type);
  if (info == nullptr) {
    return 0;
  }
  switch (info->received.kind) {
    case PayloadSize::Kind::kFixed:
    case PayloadSize::Kind::kExact:
      return info->received.bytes;
    case PayloadSize::Kind::kEither:
      return std::min(info->received.bytes, info->received.alternate);
    default:
      return 0;
  }
}

// Whether the receiver of a message from the server rules on its length itself, so that the
// network client passes it on whatever its length.
constexpr bool IsSizeRuledByReceiver(std::uint32_t type) {
  const MessageInfo* info = FindMessageInfo(type);
  return info != nullptr && info->received.kind == PayloadSize::Kind::kExact;
}

// Whether the client sends this type to the server as a datagram rather than over TCP.
constexpr bool IsDatagramMessage(std::uint32_t type) {
  const MessageInfo* info = FindMessageInfo(type);
  return info != nullptr && info->transport == MessageTransport::kUdp;
}
