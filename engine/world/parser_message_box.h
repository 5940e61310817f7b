// How the world-file parser shows its messages.
// Results: PAR_MESSAGE_SHOWN, always.
#pragma once

#include <cstdint>

inline constexpr std::int32_t PAR_MESSAGE_SHOWN = 1;

// Shows the text in a message box titled "World File Parser" with the error icon. Returns
// PAR_MESSAGE_SHOWN.
std::int32_t parMessageBox(std::uintptr_t unused, const char* text);
