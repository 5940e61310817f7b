#include "tests/support/direct_draw_faults.h"

#include <algorithm>

namespace test_support {

namespace {

bool Has(DWORD caps, DWORD wanted) { return (caps & wanted) == wanted; }

}  // namespace

DirectDrawFaults::DirectDrawFaults(const std::vector<Fault>& faults) {
  for (const Fault& fault : faults) {
    rules_.push_back({fault});
  }
}

HRESULT DirectDrawFaults::Answer(platform::DirectDrawCall call, DWORD caps) {
  std::lock_guard lock(mutex_);
  calls_.emplace_back(call, caps);
  HRESULT answer = DD_OK;
  for (Rule& rule : rules_) {
    if (rule.fault.call != call || !Has(caps, rule.fault.caps)) {
      continue;
    }
    const int seen = rule.seen++;
    const bool failing = seen >= rule.fault.after && (rule.fault.times == kAlways ||
                                                      seen < rule.fault.after + rule.fault.times);
    if (failing && answer == DD_OK) {
      answer = rule.fault.answer;
    }
  }
  return answer;
}

std::vector<platform::DirectDrawCall> DirectDrawFaults::Calls(DWORD caps) const {
  std::lock_guard lock(mutex_);
  std::vector<platform::DirectDrawCall> calls;
  for (const auto& [call, objectCaps] : calls_) {
    if (Has(objectCaps, caps)) {
      calls.push_back(call);
    }
  }
  return calls;
}

int DirectDrawFaults::Count(platform::DirectDrawCall call, DWORD caps) const {
  const std::vector<platform::DirectDrawCall> calls = Calls(caps);
  return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

}  // namespace test_support
