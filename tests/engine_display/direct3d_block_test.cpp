#include <gtest/gtest.h>

#include <vector>

#include "device_fixture.h"
#include "engine/display/direct3d_block_internal.h"

namespace {

// A Direct3D interface stand-in that counts its releases.
class CountedInterface : public IUnknown {
 public:
  HRESULT QueryInterface(REFGUID /*id*/, void** /*out*/) override { return E_NOINTERFACE; }
  ULONG AddRef() override { return 1; }
  ULONG Release() override {
    ++releases;
    return 0;
  }
  int releases = 0;
};

class Direct3DBlockTest : public DeviceTest {
 protected:
  // The nodes point at the test's bitmaps: they go before the bitmaps do.
  ~Direct3DBlockTest() override {
    if (device_ != nullptr) {
      _r3xReleaseD3DObjects(device_, 1);
    }
  }

  // A device with a block as a 3D open would leave it, were Direct3D here.
  void SetUpBlock() {
    SetUpHostDisplay();
    ASSERT_EQ(OpenAsTheGameDoes(), 0);
    block_ = static_cast<R3xD3DBlock*>(r3xMalloc(sizeof(R3xD3DBlock)));
    block_->worlds = static_cast<R3xWorld**>(r3xMalloc(4 * sizeof(R3xWorld*)));
    block_->worldCapacity = 4;
    block_->directDraw = directDraw_;
    block_->owner = device_;
    device_->direct3D = block_;
  }

  // A node per bitmap, oldest first; those marked get a device copy.
  void AddNodes(const std::vector<bool>& deviceCopies) {
    bitmaps_.resize(deviceCopies.size());
    textures_.resize(deviceCopies.size());
    for (std::size_t i = 0; i < deviceCopies.size(); ++i) {
      auto* node = static_cast<R3xTextureSurface*>(r3xMalloc(sizeof(R3xTextureSurface)));
      node->bitmap = &bitmaps_[i];
      bitmaps_[i].texture = node;
      if (deviceCopies[i]) {
        node->deviceTexture = &textures_[i];
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = 4;
        desc.dwHeight = 4;
        desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_VIDEOMEMORY;
        ASSERT_EQ(directDraw_->CreateSurface(&desc, &node->deviceSurface, nullptr), DD_OK);
      }
      node->previous = block_->tail;
      (block_->tail != nullptr ? block_->tail->next : block_->head) = node;
      block_->tail = node;
    }
  }

  // The bitmaps' indexes in list order.
  std::vector<int> Order() const {
    std::vector<int> order;
    for (R3xTextureSurface* node = block_->head; node != nullptr; node = node->next) {
      order.push_back(static_cast<int>(node->bitmap - bitmaps_.data()));
    }
    return order;
  }

