// The two render-quality presets: the render methods behind the render context's indirect entries
// 0x80000000 to 0x8000000A, with dynamic lighting on in both.
#pragma once

#include <array>
#include <cstdint>

#include "engine/r3x_core.h"

inline constexpr std::uint32_t kQualityEntryCount = 11;

// Preset 0 (the world start's) and preset 1, entry by entry.
inline constexpr std::array<std::array<R3xRenderMethod, kQualityEntryCount>, 2> kRenderQuality{{
    {0, 0x553, 0x53, 0x53, 0x53, 0x53, 0x553, 0x553, 0x553, 0x553, 0x507},
    {6, 6, 6, 6, 6, 7, 6, 6, 6, 6, 6},
}};

// Sets the preset's methods and turns dynamic lighting on; a preset other than 1 is preset 0.
// No context: nothing.
void ApplyRenderQuality(R3xRenderContext* context, std::int32_t preset);
