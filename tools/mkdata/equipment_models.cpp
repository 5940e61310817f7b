#include "tools/mkdata/equipment_models.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace mkdata {

namespace {

// The demo palette's ramps: 29 shades each from index 10, dark to light.
constexpr int kRampStart = 10;
constexpr int kRampLength = 29;
enum Ramp : int { kGrey = 0, kGrass = 1, kWater = 3, kFire = 4, kGlare = 6, kMetal = 7 };
// The teams' colours: red, green, blue, gray.
constexpr Ramp kTeamRamps[4] = {kFire, kGrass, kWater, kMetal};

constexpr int kChassisCount = 5;
constexpr int kTeamCount = 4;

struct Point {
  double x;
  double y;
  double z;
};

// A convex solid: its vertices and faces (vertex indices counterclockwise seen from outside).
struct Solid {
  std::vector<Point> vertices;
  std::vector<std::vector<int>> faces;
};

// A convex side profile in x (forward) and z (up), counterclockwise with x to the right and z
// up, extruded from y = -half to +half.
Solid Extrude(const std::vector<std::array<double, 2>>& profile, double half) {
  Solid solid;
  const int n = static_cast<int>(profile.size());
  for (const auto& p : profile) {
    solid.vertices.push_back({p[0], half, p[1]});
  }
  for (const auto& p : profile) {
    solid.vertices.push_back({p[0], -half, p[1]});
  }
  std::vector<int> left;  // the +y side
  std::vector<int> right;
  for (int i = 0; i < n; ++i) {
    left.push_back(n - 1 - i);
    right.push_back(n + i);
  }
  solid.faces.push_back(left);
  solid.faces.push_back(right);
  for (int i = 0; i < n; ++i) {
    const int j = (i + 1) % n;
    solid.faces.push_back({i, j, n + j, n + i});
  }
  return solid;
}

Point Sub(const Point& a, const Point& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Point Cross(const Point& a, const Point& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", std::fabs(value) < 5e-4 ? 0.0 : value);
  return text;
}

// A 3D sprite definition: the solid's faces in one chain, each filled with its ramp's shade by
// how much it faces up and forward.
std::string SpriteText(const std::string& tag, const Solid& solid, Ramp ramp, double light) {
  std::string text = "3DSPRITEDEF 3DSPRITETAG " + tag + " NUMVERTICES " +
                     std::to_string(solid.vertices.size()) + "\n";
  double radius = 0.0;
  for (const Point& v : solid.vertices) {
    text += "  XYZ " + Number(v.x) + " " + Number(v.y) + " " + Number(v.z) + "\n";
    radius = std::max(radius, std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z));
  }
  const int faces = static_cast<int>(solid.faces.size());
  text += "  NUMBSPNODES " + std::to_string(faces) + "\n";
  for (int f = 0; f < faces; ++f) {
    const std::vector<int>& face = solid.faces[f];
    const Point& a = solid.vertices[face[0]];
    Point n = Cross(Sub(solid.vertices[face[1]], a), Sub(solid.vertices[face[2]], a));
    const double length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    n = {n.x / length, n.y / length, n.z / length};
    const double d = -(n.x * a.x + n.y * a.y + n.z * a.z);
    const double shade = std::clamp(light + 0.3 * n.z + 0.1 * n.x - 0.05 * n.y, 0.0, 1.0);
    const int pen =
        kRampStart + ramp * kRampLength + static_cast<int>(std::lround(shade * (kRampLength - 1)));
    text += "  BSPNODE " + std::to_string(f + 1) + " NORMALABCD " + Number(n.x) + " " +
            Number(n.y) + " " + Number(n.z) + " " + Number(d) + " NUMVERTICES " +
            std::to_string(face.size()) + " VERTEXLIST";
    for (int index : face) {
      text += " " + std::to_string(index + 1);
    }
    text += "\n    RENDERMETHOD SOLIDFILLCONSTANT RENDERINFO PEN " + std::to_string(pen) +
            " BRIGHTNESS 1.0 ENDRENDERINFO FRONTTREE " + std::to_string(f + 1 < faces ? f + 2 : 0) +
            " BACKTREE 0 ENDBSPNODE " + std::to_string(f + 1) + "\n";
  }
  text += "  SPHERE " + Number(radius * 0.8) + " BOUNDINGRADIUS " + Number(radius) +
          " END3DSPRITEDEF\n";
  return text;
}

// An actor definition whose action i shows sprite parts[i].
std::string ActorText(const std::string& tag, const std::vector<std::string>& parts) {
  std::string text =
      "ACTORDEF ACTORTAG " + tag + " NUMACTIONS " + std::to_string(parts.size()) + "\n";
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const std::string n = std::to_string(i + 1);
    text += "  ACTION " + n + " NUMLEVELSOFDETAIL 1 LEVELOFDETAIL 1 3DSPRITE " + parts[i] +
            " DISTANCE 3000.0 ENDLEVELOFDETAIL 1 ENDACTION " + n + "\n";
  }
  return text + "ENDACTORDEF\n";
}