  R3xD3DBlock* block_ = nullptr;
  std::vector<R3xBitmap> bitmaps_;
  std::vector<CountedInterface> textures_;
};

TEST_F(DeviceTest, ADirect3DOpenFailsCleanlyWithoutDirect3D) {
  for (std::uint32_t flags : {R3X_DEVICE_3D, R3X_DEVICE_SOFTWARE_3D}) {
    EXPECT_EQ(r3xCreateRenderDevice(&device_, camera_, 0, 1, flags, nullptr, window_, 8, nullptr,
                                    nullptr),
              R3X_DEVICE_FAILED);
    EXPECT_EQ(device_, nullptr);
    EXPECT_EQ(platform::LiveSurfaceCount(), 0u);
  }
}

TEST_F(Direct3DBlockTest, TheWorldArrayGrowsByAQuarterAndOne) {
  SetUpBlock();
  std::vector<R3xWorld> worlds(9);
  const std::uint32_t capacities[] = {4, 4, 4, 4, 6, 6, 8, 8, 11};
  for (std::size_t i = 0; i < worlds.size(); ++i) {
    ASSERT_EQ(_r3xAttachWorldToDevice(device_, &worlds[i]), 0);
    EXPECT_EQ(block_->worldCapacity, capacities[i]) << i;
    EXPECT_EQ(worlds[i].device, device_);
  }
  R3xWorld stranger{};
  EXPECT_EQ(_r3xDetachWorldFromDevice(device_, &stranger), 0);
  EXPECT_EQ(block_->worldCount, 9u);
  EXPECT_EQ(_r3xDetachWorldFromDevice(device_, &worlds[2]), 0);
  EXPECT_EQ(block_->worldCount, 8u);
  EXPECT_EQ(block_->worlds[2], &worlds[3]);
  EXPECT_EQ(block_->worlds[7], &worlds[8]);
  EXPECT_EQ(worlds[2].device, nullptr);
}

TEST_F(Direct3DBlockTest, EvictionSparesTheFourOldestLongestAndMovesTheEvictedToTheTail) {
  SetUpBlock();
  AddNodes({true, true, true, true, true, true, false});
  std::vector<int> evicted;
  while (_r3xEvictTexture(block_) == 1) {
    evicted.push_back(Order().back());
  }
  EXPECT_EQ(evicted, (std::vector<int>{4, 5, 3, 2, 1, 0}));
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(textures_[static_cast<std::size_t>(i)].releases, 1) << i;
  }
  EXPECT_EQ(Order(), (std::vector<int>{6, 4, 5, 3, 2, 1, 0}));
  EXPECT_EQ(block_->tail->next, nullptr);
  EXPECT_EQ(block_->head->previous, nullptr);
}

TEST_F(Direct3DBlockTest, FreeingATextureUnlinksItAndTheFullReleaseFreesTheRest) {
  SetUpBlock();
  AddNodes({false, true, false});
  ASSERT_EQ(_r3xFreeTextureSurface(block_, &bitmaps_[0]), 0);
  EXPECT_EQ(bitmaps_[0].texture, nullptr);
  EXPECT_EQ(Order(), (std::vector<int>{1, 2}));
  ASSERT_EQ(_r3xFreeTextureSurface(block_, &bitmaps_[2]), 0);
  EXPECT_EQ(Order(), (std::vector<int>{1}));
  EXPECT_EQ(block_->tail, block_->head);

  // The device-side release drops the device copies only.
  _r3xReleaseD3DObjects(device_, 0);
  EXPECT_EQ(textures_[1].releases, 1);
  EXPECT_EQ(bitmaps_[1].texture, block_->head);
  EXPECT_EQ(block_->head->deviceSurface, nullptr);
  _r3xReleaseD3DObjects(device_, 1);
  EXPECT_EQ(device_->direct3D, nullptr);
  EXPECT_EQ(bitmaps_[1].texture, nullptr);
  // Only the primary and its back buffer are left.
  EXPECT_EQ(platform::LiveSurfaceCount(), 2u);
}

TEST_F(Direct3DBlockTest, ABitmapWhoseTextureCannotBeMadeKeepsItsPixels) {
  SetUpBlock();
  std::uint8_t* pixels = static_cast<std::uint8_t*>(r3xMalloc(16));
  pixels[5] = 77;
  R3xBitmap bitmap{};
  bitmap.pixels = pixels;
  bitmap.width = 4;
  bitmap.height = 4;
  EXPECT_EQ(_r3xCreateTextureSurface(block_, &bitmap), R3X_ERR_FAILED);
  EXPECT_EQ(bitmap.pixels, pixels);
  EXPECT_EQ(bitmap.pixels[5], 77);
  EXPECT_EQ(bitmap.texture, nullptr);
  EXPECT_EQ(block_->head, nullptr);
  EXPECT_EQ(platform::LiveSurfaceCount(), 2u);
  EXPECT_EQ(_r3xEvictTexture(block_), 0) << "an empty list";
  r3xFree(pixels);
}

}  // namespace
