// Makes chosen DirectDraw and Direct3D calls fail through the platform's DirectDraw fault hook
// (a lost surface, video memory running out, a refused step), and records every call that asks
// the hook.
#pragma once

#include <mutex>
#include <utility>
#include <vector>

#include "platform/ddraw/direct_draw_faults.h"

namespace test_support {

class DirectDrawFaults : public platform::DirectDrawFaultHook {
 public:
  static constexpr int kAlways = -1;
  // Calls of `call` on objects having every bit of `caps` (0: any object) answer `answer`: the
  // first `after` of them go through, the next `times` (kAlways: all) fail.
  struct Fault {
    platform::DirectDrawCall call;
    DWORD caps;
    HRESULT answer;
    int times = 1;
    int after = 0;
  };

  explicit DirectDrawFaults(const std::vector<Fault>& faults = {});
  DirectDrawFaults(const DirectDrawFaults&) = delete;
  DirectDrawFaults& operator=(const DirectDrawFaults&) = delete;

  HRESULT Answer(platform::DirectDrawCall call, DWORD caps) override;
  // The calls asked about so far on objects having every bit of `caps`, in order.
  std::vector<platform::DirectDrawCall> Calls(DWORD caps = 0) const;
  // How many of them were `call`.
  int Count(platform::DirectDrawCall call, DWORD caps = 0) const;

 private:
  struct Rule {
    Fault fault;
    int seen = 0;
  };

  mutable std::mutex mutex_;
  std::vector<Rule> rules_;
  std::vector<std::pair<platform::DirectDrawCall, DWORD>> calls_;
  // Last, so that the hook is installed once the rules are ready.
  platform::ScopedDirectDrawFaultHook installed_{*this};
};

}  // namespace test_support
