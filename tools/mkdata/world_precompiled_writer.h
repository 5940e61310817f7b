// Writes precompiled world files from text world files: the world is built with the engine's
// world-file parser and written back record by record in the precompiled layout.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mkdata {

struct PrecompiledWorld {
  std::vector<std::uint8_t> world;
  // The regions' visible lists, one after another without their counts, when they go into a
  // ".VIS" member; else empty.
  std::vector<std::uint8_t> visibility;
};

// The precompiled form of the world file `name`, read from the pack archive at packPath (files
// along WLDPATH when packPath is empty). With separateVisibility the visible lists go to
// `visibility` and the header says so. Throws std::runtime_error when the world does not load
// or holds something the precompiled form cannot store. Starts the engine and shuts it down
// again: call it while the engine is not started.
PrecompiledWorld EncodePrecompiledWorld(const std::string& name, const std::string& packPath,
                                        bool separateVisibility);

// The ".VIS" member name under which the reader looks up the visibility data of the world file
// name (the engine's rule). Throws std::runtime_error for a name the rule gives none for.
std::string VisibilityMemberName(const std::string& worldName);

}  // namespace mkdata
