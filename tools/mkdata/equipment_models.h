// The arena objects' models in the equipment world ("equip.wld" of "Equip.r3x"), our own small
// designs as solid-filled 3D sprites in the demo palette's ramps: the five chassis' hulls and
// turrets in the four team colours (actions team + 4 x chassis), the barrel in each team colour,
// and the four shields of each chassis.
#pragma once

#include <string>

namespace mkdata {

// The definitions, as world-file text.
std::string MakeEquipmentModels();

}  // namespace mkdata
