// The player's chat macros: eight texts from "macro.dat", one line each, that a key types into
// the open chat line.
#pragma once

#include <array>
#include <cstddef>
#include <string>

inline constexpr std::size_t kChatMacroCount = 8;
// The longest macro; a longer line goes on into the next macro.
inline constexpr std::size_t kChatMacroLength = 64;

using ChatMacros = std::array<std::string, kChatMacroCount>;

// Up to eight lines of the file; a missing file leaves every macro empty, a short one the
// macros after its last line. Line ends (LF or CR LF) are not part of a macro.
ChatMacros LoadChatMacros(const char* fileName);
