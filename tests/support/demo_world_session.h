// The game session in the demo arena, as the game runs it: the headless display behind the
// host's exclusive 640 x 480 x 8 display, the demo's packs, height map and loading picture in a
// scratch working folder, and the world started. The world is stopped when it goes.
#pragma once

#include "host/interface/host_record.h"
#include "platform/window/handles.h"
#include "tests/support/scoped_window_system.h"
#include "tests/support/scoped_working_folder.h"
#include "tests/support/scratch_folder.h"

namespace test_support {

class DemoWorldSession {
 public:
  DemoWorldSession();
  ~DemoWorldSession();
  DemoWorldSession(const DemoWorldSession&) = delete;
  DemoWorldSession& operator=(const DemoWorldSession&) = delete;

  // Whether the host display opened and the world started.
  bool Started() const { return started_; }

 private:
  ScopedWindowSystem windowSystem_;
  ScratchFolder folder_{"demo_world"};
  ScopedWorkingFolder working_{folder_.Path()};
  HWND window_ = nullptr;
  HostRecord host_{};
  bool started_ = false;
};

}  // namespace test_support
