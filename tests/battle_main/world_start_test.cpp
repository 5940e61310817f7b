// The session's world start and stop over the demo's packs, the headless display and the
// software board: what a successful start builds, the report of a start failing at each step,
// and the stop taking down exactly what was built.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/byte_writer.h"
#include "battle/arena/arena_geometry.h"
#include "battle/arena/arena_map.h"
#include "battle/arena/arena_view.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/mover.h"
#include "battle/arena/own_tank.h"
#include "battle/arena/player_tank.h"
#include "battle/arena/tank_list.h"
#include "battle/core/log.h"
#include "battle/main/game_session.h"
#include "battle/main/host_link.h"
#include "battle/main/object_kinds.h"
#include "common/messages.h"
#include "engine/r3x.h"
#include "host/interface/host_record.h"
#include "platform/backend/display_backend.h"
#include "platform/backend/headless_backend.h"
#include "platform/ddraw.h"
#include "platform/kernel/allocation_hook.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/message_box.h"
#include "platform/window/messages.h"
#include "platform/window/window.h"
#include "tests/support/host_display.h"
#include "tests/support/scoped_window_system.h"
#include "tests/support/scoped_working_folder.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_files.h"
#include "tools/mkdata/bmp_writer.h"
#include "tools/mkdata/pack_writer.h"

namespace {

namespace fs = std::filesystem;

// Keeps every frame the display shows.
class RecordingBackend : public platform::HeadlessBackend {
 public:
  explicit RecordingBackend(std::vector<platform::Frame>& frames) : frames_(frames) {}
  void Present(const platform::Frame& frame) override {
    frames_.push_back(frame);
    HeadlessBackend::Present(frame);
  }

