// How the world-file parser shows its messages.
#pragma once

#include <cstdint>

// Shows the text in a message box titled "World File Parser" with the error icon. Returns 1.
std::int32_t parMessageBox(std::uintptr_t unused, const char* text);
