#include "platform/glide/call_log.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "platform/glide/board_control.h"

namespace platform::glide {
namespace {

struct CallLog {
  bool on = false;
  std::vector<RecordedCall> calls;
};

CallLog& Log() {
  static CallLog log;
  return log;
}

}  // namespace

std::string RecordedCall::Text() const {
  std::string text = name + "(";
  for (std::size_t i = 0; i < args.size(); ++i) {
    char number[32];
    const double value = args[i];
    if (std::nearbyint(value) == value && std::fabs(value) < 1e15) {
      std::snprintf(number, sizeof number, "%lld", static_cast<long long>(value));
    } else {
      std::snprintf(number, sizeof number, "%g", value);
    }
    text += (i == 0 ? "" : ", ");
    text += number;
  }
  return text + ")";
}

bool Recording() { return Log().on; }

void Record(const char* name, std::initializer_list<double> args,
            std::span<const GrVertex> vertices, std::span<const std::uint32_t> table) {
  CallLog& log = Log();
  if (!log.on) {
    return;
  }
  log.calls.push_back(RecordedCall{name, std::vector<double>(args),
                                   std::vector<GrVertex>(vertices.begin(), vertices.end()),
                                   std::vector<std::uint32_t>(table.begin(), table.end())});
}

void StartRecording() {
  Log().calls.clear();
  Log().on = true;
}

void StopRecording() { Log().on = false; }

const std::vector<RecordedCall>& RecordedCalls() { return Log().calls; }

std::vector<std::string> RecordedCallTexts() {
  std::vector<std::string> texts;
  for (const RecordedCall& call : Log().calls) {
    texts.push_back(call.Text());
  }
  return texts;
}

}  // namespace platform::glide
