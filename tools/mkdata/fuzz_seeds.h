// Seed inputs for the fuzz targets, made from a text world file of the project's own data: each
// target's folder gets inputs laid out the way that target reads its bytes.
#pragma once

#include <string>

namespace mkdata {

// Writes OUT_DIR/<target>/<seed> for the world, pack, bitmap and arena map targets.
void WriteFuzzSeeds(const std::string& textWorldPath, const std::string& outDir);

}  // namespace mkdata
