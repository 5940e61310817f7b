#include "tools/testserver/tank_lines.h"

#include <cmath>

#include "base/byte_writer.h"
#include "common/messages.h"

namespace testserver {

namespace {

constexpr float kPi = 3.14159265f;

void WriteWire(arena::ByteWriter& writer, float value) {
  writer.U16(static_cast<std::uint16_t>(static_cast<std::int16_t>(value * 32.0f)));
}

// The 512-unit heading of a direction in the plane.
float HeadingOf(float dx, float dy) {
  float heading = std::atan2(dy, dx) * 256.0f / kPi;
  if (heading < 0.0f) {
    heading += 512.0f;
  }
  return heading;
}

std::vector<std::uint8_t> StateRecord(const float* at, float heading, const float* velocity) {
  arena::ByteWriter writer;
  for (int i = 0; i < 3; ++i) {
    WriteWire(writer, at[i]);
  }
  WriteWire(writer, heading);
  WriteWire(writer, 0.0f);
  WriteWire(writer, 0.0f);
  for (int i = 0; i < 3; ++i) {
    WriteWire(writer, velocity[i]);  // momentum of a tank of mass 1
  }
  for (int i = 0; i < 3 + 2; ++i) {
    WriteWire(writer, 0.0f);  // angular momentum, drive and turn
  }
  for (int i = 0; i < 8; ++i) {
    writer.U8(0);  // at rest, turret and barrel targets, shields, armor, crits, rockets, spare
  }
  return writer.bytes();
}

}  // namespace

namespace {

// The 48-byte tank record (place and heading in 1/32 units) and the name.
std::vector<std::uint8_t> TankRecord(std::uint32_t id, std::uint32_t chassis, std::uint32_t team,
                                     const std::string& name, const float* place, float heading) {
  arena::ByteWriter writer;
  for (int i = 0; i < 3; ++i) {
    WriteWire(writer, place[i]);
  }
  WriteWire(writer, heading);
  writer.Zeros(2 * 2 + 12 + 12);  // pitch, roll, momenta, the unread words
  writer.U32(chassis);
  writer.U32(team);
  writer.U32(id);
  for (const char c : name) {
    writer.U8(static_cast<std::uint8_t>(c));
  }
  writer.U8(0);
  return writer.bytes();
}

}  // namespace

Action MakeTankCreate(std::uint32_t id, std::uint32_t chassis, std::uint32_t team,
                      const std::string& name, const float* place, float heading) {
  return MakeTcpMessage(kSessionAddress, MSG_CREATE_TANK,
                        TankRecord(id, chassis, team, name, place, heading));
}

Action MakePlayerTankCreate(std::uint32_t id, std::uint32_t chassis, std::uint32_t team,
                            const std::string& name, const float* place, float heading) {
  return MakeTcpMessage(kSessionAddress, MSG_CREATE_PLAYER_TANK,
                        TankRecord(id, chassis, team, name, place, heading));
}

std::vector<TankDriveStep> MakeTankDrive(std::uint32_t id, const std::vector<float>& path,
                                         float rate, float speed) {
  std::vector<TankDriveStep> steps;
  double legStart = 0.0;   // seconds from the drive's start to the leg's first point
  std::uint32_t next = 0;  // the next state's number; state n is due at n / rate seconds
  for (std::size_t leg = 0; leg + 5 < path.size(); leg += 3) {
    const float* from = &path[leg];
    const float* to = &path[leg + 3];
    const float d[3] = {to[0] - from[0], to[1] - from[1], to[2] - from[2]};
    const double duration = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]) / speed;
    const float velocity[3] = {static_cast<float>(d[0] / duration),
                               static_cast<float>(d[1] / duration),
                               static_cast<float>(d[2] / duration)};
    const float heading = HeadingOf(d[0], d[1]);
    for (;; ++next) {
      const double t = next / static_cast<double>(rate);
      const double s = (t - legStart) / duration;
      if (s >= 1.0 - 1e-9) {
        break;
      }
      const float at[3] = {static_cast<float>(from[0] + s * d[0]),
                           static_cast<float>(from[1] + s * d[1]),
                           static_cast<float>(from[2] + s * d[2])};
      steps.push_back({static_cast<std::uint32_t>(std::lround(t * 1000.0)),
                       MakeDatagram(id, MSG_TANK_STATE, StateRecord(at, heading, velocity))});
    }
    legStart += duration;
  }
  if (path.size() >= 6) {
    const float* last = &path[path.size() - 3];
    const float* before = &path[path.size() - 6];
    const float still[3] = {0.0f, 0.0f, 0.0f};
    const float heading = HeadingOf(last[0] - before[0], last[1] - before[1]);
    steps.push_back({static_cast<std::uint32_t>(std::lround(next * 1000.0 / rate)),
                     MakeDatagram(id, MSG_TANK_STATE, StateRecord(last, heading, still))});
  }
  return steps;
}

Action MakeTankFire(std::uint32_t id, const float* muzzle, std::uint32_t word) {
  arena::ByteWriter writer;
  for (int i = 0; i < 5; ++i) {
    writer.F32(muzzle[i]);
  }
  writer.U32(word);
  return MakeDatagram(id, MSG_TANK_FIRE, writer.bytes());
}

Action MakeTankRemove(std::uint32_t id) {
  arena::ByteWriter writer;
  writer.U32(id);
  return MakeTcpMessage(kSessionAddress, MSG_REMOVE_TANK, writer.bytes());
}

}  // namespace testserver
