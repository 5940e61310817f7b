// Precompiled world files built field by field by the tests, for cases that the writer in
// mkdata never makes.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/byte_writer.h"

namespace world_test {

class PrecompiledFile {
 public:
  // The tag field of a name, entered in the name block when new.
  std::int32_t Name(const std::string& name);
  // Appends a record; returns its number.
  std::int32_t Add(std::uint32_t type, const arena::ByteWriter& payload);
  // The file: header (with the given version and region count), name block and records.
  // recordCount overrides the number of records the header states.
  std::string Bytes(std::uint32_t version = 0x15500, std::uint32_t regionCount = 0,
                    std::int64_t recordCount = -1) const;
  // Appends raw bytes after the records (a record cut short), counted as that many records.
  void AddRaw(const std::vector<std::uint8_t>& bytes, std::uint32_t records);
  // Replaces the name block as written (unscrambled), for names without a terminator.
  void SetNameBlock(const std::string& names) { names_ = names; }

 private:
  std::string names_ = std::string(1, '\0');
  std::vector<std::pair<std::uint32_t, std::vector<std::uint8_t>>> records_;
  std::vector<std::uint8_t> tail_;
  std::uint32_t tailRecords_ = 0;
};

// Payloads of the records the tests use most.
arena::ByteWriter LightDefPayload(std::int32_t tag);
arena::ByteWriter SphereVolumePayload(float radius);
// A 3D sprite definition without vertices or faces taking the volume.
arena::ByteWriter Sprite3DDefPayload(std::int32_t tag, std::int32_t volume);

// A mesh region record over the world's vertices: one face over the given corners (with its
// plane), the obstacles as encoded, the visible lists (in the record unless inVis), and with
// lists the visibility nodes: the first points at the first list, and visLinks gives each
// node's front and back child (numbered from 1, 0 none); without visLinks one node without
// children.
struct MeshRegionSpec {
  std::int32_t tag = 0;
  std::vector<std::uint32_t> corners = {0, 1, 2};
  std::uint32_t obstacleCount = 0;
  std::uint32_t cuttingCount = 0;
  std::vector<std::uint8_t> obstacles{};
  std::vector<std::vector<std::uint16_t>> visLists{};
  bool listsInVis = false;
  // The lists hold run codes (the region's ENCODEDVISIBILITY flag).
  bool encodedVisibility = false;
  std::uint32_t uvPairs = 0;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> visLinks{};
  std::uint32_t renderVertexCount = 0;
};
arena::ByteWriter MeshRegionPayload(const MeshRegionSpec& spec);
// The regions' visible lists laid out as a ".VIS" member holds them.
std::string VisMember(const std::vector<MeshRegionSpec>& regions);
arena::ByteWriter VerticesPayload(const std::vector<float>& xyz);

}  // namespace world_test