 private:
  std::vector<platform::Frame>& frames_;
};

bool AllPixelsAre(const platform::Frame& frame, std::uint8_t value) {
  for (std::uint8_t pixel : frame.pixels) {
    if (pixel != value) {
      return false;
    }
  }
  return true;
}

std::vector<std::uint8_t> FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class WorldStartTest : public ::testing::Test {
 protected:
  WorldStartTest() {
    // As after a fresh load: the record an earlier game's stop kept goes with the library.
    r3xDestroyRenderDevice(&gRenderDevice, R3X_DEVICE_FREE | R3X_DEVICE_KEEP);
    platform::SetDisplayBackend(std::make_unique<RecordingBackend>(frames_));
    platform::ClearShownFrames();
    platform::ResetDisplayMode();
    platform::SetMessageBoxEcho(false);
    window_ = test_support::CreateShownWindow("world_start_wc", DefWindowProcA);
    errorSink_.SetAddress(KIND_ERROR_SINK);
    for (const char* file :
         {ARENA_DEMO_PACK, ARENA_DEMO_MAP, ARENA_DEMO_EQUIP, ARENA_DEMO_LOADING}) {
      fs::copy_file(file, folder_.Path() / fs::path(file).filename());
    }
    host_.window = window_;
    host_.login.window = window_;
    SetWorld("arena.r3x", "arenapc.wld");
    gHostRecord = &host_;
  }

  ~WorldStartTest() override {
    gGameSession.StopWorld();
    gGameSession.quitFlag = 0;
    gFrameTime = 0;
    gHostRecord = nullptr;
    test_support::ReleaseHostDisplay(host_.directDraw, host_.primarySurface);
    platform::ResetDisplayMode();
    platform::ClearShownFrames();
    platform::ClearShownMessageBoxes();
    platform::SetDisplayBackend(std::make_unique<platform::HeadlessBackend>());
  }

  void SetWorld(const std::string& pack, const std::string& world) {
    std::snprintf(host_.login.worldPackName, sizeof(host_.login.worldPackName), "%s", pack.c_str());
    std::snprintf(host_.login.worldFileName, sizeof(host_.login.worldFileName), "%s",
                  world.c_str());
  }

  // The host's display as the host program makes it: exclusive full screen at 640 x 480 x 8 with
  // a flipping primary surface.
  void OpenHostDisplay() {
    ASSERT_TRUE(test_support::OpenHostDisplay(window_, host_.directDraw, host_.primarySurface));
  }

  int Start() {
    return gGameSession.StartWorld(&host_.login, host_.directDraw, host_.primarySurface);
  }

  // The reports that reached the error sink, in order.
  std::vector<std::string> Reports() {
    std::vector<std::string> reports;
    std::uint32_t length = 0;
    while (MailboxMessagePtr message = errorSink_.Receive(length)) {
      reports.emplace_back(reinterpret_cast<const char*>(message->Payload()));
    }
    return reports;
  }

  // Nothing of a world is left: no engine object, pack, palette or bitmap; the display closed.
  static void ExpectTornDown() {
    EXPECT_EQ(gArenaMap, nullptr);
    EXPECT_EQ(gWorld, nullptr);
    EXPECT_EQ(gRenderContext, nullptr);
    EXPECT_EQ(gCamera, nullptr);
    EXPECT_EQ(gGlideContext, nullptr);
    EXPECT_TRUE(gRenderDevice == nullptr || gRenderDevice->open == 0);
    EXPECT_EQ(gWorldPack, nullptr);
    EXPECT_EQ(gEquipPack, nullptr);
    EXPECT_EQ(gGameSession.palettes.Current(), nullptr);
    EXPECT_EQ(gGameSession.palettes.Normal(), nullptr);
    EXPECT_EQ(gGameSession.palettes.ShadeTable(), nullptr);
    EXPECT_FALSE(gGameSession.palettes.ReselectPending());
    for (R3xBitmapHandle bitmap : gGameSession.skyBitmaps) {
      EXPECT_EQ(bitmap, nullptr);
    }
    const SkyState& sky = gGameSession.atmosphere.Sky();
    EXPECT_EQ(sky.world, nullptr);
    EXPECT_EQ(sky.skyBitmap, nullptr);
    EXPECT_EQ(sky.flareDiscBitmap, nullptr);
    EXPECT_EQ(gGameSession.quitFlag, 1u);
    EXPECT_EQ(gWorldClosing, 1u);
    EXPECT_FALSE(gGameSession.netSocket.IsConnected());
  }

  std::vector<platform::Frame> frames_;
  test_support::ScopedWindowSystem windowSystem_;
  test_support::ScratchFolder folder_{"world_start"};
  test_support::ScopedWorkingFolder working_{folder_.Path()};
  HWND window_ = nullptr;
  HostRecord host_{};
  CMailbox errorSink_;
};

TEST_F(WorldStartTest, BuildsWhatOneArenaNeeds) {
  OpenHostDisplay();
  IDirectDrawSurface* hostPrimary = host_.primarySurface;
  host_.screenWidth = 320;
  ASSERT_EQ(Start(), 0);
  EXPECT_TRUE(Reports().empty());

  ASSERT_NE(gArenaMap, nullptr);
  EXPECT_TRUE(gArenaMap->IsValid());
  EXPECT_EQ(gWorldCeiling, gArenaMap->GetMaxHeight());
  EXPECT_NE(gGameSession.designScreen, nullptr);
  ASSERT_NE(gWorld, nullptr);
  // "arenapc.wld" is the precompiled form, which only the precompiled reader reads.
  EXPECT_GT(gWorld->regions.count, 0u);
  EXPECT_EQ(gWorld->bitmapColourTableFlag, 1);
  EXPECT_EQ(gWorldClosing, 0u);
  ASSERT_NE(gRenderContext, nullptr);
  ASSERT_NE(gCamera, nullptr);
  EXPECT_EQ(r3xGetCameraImageWidth(gCamera), 640);
  EXPECT_EQ(r3xGetCameraImageHeight(gCamera), 480);
  EXPECT_EQ(r3xGetCameraViewHeight(gCamera), 264) << "the cockpit layout";
  ASSERT_NE(gRenderDevice, nullptr);
  EXPECT_EQ(gRenderDevice->open, 1);
  EXPECT_NE(gGlideContext, nullptr);
  EXPECT_EQ(gGameSession.view.viewAngle, 85.0f);
  EXPECT_EQ(gGameSession.view.farDistance, gFarDistance);
  EXPECT_EQ(host_.screenWidth, 640);
  EXPECT_EQ(host_.screenHeight, 480);
  EXPECT_EQ(gGameSession.window, window_);
  EXPECT_EQ(gGameSession.quitFlag, 0u);
  EXPECT_EQ(gGameSession.noDrawUntil, gFrameTime);

  // The packs are closed once the palettes are in; the world's palettes are shown.
  EXPECT_EQ(gWorldPack, nullptr);
  EXPECT_EQ(gEquipPack, nullptr);
  ASSERT_NE(gGameSession.palettes.Normal(), nullptr);
  EXPECT_NE(gGameSession.palettes.InfraRed(), nullptr);
  EXPECT_EQ(gGameSession.palettes.Current(), gGameSession.palettes.Normal());
  EXPECT_NE(gGameSession.palettes.ShadeTable(), nullptr);
  EXPECT_TRUE(gGameSession.palettes.ReselectPending());

  const SkyState& sky = gGameSession.atmosphere.Sky();
  EXPECT_EQ(sky.world, gWorld);
  EXPECT_EQ(sky.renderContext, gRenderContext);
  EXPECT_EQ(sky.camera, gCamera);
  const R3xBitmap* const fields[] = {sky.skyBitmap,      sky.cloudBitmap, sky.groundBitmap,
                                     sky.sunBitmap,      sky.moonBitmap,  sky.flareRingBitmap,
                                     sky.flareDiscBitmap};
  for (std::size_t i = 0; i < kSkyBitmapCount; ++i) {
    ASSERT_NE(gGameSession.skyBitmaps[i], nullptr) << kSkyBitmapNames[i];
    EXPECT_EQ(fields[i], reinterpret_cast<R3xBitmap*>(gGameSession.skyBitmaps[i]->object));
    EXPECT_NE(fields[i]->colourTable, nullptr) << "kept with the world's colour-table flag";
  }

  // Two black frames of the 8-bit device, then the loading picture through the board.
  ASSERT_GE(frames_.size(), 3u);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(frames_[i].bitsPerPixel, 8) << i;
    EXPECT_TRUE(AllPixelsAre(frames_[i], 0)) << i;
  }
  const platform::Frame& loading = frames_[2];
  ASSERT_EQ(loading.bitsPerPixel, 16);
  auto pixel = [&](int x, int y) {
    const std::size_t at = (static_cast<std::size_t>(y) * loading.width + x) * 2;
    return loading.pixels[at] | loading.pixels[at + 1] << 8;
  };
  EXPECT_NE(pixel(320, 240), 0) << "inside the picture";
  EXPECT_EQ(pixel(100, 100), 0) << "outside the picture";

