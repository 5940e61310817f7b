// Seed inputs for the fuzz targets, made from a text world file of the project's own data and
// from precompiled world files: each target's folder gets inputs laid out the way that target
// reads its bytes.
#pragma once

#include <string>
#include <vector>

namespace mkdata {

// Writes OUT_DIR/<target>/<seed> for the world, pack, bitmap and arena map targets, and one seed
// of the precompiled-world target per precompiled world file, with the ".VIS" file beside it
// when its header says it has one. Throws std::runtime_error for a file that is no precompiled
// world or whose ".VIS" file is missing or too large for the seed.
void WriteFuzzSeeds(const std::string& textWorldPath, const std::string& outDir,
                    const std::vector<std::string>& precompiledPaths);

}  // namespace mkdata
