#include <gtest/gtest.h>

#include <utility>

#include "platform/d3d.h"
#include "platform/ddraw.h"
#include "tests/support/direct_draw_faults.h"
#include "window_fixture.h"

namespace {

class Direct3DTest : public WindowTest {
 protected:
  Direct3DTest() {
    EXPECT_EQ(DirectDrawCreate(nullptr, &directDraw_, nullptr), DD_OK);
    EXPECT_EQ(directDraw_->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
  }

  ~Direct3DTest() override {
    if (directDraw_ != nullptr) {
      directDraw_->Release();
    }
    EXPECT_EQ(platform::LiveDirect3DObjectCount(), 0u);
    EXPECT_EQ(platform::LiveSurfaceCount(), 0u);
  }

  // An 8-bit offscreen surface of 4 x 4 with the capabilities added.
  IDirectDrawSurface* CreateSurface(DWORD caps) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = 4;
    desc.dwHeight = 4;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY | caps;
    desc.ddpfPixelFormat = {sizeof(DDPIXELFORMAT), DDPF_RGB | DDPF_PALETTEINDEXED8, 8, 0, 0, 0};
    IDirectDrawSurface* surface = nullptr;
    EXPECT_EQ(directDraw_->CreateSurface(&desc, &surface, nullptr), DD_OK);
    return surface;
  }

  IDirect3D* QueryDirect3D() {
    void* direct3D = nullptr;
    EXPECT_EQ(directDraw_->QueryInterface(IID_IDirect3D, &direct3D), DD_OK);
    return static_cast<IDirect3D*>(direct3D);
  }

  // A palette of black entries.
  IDirectDrawPalette* CreatePalette() {
    PALETTEENTRY entries[256] = {};
    IDirectDrawPalette* palette = nullptr;
    EXPECT_EQ(directDraw_->CreatePalette(DDPCAPS_8BIT, entries, &palette, nullptr), DD_OK);
    return palette;
  }