  gGameSession.StopWorld();
  ExpectTornDown();
  EXPECT_EQ(gGameSession.designScreen, nullptr);
  EXPECT_EQ(host_.primarySurface, hostPrimary) << "the device's primary handed back";
}

TEST_F(WorldStartTest, ALoadingPictureSmallerThanItsRectangleIsDrawnAsItIs) {
  OpenHostDisplay();
  folder_.Write("load.bmp", mkdata::BuildBmp(mkdata::MakePatternImage(64, 48, 256)));
  ASSERT_EQ(Start(), 0);
  ASSERT_GE(frames_.size(), 3u);
  const platform::Frame& loading = frames_[2];
  ASSERT_EQ(loading.bitsPerPixel, 16);
  int inside = 0;
  int outside = 0;
  for (int y = 120; y < 360; ++y) {
    for (int x = 160; x < 480; ++x) {
      const std::size_t at = (static_cast<std::size_t>(y) * loading.width + x) * 2;
      const bool lit = (loading.pixels[at] | loading.pixels[at + 1]) != 0;
      const bool inPicture = x < 160 + 64 && y < 120 + 48;
      (inPicture ? inside : outside) += lit ? 1 : 0;
    }
  }
  EXPECT_GT(inside, 64 * 48 / 2);
  EXPECT_EQ(outside, 0);
}

