#include "battle/arena/shot_tank_orders.h"

#include "battle/arena/actor_owner.h"
#include "battle/arena/defense_tower.h"
#include "battle/arena/recon_gun.h"
#include "battle/arena/tank.h"
#include "common/messages.h"

namespace {

template <typename Orders>
void ReportWhenOrdered(CTank& tank, const Orders& orders) {
  if (orders.report) {
    tank.ReportHit(static_cast<std::uint32_t>(orders.damage), orders.owner,
                   static_cast<std::uint32_t>(orders.side),
                   static_cast<std::uint32_t>(orders.modelCode));
  }
}

}  // namespace

bool IsTanksSmallBody(const R3xActor* actor) {
  const CTank* tank = CTank::FromActor(actor);
  return tank != nullptr && actor == tank->smallCollisionActor;
}

ShotTankFacts TankFactsForShot(const CTank& tank, const float* point, float radius) {
  ShotTankFacts facts;
  facts.isLocal = tank.isLocal != 0;
  // With CPlayerTank: designOpen = the local tank's design screen is open.
  facts.shieldBits = tank.shieldBits;
  facts.side = static_cast<std::int32_t>(tank.GetHitSide(point, radius));
  return facts;
}

bool CarryOutShotOrders(CTank& tank, const ShotTankOrders& orders) {
  ReportWhenOrdered(tank, orders);
  if (orders.push) {
    tank.AddVelocity(orders.velocity[0], orders.velocity[1], orders.velocity[2]);
  }
  return orders.push;
}

void CarryOutSplashOrders(CTank& tank, const SplashOrders& orders) {
  ReportWhenOrdered(tank, orders);
  if (orders.push) {
    tank.AddVelocity(orders.velocity[0], orders.velocity[1], orders.velocity[2]);
    tank.AddAngularVelocity(orders.angularVelocity[0], orders.angularVelocity[1],
                            orders.angularVelocity[2]);
  }
}

void ReportShotOnTeamObject(R3xActor* touched, std::uint32_t damage) {
  switch (ActorOwnerKind(touched)) {
    case KIND_PERSONAL_DEFENSE:
    case KIND_DEFENSE:
      if (auto* tower = ActorOwnerAs<CDefenseTower>(touched); tower != nullptr) {
        tower->ReportHit(damage);
      }
      break;
    case KIND_RECON_GUN:
      if (auto* gun = ActorOwnerAs<CReconGun>(touched); gun != nullptr) {
        gun->ReportHit(damage);
      }
      break;
    default:
      break;
  }
}