// The five hulls, each its own outline seen from the side (x forward, z up, the hull's origin on
// the ground under the turret mount's line) and width: a long low wedge, a tall box with a
// sloped front, a rounded hexagon, a flat diamond for the stealthy chassis, a heavy chamfered
// block.
struct Chassis {
  std::vector<std::array<double, 2>> hull;
  double hullHalfWidth;
  std::vector<std::array<double, 2>> turret;
  double turretHalfWidth;
  double barrelLength;
};

const std::array<Chassis, kChassisCount>& ChassisShapes() {
  static const std::array<Chassis, kChassisCount> shapes{{
      {{{-4.2, 0.2}, {3.0, 0.2}, {4.6, 1.2}, {3.6, 2.0}, {-4.2, 2.2}},
       2.2,
       {{-1.6, 0.0}, {1.4, 0.0}, {1.0, 0.9}, {-1.4, 0.9}},
       1.3,
       5.5},
      {{{-3.6, 0.1}, {3.0, 0.1}, {3.8, 1.4}, {2.6, 2.4}, {-3.6, 2.4}},
       1.9,
       {{-1.4, -0.6}, {1.6, -0.6}, {1.2, 0.8}, {-1.2, 0.8}},
       1.4,
       4.5},
      {{{-2.6, 0.3}, {-1.6, 0.0}, {1.6, 0.0}, {3.0, 0.6}, {1.8, 1.6}, {-2.4, 1.6}},
       1.7,
       {{-1.2, -0.5}, {1.0, -0.5}, {1.4, 0.1}, {0.8, 0.6}, {-1.0, 0.6}},
       1.2,
       4.0},
      {{{-2.4, 0.3}, {0.0, 0.0}, {3.0, 0.5}, {0.0, 1.1}, {-2.4, 0.9}},
       1.6,
       {{-0.9, -0.3}, {0.9, -0.3}, {0.6, 0.3}, {-0.7, 0.3}},
       0.9,
       4.0},
      {{{-3.4, 0.4}, {-3.0, 0.0}, {3.0, 0.0}, {3.6, 0.6}, {3.0, 2.2}, {-3.0, 2.6}, {-3.4, 2.2}},
       2.2,
       {{-1.8, -0.7}, {1.6, -0.7}, {1.8, 0.4}, {1.0, 1.0}, {-1.6, 1.0}},
       1.6,
       6.0},
  }};
  return shapes;
}

// A box from the origin's floor: x and y centred, z from 0 to height.
Solid Box(double length, double width, double height) {
  const double x = length / 2;
  return Extrude({{-x, 0.0}, {x, 0.0}, {x, height}, {-x, height}}, width / 2);
}

// A 2D sprite definition of one picture of the equipment pack, size units wide and high.
std::string CardText(const std::string& tag, const std::string& picture, double size) {
  return "2DSPRITEDEF 2DSPRITETAG " + tag + " NUMFRAMES 1 SPRITESIZE " + Number(size) + " " +
         Number(size) + " NUMPITCHES 1\n  PITCH 1 PITCHCAP 512 NUMHEADINGS 1 HEADING 1 " +
         "HEADINGCAP 512 FRAME \"" + picture + "\" " + tag + "_bmp ENDHEADING 1 ENDPITCH 1\n" +
         "  RENDERMETHOD TRANSTEXTURE1CONSTANT RENDERINFO BRIGHTNESS 1.0 ENDRENDERINFO SPHERE " +
         Number(size / 2) + "\n  END2DSPRITEDEF\n";
}

