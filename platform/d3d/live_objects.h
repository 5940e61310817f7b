// The count of Direct3D objects not yet released: each object holds one counted member.
#pragma once

#include <cstddef>

namespace platform {

class CountedDirect3DObject {
 public:
  CountedDirect3DObject();
  ~CountedDirect3DObject();
  CountedDirect3DObject(const CountedDirect3DObject&) = delete;
  CountedDirect3DObject& operator=(const CountedDirect3DObject&) = delete;
};

// Direct3D objects (Direct3D, devices, viewports, execute buffers, materials, textures) not yet
// released (tests).
std::size_t LiveDirect3DObjectCount();

}  // namespace platform
