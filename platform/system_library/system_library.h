// The layer's own system libraries: "DDraw.dll", "DSound.dll", "DInput.dll", "wsock32.dll" and
// "ICMP.DLL" are no files but parts of this library. LoadLibraryA finds one by name (ignoring
// letter case) when no module file of that name is found; its path reads as if it lay beside the
// platform library; GetProcAddress finds its functions in its symbol list, and its path has a
// version resource.
#pragma once

#include <array>
#include <span>
#include <string>
#include <vector>

#include "platform/kernel/module.h"
#include "platform/kernel/types.h"

namespace platform {

struct SystemLibrarySymbol {
  const char* name;
  FARPROC address;
};

struct SystemLibrary {
  const char* name;
  // Most significant part first; all 0 for a library without a version resource.
  std::array<WORD, 4> fileVersion;
  std::span<const SystemLibrarySymbol> symbols;
};

// The layer's own list.
std::vector<SystemLibrary> DefaultSystemLibraries();
// Replaces the list that LoadLibraryA serves (tests); returns the previous one.
std::vector<SystemLibrary> ReplaceSystemLibraries(std::vector<SystemLibrary> libraries);

// The library of that name (letter case ignored), if the list holds one.
bool FindSystemLibrary(const char* name, SystemLibrary& library);
// The path that GetModuleFileNameA gives for a system library of that name.
std::string SystemLibraryPath(const char* name);
// The system library whose path that is, if any.
bool FindSystemLibraryByPath(const char* path, SystemLibrary& library);

// Installs a list for the lifetime of a scope (tests).
class ScopedSystemLibraries {
 public:
  explicit ScopedSystemLibraries(std::vector<SystemLibrary> libraries)
      : previous_(ReplaceSystemLibraries(std::move(libraries))) {}
  ~ScopedSystemLibraries() { ReplaceSystemLibraries(std::move(previous_)); }
  ScopedSystemLibraries(const ScopedSystemLibraries&) = delete;
  ScopedSystemLibraries& operator=(const ScopedSystemLibraries&) = delete;

 private:
  std::vector<SystemLibrary> previous_;
};

}  // namespace platform