// An actor definition whose action i shows parts[i], each a 2D or 3D sprite.
std::string MixedActorText(const std::string& tag,
                           const std::vector<std::pair<std::string, bool>>& parts) {
  std::string text =
      "ACTORDEF ACTORTAG " + tag + " NUMACTIONS " + std::to_string(parts.size()) + "\n";
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const std::string n = std::to_string(i + 1);
    text += "  ACTION " + n + " NUMLEVELSOFDETAIL 1 LEVELOFDETAIL 1 " +
            (parts[i].second ? "2DSPRITE " : "3DSPRITE ") + parts[i].first +
            " DISTANCE 3000.0 ENDLEVELOFDETAIL 1 ENDACTION " + n + "\n";
  }
  return text + "ENDACTORDEF\n";
}

// The other arena objects: shots and their flashes, smoke, explosions and flares as 2D sprites;
// recon drones and guns, flags, mines, missiles and drones as small solids in team colours by
// action.
std::string OtherObjectModels() {
  std::string text;
  text += CardText("shot_2d", "bolt.bmp", 0.8);
  text += CardText("plasma_2d", "glow.bmp", 1.2);
  text += CardText("smoke_2d", "puff.bmp", 3.0);
  text += CardText("blast_2d", "glow.bmp", 6.0);
  text += CardText("flare_2d", "bolt.bmp", 2.0);
  text += CardText("marker_2d", "bolt.bmp", 1.0);
  std::vector<std::pair<std::string, bool>> bullets;
  for (int action = 0; action < 24; ++action) {
    bullets.push_back({action == 20 || action == 22 ? "plasma_2d" : "shot_2d", true});
  }
  text += MixedActorText("BULLETS_ACTORDEF", bullets);
  text += MixedActorText("SMOKE_DEF",
                         std::vector<std::pair<std::string, bool>>(16, {"smoke_2d", true}));
  text += MixedActorText("EXPLODE_DEF",
                         std::vector<std::pair<std::string, bool>>(43, {"blast_2d", true}));
  text += MixedActorText("FLARE_DEF", {{"flare_2d", true}});
  text += MixedActorText("EXFLARE_DEF", {{"flare_2d", true}});
  text += MixedActorText("TARGET_POINTER_DEF", {{"marker_2d", true}});
  // Solids by team: recon (a mast with a head), recon gun, flag, the two mines, drone.
  struct Kind {
    const char* tag;
    const char* sprite;
    int actions;
    Solid shape;
  };
  const Kind kinds[] = {
      {"RECON_DEF", "recon", 16, Extrude({{-0.6, 0.0}, {0.6, 0.0}, {0.9, 2.5}, {-0.9, 2.5}}, 0.6)},
      {"RECONGUN_DEF", "recongun", 20,
       Extrude({{-1.0, 0.0}, {1.0, 0.0}, {1.4, 1.0}, {0.0, 1.6}, {-1.0, 1.0}}, 0.8)},
      {"FLAG_DEF", "flag", 4, Extrude({{0.0, 0.0}, {0.3, 0.0}, {2.4, 5.0}, {0.0, 6.0}}, 0.1)},
      {"MINE_PRX_ACTORDEF", "mineprx", 4,
       Extrude({{-0.8, 0.0}, {0.8, 0.0}, {1.0, 0.3}, {0.0, 0.6}, {-1.0, 0.3}}, 0.8)},
      {"MINE_DEC_ACTORDEF", "minedec", 4, Box(1.4, 1.4, 0.4)},
      {"DRONE_DEF", "drone", 12,
       Extrude({{-1.5, 0.0}, {1.0, 0.0}, {2.0, 0.5}, {1.0, 1.0}, {-1.5, 0.8}}, 1.0)},
  };
  for (const Kind& kind : kinds) {
    for (int team = 0; team < kTeamCount; ++team) {
      text += SpriteText(std::string(kind.sprite) + "_" + std::to_string(team), kind.shape,
                         kTeamRamps[team], 0.5);
    }
    std::vector<std::string> parts;
    for (int action = 0; action < kind.actions; ++action) {
      parts.push_back(std::string(kind.sprite) + "_" + std::to_string(action % kTeamCount));
    }
    text += ActorText(kind.tag, parts);
  }
  text += SpriteText("missile",
                     Extrude({{-1.2, -0.2}, {1.0, -0.2}, {1.5, 0.0}, {1.0, 0.2}, {-1.2, 0.2}}, 0.2),
                     kGrey, 0.7);
  text += ActorText("MISSILE_ACTORDEF", {"missile"});
  text += SpriteText("bag", Box(1.0, 1.0, 0.8), kMetal, 0.4);
  text += ActorText("DIPARBAG_DEF", {"bag"});
  return text;
}

}  // namespace