  IDirectDraw* directDraw_ = nullptr;
};

TEST_F(Direct3DTest, Direct3DHoldsItsDirectDrawObjectAndFindsOnlySoftwareDevices) {
  IDirect3D* direct3D = QueryDirect3D();
  ASSERT_NE(direct3D, nullptr);
  EXPECT_EQ(directDraw_->AddRef(), 3u) << "the test's, Direct3D's and this one";
  directDraw_->Release();
  void* other = &other;
  EXPECT_EQ(directDraw_->QueryInterface(IID_IDirect3DTexture, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);

  struct Case {
    DWORD flags;
    BOOL hardware;
    D3DCOLORMODEL model;
    HRESULT result;
    GUID device;
  };
  for (const Case c :
       {Case{0, FALSE, 0, DD_OK, IID_IDirect3DRampDevice},
        Case{D3DFDS_HARDWARE, TRUE, 0, DDERR_NOTFOUND, {}},
        Case{D3DFDS_HARDWARE, FALSE, 0, DD_OK, IID_IDirect3DRampDevice},
        Case{D3DFDS_HARDWARE | D3DFDS_COLORMODEL, FALSE, D3DCOLOR_RGB, DD_OK,
             IID_IDirect3DRGBDevice},
        Case{D3DFDS_COLORMODEL, FALSE, D3DCOLOR_RAMP, DD_OK, IID_IDirect3DRampDevice},
        Case{D3DFDS_COLORMODEL, FALSE, 7, DDERR_NOTFOUND, {}}}) {
    D3DFINDDEVICESEARCH search{sizeof(D3DFINDDEVICESEARCH), c.flags, c.hardware, c.model};
    D3DFINDDEVICERESULT result{};
    result.dwSize = sizeof(result);
    ASSERT_EQ(direct3D->FindDevice(&search, &result), c.result) << c.flags << " " << c.model;
    if (c.result == DD_OK) {
      EXPECT_TRUE(result.guid == c.device) << c.flags << " " << c.model;
      EXPECT_EQ(result.ddHwDesc.dwFlags, 0u);
      EXPECT_NE(result.ddSwDesc.dwFlags, 0u);
    }
  }
  D3DFINDDEVICESEARCH search{};
  D3DFINDDEVICERESULT result{};
  result.dwSize = sizeof(result);
  EXPECT_EQ(direct3D->FindDevice(&search, &result), DDERR_INVALIDPARAMS) << "no size";

  EXPECT_EQ(direct3D->Release(), 0u);
  EXPECT_EQ(directDraw_->AddRef(), 2u);
  directDraw_->Release();
}

TEST_F(Direct3DTest, ADeviceDrawsIntoA3DSurfaceWithItsPaletteAndHoldsItsViewports) {
  IDirectDrawSurface* plain = CreateSurface(0);
  IDirectDrawSurface* target = CreateSurface(DDSCAPS_3DDEVICE);
  void* made = nullptr;
  EXPECT_EQ(plain->QueryInterface(IID_IDirect3DRGBDevice, &made), E_NOINTERFACE);
  EXPECT_EQ(target->QueryInterface(IID_IDirect3DTexture, &made), E_NOINTERFACE);
  EXPECT_EQ(target->QueryInterface(IID_IDirect3DRGBDevice, &made), DDERR_NOPALETTEATTACHED);
  IDirectDrawPalette* palette = CreatePalette();
  ASSERT_EQ(target->SetPalette(palette), DD_OK);
  palette->Release();
  ASSERT_EQ(target->QueryInterface(IID_IDirect3DRGBDevice, &made), DD_OK);
  auto* device = static_cast<IDirect3DDevice*>(made);
  EXPECT_EQ(target->AddRef(), 3u) << "the test's, the device's and this one";
  target->Release();

  IDirect3D* direct3D = QueryDirect3D();
  IDirect3DViewport* viewport = nullptr;
  ASSERT_EQ(direct3D->CreateViewport(&viewport, nullptr), DD_OK);
  D3DVIEWPORT data{sizeof(D3DVIEWPORT), 0, 0, 4, 4, 1.0f, 1.0f, 4.0f, 4.0f, 0.0f, 1000.0f};
  EXPECT_EQ(viewport->SetViewport(&data), DDERR_INVALIDPARAMS) << "not in a device yet";
  ASSERT_EQ(device->AddViewport(viewport), DD_OK);
  EXPECT_EQ(device->AddViewport(viewport), DDERR_INVALIDPARAMS) << "already in one";
  ASSERT_EQ(viewport->SetViewport(&data), DD_OK);
  D3DVIEWPORT read{};
  read.dwSize = sizeof(read);
  ASSERT_EQ(viewport->GetViewport(&read), DD_OK);
  EXPECT_EQ(read.dwWidth, 4u);
  EXPECT_EQ(read.dvMaxZ, 1000.0f);

  D3DEXECUTEBUFFERDESC buffer{sizeof(D3DEXECUTEBUFFERDESC), D3DDEB_BUFSIZE, 0, 4096};
  IDirect3DExecuteBuffer* executeBuffer = nullptr;
  ASSERT_EQ(device->CreateExecuteBuffer(&buffer, &executeBuffer, nullptr), DD_OK);
  buffer.dwFlags = 0;
  IDirect3DExecuteBuffer* unsized = nullptr;
  EXPECT_EQ(device->CreateExecuteBuffer(&buffer, &unsized, nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(unsized, nullptr);
  EXPECT_EQ(platform::LiveDirect3DObjectCount(), 4u);

  // The device keeps the viewport and the surface until it goes.
  EXPECT_EQ(viewport->Release(), 1u);
  EXPECT_EQ(executeBuffer->Release(), 0u);
  EXPECT_EQ(device->Release(), 0u);
  EXPECT_EQ(platform::LiveDirect3DObjectCount(), 1u);
  EXPECT_EQ(direct3D->Release(), 0u);
  EXPECT_EQ(target->Release(), 0u);
  EXPECT_EQ(plain->Release(), 0u);
}

TEST_F(Direct3DTest, MaterialsAndTexturesHaveTheirOwnSteadyHandles) {
  IDirectDrawSurface* target = CreateSurface(DDSCAPS_3DDEVICE);
  IDirectDrawPalette* palette = CreatePalette();
  ASSERT_EQ(target->SetPalette(palette), DD_OK);
  palette->Release();
  void* made = nullptr;
  ASSERT_EQ(target->QueryInterface(IID_IDirect3DRampDevice, &made), DD_OK);
  auto* device = static_cast<IDirect3DDevice*>(made);
  IDirect3D* direct3D = QueryDirect3D();

  IDirect3DMaterial* first = nullptr;
  IDirect3DMaterial* second = nullptr;
  ASSERT_EQ(direct3D->CreateMaterial(&first, nullptr), DD_OK);
  ASSERT_EQ(direct3D->CreateMaterial(&second, nullptr), DD_OK);
  D3DMATERIALHANDLE handles[3] = {};
  ASSERT_EQ(first->GetHandle(device, &handles[0]), DD_OK);
  ASSERT_EQ(first->GetHandle(device, &handles[1]), DD_OK);
  ASSERT_EQ(second->GetHandle(device, &handles[2]), DD_OK);
  EXPECT_NE(handles[0], 0u);
  EXPECT_EQ(handles[0], handles[1]);
  EXPECT_NE(handles[0], handles[2]);
  D3DMATERIAL colour{sizeof(D3DMATERIAL), {0.5f, 0.25f, 1.0f, 0.0f}, 1};
  ASSERT_EQ(first->SetMaterial(&colour), DD_OK);
  D3DMATERIAL read{};
  read.dwSize = sizeof(read);
  ASSERT_EQ(first->GetMaterial(&read), DD_OK);
  EXPECT_EQ(read.diffuse.g, 0.25f);

  IDirect3DViewport* viewport = nullptr;
  ASSERT_EQ(direct3D->CreateViewport(&viewport, nullptr), DD_OK);
  EXPECT_EQ(viewport->SetBackground(0), DDERR_INVALIDPARAMS);
  ASSERT_EQ(viewport->SetBackground(handles[2]), DD_OK);
  D3DMATERIALHANDLE background = 0;
  BOOL valid = FALSE;
  ASSERT_EQ(viewport->GetBackground(&background, &valid), DD_OK);
  EXPECT_EQ(background, handles[2]);
  EXPECT_EQ(valid, TRUE);

  IDirectDrawSurface* textureSurface = CreateSurface(DDSCAPS_TEXTURE);
  ASSERT_EQ(textureSurface->QueryInterface(IID_IDirect3DTexture, &made), DD_OK);
  auto* texture = static_cast<IDirect3DTexture*>(made);
  D3DTEXTUREHANDLE textureHandles[2] = {};
  ASSERT_EQ(texture->GetHandle(device, &textureHandles[0]), DD_OK);
  ASSERT_EQ(texture->GetHandle(device, &textureHandles[1]), DD_OK);
  EXPECT_NE(textureHandles[0], 0u);
  EXPECT_EQ(textureHandles[0], textureHandles[1]);
  EXPECT_EQ(texture->GetHandle(nullptr, &textureHandles[0]), DDERR_INVALIDPARAMS);
  EXPECT_EQ(texture->Unload(), DD_OK);
  // The texture holds its surface.
  EXPECT_EQ(textureSurface->Release(), 1u);
  EXPECT_EQ(texture->Release(), 0u);

  for (IDirect3DMaterial* material : {first, second}) {
    EXPECT_EQ(material->Release(), 0u);
  }
  EXPECT_EQ(viewport->Release(), 0u);
  EXPECT_EQ(device->Release(), 0u);
  EXPECT_EQ(direct3D->Release(), 0u);
  EXPECT_EQ(target->Release(), 0u);
}

TEST_F(Direct3DTest, AFaultOrNoMemoryMakesNothing) {
  using platform::DirectDrawCall;
  IDirect3D* direct3D = nullptr;
  {
    test_support::DirectDrawFaults faults(
        {{DirectDrawCall::kQueryInterface, 0, DDERR_OUTOFMEMORY}});
    void* made = &made;
    EXPECT_EQ(directDraw_->QueryInterface(IID_IDirect3D, &made), DDERR_OUTOFMEMORY);
    EXPECT_EQ(made, nullptr);
    direct3D = QueryDirect3D();
  }
  test_support::DirectDrawFaults faults({{DirectDrawCall::kCreateViewport, 0, DDERR_OUTOFMEMORY},
                                         {DirectDrawCall::kCreateMaterial, 0, DDERR_OUTOFMEMORY},
                                         {DirectDrawCall::kFindDevice, 0, DDERR_NOTFOUND}});
  IDirect3DViewport* viewport = nullptr;
  EXPECT_EQ(direct3D->CreateViewport(&viewport, nullptr), DDERR_OUTOFMEMORY);
  IDirect3DMaterial* material = nullptr;
  EXPECT_EQ(direct3D->CreateMaterial(&material, nullptr), DDERR_OUTOFMEMORY);
  D3DFINDDEVICESEARCH search{};
  search.dwSize = sizeof(search);
  D3DFINDDEVICERESULT result{};
  result.dwSize = sizeof(result);
  EXPECT_EQ(direct3D->FindDevice(&search, &result), DDERR_NOTFOUND);
  EXPECT_EQ(viewport, nullptr);
  EXPECT_EQ(material, nullptr);
  EXPECT_EQ(platform::LiveDirect3DObjectCount(), 1u);
  EXPECT_EQ(faults.Calls(), (std::vector<DirectDrawCall>{DirectDrawCall::kCreateViewport,
                                                         DirectDrawCall::kCreateMaterial,
                                                         DirectDrawCall::kFindDevice}));
  EXPECT_EQ(direct3D->Release(), 0u);
}

}  // namespace
