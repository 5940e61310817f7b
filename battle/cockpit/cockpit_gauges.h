// The gauges' arithmetic: which frame of a strip a value shows and which rows or columns of a
// bar are lit. Values outside their ranges are kept on their strips.
#pragma once

#include <string>
#include <utility>

class CPanel;

// The armor picture's column: 0 above 75 % of the maximum, 1 to 3 below, 4 at 0.
int ArmorFrame(int armor, int maximum);
// The turret picture's row: 0 up to 20 % of the maximum, one more each 20 %, 4 above 80 %.
int CritsRow(int crits, int maximum);
// The turret picture's column of twelve for the turret's swivel (512 units a turn).
int SwivelColumn(float swivel);
// A shield strip's frame for a level 0 to 5: level 5 is the first.
int ShieldFrame(int level);
// The throttle gauge's lit rows [first, last) of a gauge `height` rows high: up from the middle
// forwards, down backwards, a two-row mark at 0.
std::pair<int, int> ThrottleRows(int throttle, int height);
// The flow gauge's lit columns [first, last) of a gauge `width` columns wide.
std::pair<int, int> FlowColumns(int flow, int width);
// The target's range and bounty as the target box shows them.
std::string FormatTargetFigures(int range, int bounty);
// Shrinks the rocket bar toward its bottom edge with the fuel left; a maximum of 0 or less, or no
// fuel, leaves it.
void UpdateRocketBar(CPanel& bar, int fullHeight, float fuel, float fuelMaximum);
