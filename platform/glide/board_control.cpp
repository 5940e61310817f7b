#include "platform/glide/board_control.h"

#include "platform/glide/board.h"
#include "platform/glide/glide_types.h"
#include "platform/glide/pixel_pipeline.h"

namespace platform::glide {

void SetTextureMemorySize(std::size_t bytes) { TextureMemorySetting() = bytes; }

void CapStageBuild(StageBuild widest) { StageBuildCap() = widest; }

std::span<const std::uint8_t> TextureMemory() { return GetBoard().textureMemory; }

std::span<const std::uint16_t> ColorBuffer(int buffer) {
  Board& board = GetBoard();
  if (!board.open) {
    return {};
  }
  return buffer == GR_BUFFER_FRONTBUFFER ? board.colour[board.front]
                                         : board.colour[1 - board.front];
}

std::span<const std::uint16_t> DepthBuffer() { return GetBoard().depth; }

}  // namespace platform::glide
