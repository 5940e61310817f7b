#include "platform/d3d/live_objects.h"

#include <atomic>

namespace platform {
namespace {

std::atomic<std::size_t> gLive{0};

}  // namespace

CountedDirect3DObject::CountedDirect3DObject() { ++gLive; }

CountedDirect3DObject::~CountedDirect3DObject() { --gLive; }

std::size_t LiveDirect3DObjectCount() { return gLive; }

}  // namespace platform