std::string MakeEquipmentModels() {
  std::string text;
  std::vector<std::string> bodies;
  std::vector<std::string> turrets;
  for (int c = 0; c < kChassisCount; ++c) {
    const Chassis& shape = ChassisShapes()[c];
    for (int team = 0; team < kTeamCount; ++team) {
      const std::string suffix = std::to_string(c) + "_" + std::to_string(team);
      text += SpriteText("hull_" + suffix, Extrude(shape.hull, shape.hullHalfWidth),
                         kTeamRamps[team], 0.45);
      text += SpriteText("turret_" + suffix, Extrude(shape.turret, shape.turretHalfWidth),
                         kTeamRamps[team], 0.6);
      bodies.push_back("hull_" + suffix);
      turrets.push_back("turret_" + suffix);
    }
  }
  // The barrel, one per team: a square rod forward from the mount.
  std::vector<std::string> barrels;
  for (int team = 0; team < kTeamCount; ++team) {
    const std::string tag = "barrel_" + std::to_string(team);
    text += SpriteText(tag, Extrude({{0.0, -0.18}, {5.0, -0.18}, {5.0, 0.18}, {0.0, 0.18}}, 0.18),
                       kTeamRamps[team], 0.3);
    barrels.push_back(tag);
  }
  text += ActorText("TANK_ACTORDEF", bodies);
  text += ActorText("TURRET_ACTORDEF", turrets);
  text += ActorText("BARRELL_ACTORDEF", barrels);
  // The shields, one shape per chassis: thin plates before and behind the hull, a cap over the
  // turret and a sleeve along the barrel.
  struct Shield {
    const char* tag;
    const char* sprite;
  };
  const Shield shields[] = {{"FSHIELD_ACTORDEF", "fshield"},
                            {"RSHIELD_ACTORDEF", "rshield"},
                            {"BSHIELD_ACTORDEF", "bshield"},
                            {"TSHIELD_ACTORDEF", "tshield"}};
  for (const Shield& shield : shields) {
    std::vector<std::string> parts;
    for (int c = 0; c < kChassisCount; ++c) {
      const Chassis& shape = ChassisShapes()[c];
      const std::string tag = std::string(shield.sprite) + "_" + std::to_string(c);
      const double front = shape.hull[2][0] + 0.8;
      const double back = shape.hull[0][0] - 0.8;
      const double w = shape.hullHalfWidth + 0.4;
      Solid solid;
      if (shield.sprite[0] == 'f') {
        solid = Extrude({{front, 0.0}, {front + 0.3, 0.0}, {front + 0.3, 2.6}, {front, 2.6}}, w);
      } else if (shield.sprite[0] == 'r') {
        solid = Extrude({{back - 0.3, 0.0}, {back, 0.0}, {back, 2.6}, {back - 0.3, 2.6}}, w);
      } else if (shield.sprite[0] == 'b') {
        solid = Extrude(
            {{0.0, -0.4}, {shape.barrelLength, -0.4}, {shape.barrelLength, 0.4}, {0.0, 0.4}}, 0.4);
      } else {
        solid = Extrude({{-2.2, 1.0}, {2.2, 1.0}, {1.6, 1.6}, {-1.6, 1.6}},
                        shape.turretHalfWidth + 0.4);
      }
      text += SpriteText(tag, solid, kGlare, 0.7);
      parts.push_back(tag);
    }
    text += ActorText(shield.tag, parts);
  }
  return text + OtherObjectModels();
}

}  // namespace mkdata
