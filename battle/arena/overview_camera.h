// Where the camera looks before the player's tank exists: the tank places it every frame once
// the server has created it, and until then the arena is shown from an overview. A stand-in of
// our own (the original's world start places no camera); the tank's camera takes over.
#pragma once

struct R3xCamera;
struct R3xWorld;

// Places the camera level in the middle of the world's first region, facing the middle of all
// its regions. False (the camera left as it was) for a world without regions.
bool PlaceOverviewCamera(R3xWorld* world, R3xCamera* camera);
