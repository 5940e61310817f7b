// The design screen's gauges: each shows a window of its bitmap, chosen by the vehicle's figures.
#pragma once

// The battery gauge's window: its bitmap holds the full gauge and the empty one side by side, so
// the window's left edge runs from 0 (full) to the width (empty). An empty window for a battery
// size of 0 or less, and never a window outside the bitmap.
int BatteryGaugeLeft(int width, int charge, int size);
// The armor and turret pictures' window: frame 0 for 76 to 100 percent of the maximum, 1 for 51
// to 75, 2 for 26 to 50, 3 for 1 to 25 and 4 for nothing left (also for a maximum of 0 or less);
// frames stay within 0 to 4. Returns the frame's left edge.
int DamagePictureLeft(int width, int points, int maximum);
