// A polygon that each of the six planes of the view volume (sides x, y = ±z, near 1, far 100)
// cuts one corner off, so that clipping adds one vertex a plane.
#pragma once

#include <array>
#include <cmath>
#include <vector>

// `corners` corners (24 or more) in clip space on a ring of radius 2 at depth 5, inside the
// volume but for six: one each past the right, top, left and bottom sides (radius 8), one in
// front of the near plane and one beyond the far plane. Every edge from an outside corner runs
// to a corner inside all planes, so each plane takes one corner and gives back two.
inline std::vector<std::array<float, 3>> CornersPastEveryPlane(int corners) {
  std::vector<std::array<float, 3>> ring;
  const auto at = [corners](int eighths) { return (corners * eighths + 4) / 8; };
  const float step = 6.2831853f / static_cast<float>(corners);
  for (int k = 0; k < corners; ++k) {
    float radius = 2.0f;
    float depth = 5.0f;
    if (k == at(0) || k == at(2) || k == at(4) || k == at(6)) {
      radius = 8.0f;
    } else if (k == at(1)) {
      radius = 0.3f;
      depth = 0.5f;
    } else if (k == at(5)) {
      depth = 150.0f;
    }
    const float angle = step * static_cast<float>(k);
    ring.push_back({radius * std::cos(angle), radius * std::sin(angle), depth});
  }
  return ring;
}
