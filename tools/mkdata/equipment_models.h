// The arena objects' models in the equipment world ("equip.wld" of "Equip.r3x"), our own small
// designs as solid-filled 3D sprites in the demo palette's ramps: the five chassis' hulls and
// turrets in the four team colours (actions team + 4 x chassis), the barrel in each team colour,
// the four shields of each chassis, and every other object the model table names: shots, smoke,
// explosions and flares as 2D sprites of the pack's "glow.bmp", "puff.bmp" and "bolt.bmp";
// recons, recon guns, flags, mines, missiles, drones as small solids in team colours.
#pragma once

#include <string>

namespace mkdata {

// The definitions, as world-file text.
std::string MakeEquipmentModels();

}  // namespace mkdata