TEST_F(WorldStartTest, AShortPackNameGetsTheMapExtensionAppended) {
  OpenHostDisplay();
  fs::copy_file(folder_.Path() / "arena.r3x", folder_.Path() / "ab");
  fs::copy_file(folder_.Path() / "arena.amp", folder_.Path() / "ab.amp");
  SetWorld("ab", "arenapc.wld");
  ASSERT_EQ(Start(), 0);
  EXPECT_TRUE(Reports().empty());
}

// One world start failing at a step: what the folder lacks or holds instead, the world named,
// the reports, and the one allocation that fails (none when empty), told by its size and by what
// the start has made so far.
struct FailureCase {
  const char* name;
  std::function<void(const test_support::ScratchFolder&)> change;
  const char* pack;
  const char* world;
  std::vector<std::string> reports;
  std::function<bool(std::size_t)> failsAllocation = {};
};

// Refuses the first allocation that the case names and allows every other one, the reports'
// among them.
class OneFailedAllocation : public platform::AllocationHook {
 public:
  explicit OneFailedAllocation(std::function<bool(std::size_t)> fails) : fails_(std::move(fails)) {}
  bool Allows(std::size_t size) override {
    if (refused_ || !fails_(size)) {
      return true;
    }
    refused_ = true;
    return false;
  }
  bool Refused() const { return refused_; }

 private:
  std::function<bool(std::size_t)> fails_;
  bool refused_ = false;
};

// The allocations of the steps that fail only when memory runs out.
bool FailsWorld(std::size_t size) {
  return size == sizeof(R3xWorld) && gArenaMap != nullptr && gWorld == nullptr;
}
bool FailsRenderContext(std::size_t) { return gWorld != nullptr && gRenderContext == nullptr; }
bool FailsCamera(std::size_t size) {
  return size == sizeof(R3xCamera) && gRenderContext != nullptr && gCamera == nullptr;
}
bool FailsRenderDevice(std::size_t size) {
  return size == sizeof(R3xRenderDevice) && gCamera != nullptr && gRenderDevice == nullptr;
}
bool FailsGlide(std::size_t size) {
  return size == sizeof(R3xGlideContext) && gRenderDevice != nullptr && gGlideContext == nullptr;
}

class WorldStartFailure : public WorldStartTest,
                          public ::testing::WithParamInterface<FailureCase> {};

// The demo's equipment pack with one member left out or replaced.
void RepackEquipment(const test_support::ScratchFolder& folder, const std::string& leaveOut,
                     const std::string& equipWorld) {
  std::vector<mkdata::PackMember> members;
  for (const char* name : kSkyBitmapNames) {
    if (name != leaveOut) {
      members.push_back({name, FileBytes(fs::path(ARENA_DEMO_DIR) / "equip" / name)});
    }
  }
  members.push_back({"equip.wld", std::vector<std::uint8_t>(equipWorld.begin(), equipWorld.end())});
  folder.Write("Equip.r3x", mkdata::BuildPack(members, mkdata::PackLayout::kHeader));
}

// The demo arena's pack without its infra-red palette.
void RepackArenaWithoutInfraRed(const test_support::ScratchFolder& folder) {
  std::vector<mkdata::PackMember> members;
  for (const auto& entry : fs::directory_iterator(fs::path(ARENA_DEMO_DIR) / "arena")) {
    const std::string name = entry.path().filename().string();
    if (name != "pal_Infr.bmp") {
      members.push_back({name, FileBytes(entry.path())});
    }
  }
  folder.Write("arena.r3x", mkdata::BuildPack(members, mkdata::PackLayout::kHeader));
}

// The reports go to an address no mailbox bears in the game (here the test's sink bears it);
// the game's log keeps their texts, so that the player can see why the game ended.
TEST_P(WorldStartFailure, ReportsTheStepAndStopsCompletely) {
  const FailureCase& c = GetParam();
  OpenHostDisplay();
  c.change(folder_);
  SetWorld(c.pack, c.world);
  OpenLog("arena.log");
  if (c.failsAllocation) {
    OneFailedAllocation hook(c.failsAllocation);
    platform::ScopedAllocationHook installed(hook);
    EXPECT_EQ(Start(), 1);
    EXPECT_TRUE(hook.Refused());
  } else {
    EXPECT_EQ(Start(), 1);
  }
  CloseLog();
  EXPECT_EQ(Reports(), c.reports);
  std::string logged;
  for (const std::string& report : c.reports) {
    logged += "00 " + report + "\n";
  }
  EXPECT_EQ(test_support::ReadTestFile(folder_.Path() / "arena.log"), logged);
  gGameSession.StopWorld();
  ExpectTornDown();
  // A second stop finds nothing more to take down.
  gGameSession.StopWorld();
  ExpectTornDown();
}

