#include "precompiled_file.h"

#include "engine/world/world_string_key.h"

namespace world_test {

std::int32_t PrecompiledFile::Name(const std::string& name) {
  const auto offset = static_cast<std::int32_t>(names_.size());
  names_ += name;
  names_ += '\0';
  return -offset;
}

std::int32_t PrecompiledFile::Add(std::uint32_t type, const arena::ByteWriter& payload) {
  records_.emplace_back(type, payload.bytes());
  return static_cast<std::int32_t>(records_.size());
}

void PrecompiledFile::AddRaw(const std::vector<std::uint8_t>& bytes, std::uint32_t records) {
  tail_.insert(tail_.end(), bytes.begin(), bytes.end());
  tailRecords_ += records;
}

std::string PrecompiledFile::Bytes(std::uint32_t version, std::uint32_t regionCount,
                                   std::int64_t recordCount) const {
  arena::ByteWriter out;
  const std::uint8_t signature[4] = {0x02, 0x3D, 0x4B, 0x56};
  out.Bytes(signature, sizeof signature);
  out.U32(version);
  out.U32(recordCount >= 0 ? static_cast<std::uint32_t>(recordCount)
                           : static_cast<std::uint32_t>(records_.size()) + tailRecords_);
  out.U32(regionCount);
  std::size_t largest = 0;
  for (const auto& record : records_) {
    largest = std::max(largest, record.second.size());
  }
  out.U32(static_cast<std::uint32_t>(largest));
  out.U32(static_cast<std::uint32_t>(names_.size()));
  out.U32(0);
  std::vector<std::uint8_t> names(names_.begin(), names_.end());
  _r3xApplyWorldStringKey(names.data(), names.size());
  out.Bytes(names.data(), names.size());
  for (const auto& [type, payload] : records_) {
    out.U32(static_cast<std::uint32_t>(payload.size()));
    out.U32(type);
    out.Bytes(payload.data(), payload.size());
  }
  out.Bytes(tail_.data(), tail_.size());
  return std::string(out.bytes().begin(), out.bytes().end());
}

arena::ByteWriter LightDefPayload(std::int32_t tag) {
  arena::ByteWriter out;
  out.I32(tag);
  out.U32(0);
  out.U32(1);
  out.F32(1.0f);
  return out;
}

arena::ByteWriter SphereVolumePayload(float radius) {
  arena::ByteWriter out;
  out.U32(0);
  out.F32(radius);
  return out;
}

arena::ByteWriter Sprite3DDefPayload(std::int32_t tag, std::int32_t volume) {
  arena::ByteWriter out;
  out.I32(tag);
  out.U32(0);
  out.U32(0);
  out.U32(0);
  out.I32(volume);
  return out;
}

arena::ByteWriter MeshRegionPayload(const MeshRegionSpec& spec) {
  arena::ByteWriter out;
  out.I32(spec.tag);
  out.U32(spec.encodedVisibility ? 0x20 : 0);
  out.I32(0);
  out.U32(0);
  out.U32(0);
  out.U32(spec.renderVertexCount);
  out.U32(1);
  out.U32(spec.obstacleCount);
  out.U32(spec.cuttingCount);
  const std::vector<std::pair<std::uint32_t, std::uint32_t>> visLinks =
      spec.visLinks.empty() ? std::vector<std::pair<std::uint32_t, std::uint32_t>>{{0, 0}}
                            : spec.visLinks;
  out.U32(spec.visLists.empty() ? 0 : static_cast<std::uint32_t>(visLinks.size()));
  out.U32(static_cast<std::uint32_t>(spec.visLists.size()));
  // The face: plane given, a plain surface with the render method 1 and perhaps UV pairs.
  out.U32(0x02);
  out.U32(static_cast<std::uint32_t>(spec.corners.size()));
  for (const std::uint32_t corner : spec.corners) {
    out.U32(corner);
  }
  out.U32(1);
  out.U32(spec.uvPairs != 0 ? 0x20 : 0);
  if (spec.uvPairs != 0) {
    out.U32(spec.uvPairs);
    for (std::uint32_t i = 0; i < 2 * spec.uvPairs; ++i) {
      out.F32(0.5f);
    }
  }
  for (const float value : {0.0f, 0.0f, 1.0f, 0.0f}) {
    out.F32(value);
  }
  out.Bytes(spec.obstacles.data(), spec.obstacles.size());
  for (std::size_t n = 0; !spec.visLists.empty() && n < visLinks.size(); ++n) {
    for (int i = 0; i < 4; ++i) {
      out.F32(0.0f);
    }
    out.U32(n == 0 ? 1 : 0);
    out.U32(visLinks[n].first);
    out.U32(visLinks[n].second);
  }
  for (const auto& list : spec.visLists) {
    out.U16(static_cast<std::uint16_t>(list.size()));
    for (const std::uint16_t region : list) {
      if (!spec.listsInVis) {
        out.U16(region);
      }
    }
  }
  out.U32(0);
  return out;
}

std::string VisMember(const std::vector<MeshRegionSpec>& regions) {
  arena::ByteWriter out;
  for (const MeshRegionSpec& spec : regions) {
    for (const auto& list : spec.visLists) {
      for (const std::uint16_t region : list) {
        out.U16(region);
      }
    }
  }
  return std::string(out.bytes().begin(), out.bytes().end());
}

arena::ByteWriter VerticesPayload(const std::vector<float>& xyz) {
  arena::ByteWriter out;
  out.U32(static_cast<std::uint32_t>(xyz.size() / 3));
  for (const float value : xyz) {
    out.F32(value);
  }
  return out;
}

}  // namespace world_test
