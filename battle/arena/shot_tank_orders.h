// Between the shots and the tanks: what a tank tells a bullet or missile that reached it, and how
// it carries out the shot's orders (its hit report, its rigid body's pushes).
#pragma once

#include "battle/arena/bullet.h"

class CTank;

// Whether the actor is a tank's small collision body: the one part of a tank that shots meet.
bool IsTanksSmallBody(const R3xActor* actor);

// The tank's answers for a shot at `point` whose splash or blast reaches `radius` (0: the direct
// hit alone).
ShotTankFacts TankFactsForShot(const CTank& tank, const float* point, float radius);
// The direct hit's orders; true when the tank was pushed.
bool CarryOutShotOrders(CTank& tank, const ShotTankOrders& orders);
void CarryOutSplashOrders(CTank& tank, const SplashOrders& orders);
// A shot that reports its hits reached the actor: a defense object or recon gun owning it reports
// the damage; any other owner does nothing.
void ReportShotOnTeamObject(R3xActor* touched, std::uint32_t damage);
