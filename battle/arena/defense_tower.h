// CDefenseTower: a flying defense turret, a team's (KIND_DEFENSE) or a vehicle's own
// (KIND_PERSONAL_DEFENSE). The server drives it with messages (a target, a point to fly to, a
// raise over a vehicle, a recon drone to carry, destruction and reappearance); between them it
// animates, flies in three phases (climb, level flight, descent to hover height), tracks and
// fires at its target and hums. It fires and hums only on clients whose own tank is within the
// view distance of it.
#pragma once

#include <cstdint>
#include <span>

#include "battle/arena/motion_model.h"
#include "common/mailbox.h"
#include "engine/r3x_core.h"

class CExplosion;
class CGameSession;

class CDefenseTower : public CMailbox {
 public:
  enum State : std::int32_t {
    kIdle = 0,
    kTracking = 1,
    kFlying = 2,
    kRaising = 3,
    kCarrying = 4,  // arrived with a recon drone: sparks to the ground
    kSinking = 5,
    kSunk = 6,
  };
  enum Phase : std::int32_t { kClimb = 0, kLevel = 1, kDescent = 2 };

  // From the record {address, colour 0-3, -, -, x, y}: listed only for a colour 0 to 3 with the
  // "DRONE_DEF" model and an actor made under the ceiling; it then descends to hover height.
  CDefenseTower(std::uint32_t address, std::int32_t colour, float x, float y);
  ~CDefenseTower() override;

  bool IsListed() const { return motion_.listLink.GetNode() != nullptr; }
  void Update();
  // Tells the server of a hit on the tower.
  void ReportHit(std::uint32_t damage);
  // Points the camera (gCameraFollow) at the tower's flight; the tower's end lets it go.
  void SetCameraFollow();

  std::int32_t GetState() const { return state_; }
  std::int32_t GetPhase() const { return phase_; }
  std::int32_t ViewNumber() const { return viewNumber_; }
  std::int32_t Frame() const { return frame_; }
  std::uint32_t Target() const { return target_; }
  bool IsNear() const { return near_ != 0; }
  bool IsCarrying() const { return carrying_ != 0; }
  bool IsBeamOn() const { return beamOn_ != 0; }
  CExplosion* BeamExplosion(int i) const { return beamExplosions_[i]; }
  const R3xPlacement& Pose() const { return pose_; }
  const R3xPlacement& Destination() const { return destination_; }
  R3xActor* Actor() const { return actor_; }

 private:
  void Animate();
  void HandleMessages();
  // MSG_DEFENSE_MOVE and MSG_RAISE: climb to the cruising height toward the point.
  void StartMove(const float* point);
  void StartDescent(const float* point);
  void Release();
  void ReleaseRecon();
  void StopBeam();
  // Beam explosions that fell below the beam's end start again at the tower.
  void ReturnFallenBeam();
  // The state's step; true when the update ends with it (sunk, or sunk just now).
  bool RunState();
  // Over (x, y): descend to hover height.
  void Place(float x, float y);
  void Fly();
  void Climb();
  void FlyLevel();
  void Descend();
  void Arrive();
  void Track(float range);
  void Fire(const R3xPlacement& aim);
  void Sink();
  void StartRaiseBeam();
  void PlayHum();
  void EmitCarrySparks();
  // Sets the motion model's pose to the tower's, its clock to now and its speeds.
  void Launch(float speed);
  void PlaceActor();
  void UpdateGround();
  void ShowActor();

  CMotionModel motion_;
  std::int32_t state_ = kFlying;
  std::uint32_t nextFrameTime_ = 0;
  std::int32_t frame_ = 0;
  std::int32_t firstFrame_ = 0;
  std::int32_t lastFrame_ = 0;
  std::uint32_t personal_ = 0;
  std::int32_t viewNumber_ = 0;
  std::int32_t colour_ = 0;
  std::int32_t phase_ = kDescent;
  std::uint32_t sunk_ = 0;
  std::uint32_t descending_ = 0;
  std::uint32_t near_ = 0;
  std::uint32_t carrying_ = 0;
  std::uint32_t nextTrackTime_ = 0;
  float ground_ = 0.0f;
  R3xActor* actor_ = nullptr;
  R3xVolume* savedVolume_ = nullptr;
  std::uint32_t target_ = 0;
  std::uint32_t raising_ = 0;
  std::uint32_t beamOn_ = 0;
  // The two beam explosions that StartRaiseBeam spawns; none until then. The explosion pool owns
  // them.
  CExplosion* beamExplosions_[2] = {};
  R3xPlacement pose_{};
  R3xPlacement destination_{};
  std::uint32_t carriedRecon_ = 0;
};

// The tower list: listed towers in creation order.
extern LinkNode* gTowerList;

// The listed tower with this address, or null.
CDefenseTower* FindTower(std::uint32_t address);
// The session's MSG_CREATE_DEFENSE. A tower that cannot be listed is deleted at once with its
// mailbox. The row's form takes the session.
void CreateTower(std::span<const std::uint8_t> payload);
void CreateTower(CGameSession& session, std::span<const std::uint8_t> payload);
void UpdateAllTowers();
void UpdateAllTowers(CGameSession& session);
void DeleteAllTowers();
void DeleteAllTowers(CGameSession& session);