const std::string kStartFailed = "WORLD:13 [Start World Failed]";

INSTANTIATE_TEST_SUITE_P(
    Steps, WorldStartFailure,
    ::testing::Values(
        FailureCase{"MissingHeightMap",
                    [](const auto& folder) { fs::remove(folder.Path() / "arena.amp"); },
                    "arena.r3x",
                    "arenapc.wld",
                    {"WORLD:2 [Created invalid CArenaMap]"}},
        FailureCase{"DamagedHeightMap",
                    [](const auto& folder) { folder.Write("arena.amp", "not a map"); },
                    "arena.r3x",
                    "arenapc.wld",
                    {"WORLD:2 [Created invalid CArenaMap]"}},
        FailureCase{"NoMemoryForTheWorld",
                    [](const auto&) {},
                    "arena.r3x",
                    "arenapc.wld",
                    {"WORLD:4 [pWorld did not create.]"},
                    FailsWorld},
        FailureCase{"NoMemoryForTheRenderContext",
                    [](const auto&) {},
                    "arena.r3x",
                    "arenapc.wld",
                    {"WORLD:5 [CreateRenderContext initialization failed.]"},
                    FailsRenderContext},
        FailureCase{"NoMemoryForTheCamera",
                    [](const auto&) {},
                    "arena.r3x",
                    "arenapc.wld",
                    {"WORLD:6 [CreateCamera Failed.]"},
                    FailsCamera},
        FailureCase{"MissingLoadingPalette",
                    [](const auto& folder) { fs::remove(folder.Path() / "load.bmp"); },
                    "arena.r3x",
                    "arenapc.wld",
                    {}},
        // The display and Glide steps fail without a report.
        FailureCase{"NoMemoryForTheRenderDevice",
                    [](const auto&) {},
                    "arena.r3x",
                    "arenapc.wld",
                    {},
                    FailsRenderDevice},
        FailureCase{
            "NoMemoryForGlide", [](const auto&) {}, "arena.r3x", "arenapc.wld", {}, FailsGlide},
        FailureCase{"MissingEquipment",
                    [](const auto& folder) { fs::remove(folder.Path() / "Equip.r3x"); },
                    "arena.r3x",
                    "arenapc.wld",
                    {"WORLD:2 [I Can't Open the Equip.r3x.]", kStartFailed}},
        FailureCase{"MissingWorldPack",
                    [](const auto& folder) {
                      fs::copy_file(folder.Path() / "arena.amp", folder.Path() / "absent.amp");
                    },
                    "absent.r3x",
                    "arenapc.wld",
                    {"WORLD:3 [I Can't Open the World (WAD) File.]", kStartFailed}},
        FailureCase{"WorldFileNotInThePack",
                    [](const auto&) {},
                    "arena.r3x",
                    "absent.wld",
                    {"WORLD:4 [Parse Read World From File error.]", kStartFailed}},
        FailureCase{"DamagedWorldFile",
                    [](const auto& folder) {
                      folder.Write("arena.r3x",
                                   mkdata::BuildPack({{"bad.wld", {'Q', 'Z', 'V', '?', '\n'}}},
                                                     mkdata::PackLayout::kHeader));
                    },
                    "arena.r3x",
                    "bad.wld",
                    {"WORLD:4 [Parse Read World From File error.]", kStartFailed}},
        FailureCase{
            "MissingSkyBitmap",
            [](const auto& folder) { RepackEquipment(folder, "moon.bmp", "BEGINFILE 1\n"); },
            "arena.r3x",
            "arenapc.wld",
            {"WORLD:5 [I Can't Load the Sky Bitmap moon.bmp.]", kStartFailed}},
        FailureCase{"DamagedEquipWorld",
                    [](const auto& folder) { RepackEquipment(folder, "", "ENDWORLD nothing\n"); },
                    "arena.r3x",
                    "arenapc.wld",
                    {"WORLD:6 [Parse Read Equip error.]", kStartFailed}},
        FailureCase{"MissingInfraRedPalette",
                    [](const auto& folder) { RepackArenaWithoutInfraRed(folder); },
                    "arena.r3x",
                    "arenapc.wld",
                    {"WORLD:14 [Set pPalette failed.]"}}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST_F(WorldStartTest, AStopFromASmallerFullViewGoesBackTo640x480) {
  OpenHostDisplay();
  ASSERT_EQ(Start(), 0);
  // A full view in a 320 x 240 display mode.
  ASSERT_EQ(gGameSession.view.GiveCameraImage(gCamera, 320, 240), 0);
  ASSERT_EQ(r3xResetRenderDevice(gRenderDevice, gCamera, 1, 0), 0);
  ASSERT_EQ(platform::GetDisplayMode().width, 320);
  SetWindowPos(window_, nullptr, 0, 0, 320, 240, 0);

  gGameSession.StopWorld();
  ExpectTornDown();
  EXPECT_EQ(platform::GetDisplayMode().width, 640);
  EXPECT_EQ(platform::GetDisplayMode().height, 480);
  platform::WindowState state{};
  ASSERT_TRUE(platform::GetWindowState(window_, state));
  EXPECT_EQ(state.width, 640);
  EXPECT_EQ(state.height, 480);
  // The mode changes replaced the host's primary; the one handed back is the live 640 x 480 one.
  ASSERT_NE(host_.primarySurface, nullptr);
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  ASSERT_EQ(host_.primarySurface->GetSurfaceDesc(&desc), DD_OK);
  EXPECT_EQ(desc.dwWidth, 640u);
}

TEST_F(WorldStartTest, TheWorldClockRunsOnTheCRuntimeClock) {
  platform::VirtualClock clock(7654321);
  platform::ScopedProcessClock scopedClock(clock);
  OpenHostDisplay();
  ASSERT_EQ(Start(), 0);
  // The loading picture's present may wait on the clock; the frame time is taken after it.
  EXPECT_EQ(gFrameTime, clock.Milliseconds());
  clock.Advance(40);
  const DWORD tickStart = clock.Milliseconds();
  // A quit waiting for the session ends the frame right after the clock steps.
  CMailbox server;
  server.Post(KIND_SESSION, MSG_QUIT, 0, nullptr);
  gGameSession.Tick();
  EXPECT_EQ(gGameSession.quitFlag, 1u);
  EXPECT_EQ(gFrameTime, tickStart);
  // Counted from the process's start, not the millisecond clock's.
  EXPECT_EQ(gWorld->time, static_cast<std::uint32_t>(platform::CrtClock()));
}

// What the library's load made with the session.
TEST(SessionLoadTest, TheMoverAndTheSmallSphereVolumeExist) {
  EXPECT_NE(gMover, nullptr);
  ASSERT_NE(gSphereVolume02, nullptr);
  EXPECT_EQ(gSphereVolume02->radius, 0.2f);
}

TEST_F(WorldStartTest, AStopAfterAFailedLoginOnlyCloses) {
  OpenHostDisplay();
  IDirectDrawSurface* hostPrimary = host_.primarySurface;
  gGameSession.StopWorld();
  ExpectTornDown();
  EXPECT_EQ(host_.primarySurface, hostPrimary);
  EXPECT_TRUE(frames_.empty()) << "nothing was shown";
}

}  // namespace

namespace {

// A MSG_CREATE_PLAYER_TANK record: the pose in units of 1/32, the momenta, chassis, team, id and
// name.
std::vector<std::uint8_t> PlayerTankRecord(float x, float y, std::uint32_t chassis,
                                           std::uint32_t id) {
  arena::ByteWriter writer;
  for (const float value : {x, y, 1.0f, 0.0f, 0.0f, 0.0f}) {
    writer.I16(static_cast<std::int16_t>(value * 32.0f));
  }
  for (int i = 0; i < 12; ++i) {
    writer.U16(0);
  }
  writer.U32(chassis);
  writer.U32(1);
  writer.U32(id);
  writer.U8('m');
  writer.U8(0);
  return writer.bytes();
}

}  // namespace

// The server's player tank takes over the camera from the overview; a record that is refused or
// a tank that cannot be built leaves the session without one.
TEST_F(WorldStartTest, ThePlayersTankTakesTheCameraUntilTheStop) {
  OpenHostDisplay();
  ASSERT_EQ(Start(), 0);
  const std::uint32_t id = KIND_TANK | 3;
  ASSERT_TRUE(DispatchObjectMessage(gGameSession, MSG_CREATE_PLAYER_TANK,
                                    PlayerTankRecord(100, 100, 0, id)));
  ASSERT_NE(gGameSession.ownTank, nullptr);
  EXPECT_EQ(gGameSession.inPlay, 1u);
  EXPECT_EQ(gOwnTankId, id);
  UpdateObjects(gGameSession);
  EXPECT_NEAR(gCamera->x, gGameSession.ownTank->position[0], 10.0f);
  EXPECT_NEAR(gCamera->y, gGameSession.ownTank->position[1], 10.0f);
  EXPECT_EQ(gCamera->x, gListenerPlacement.x);

  DispatchObjectMessage(gGameSession, MSG_CREATE_PLAYER_TANK, PlayerTankRecord(100, 100, 7, id));
  EXPECT_EQ(gGameSession.ownTank, nullptr) << "a chassis outside 0-4";
  ASSERT_EQ(r3xRemoveTag(gWorld, "TURRET_ACTORDEF"), 0);
  DispatchObjectMessage(gGameSession, MSG_CREATE_PLAYER_TANK, PlayerTankRecord(100, 100, 0, id));
  EXPECT_EQ(gGameSession.ownTank, nullptr) << "a tank part that stopped unfinished";
  EXPECT_EQ(gTankList, nullptr);
  UpdateObjects(gGameSession);

  gGameSession.StopWorld();
  EXPECT_EQ(gGameSession.ownTank, nullptr);
  EXPECT_EQ(gOwnTankId, 0u);
}

TEST_F(WorldStartTest, TheStopDeletesThePlayersTank) {
  OpenHostDisplay();
  ASSERT_EQ(Start(), 0);
  ASSERT_TRUE(DispatchObjectMessage(gGameSession, MSG_CREATE_PLAYER_TANK,
                                    PlayerTankRecord(100, 100, 0, KIND_TANK | 3)));
  ASSERT_NE(gGameSession.ownTank, nullptr);
  gGameSession.StopWorld();
  EXPECT_EQ(gGameSession.ownTank, nullptr);
  EXPECT_EQ(gOwnTankId, 0u);
  EXPECT_EQ(gTankList, nullptr);
}

// The editor message switches the view to 640 x 480 without the cockpit; only the lengths that
// choose a table open the editor.
TEST_F(WorldStartTest, TheParamEditorMessageOpensTheEditorForItsLengths) {
  OpenHostDisplay();
  ASSERT_EQ(Start(), 0);
  for (const std::size_t length : {std::size_t{8}, std::size_t{0}}) {
    ASSERT_TRUE(DispatchObjectMessage(gGameSession, MSG_CREATE_PLAYER_TANK,
                                      PlayerTankRecord(100, 100, 0, KIND_TANK | 3)));
    host_.viewFlags |= kViewFlagCockpit;
    const std::vector<std::uint8_t> payload(length);
    CMailbox::PostAnonymous(kPlayerInputAddress, MSG_PARAM_EDITOR,
                            static_cast<std::uint32_t>(payload.size()), payload.data());
    gGameSession.ownTank->ProcessMessages();
    EXPECT_EQ(host_.viewFlags & kViewFlagCockpit, 0u) << length;
    EXPECT_EQ(host_.screenWidth, 640) << length;
    EXPECT_EQ(gGameSession.ownTank->paramEditorOpen, length == 0 ? 1u : 0u) << length;
    EXPECT_EQ(gGameSession.paramEditor != nullptr, length == 0) << length;
  }
}
