#include "platform/glide/call_log.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
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

// The call under way, kept without allocating since every draw passes here. Tables are kept when
// they are a texture's four info codes; the fog table and the palette hold no codes.
struct CallUnderWay {
  const char* name = "";
  std::array<double, 8> args{};
  std::size_t argCount = 0;
  std::array<std::uint32_t, 4> codes{};
  std::size_t codeCount = 0;
};

CallUnderWay& UnderWay() {
  static CallUnderWay call;
  return call;
}

// The calls already said to have passed an unknown code.
std::vector<const char*>& Noted() {
  static std::vector<const char*> names;
  return names;
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
  CallUnderWay& call = UnderWay();
  call.name = name;
  call.argCount = std::min(args.size(), call.args.size());
  std::copy_n(args.begin(), call.argCount, call.args.begin());
  call.codeCount = table.size() <= call.codes.size() ? table.size() : 0;
  std::copy_n(table.begin(), call.codeCount, call.codes.begin());
  CallLog& log = Log();
  if (!log.on) {
    return;
  }
  log.calls.push_back(RecordedCall{name, std::vector<double>(args),
                                   std::vector<GrVertex>(vertices.begin(), vertices.end()),
                                   std::vector<std::uint32_t>(table.begin(), table.end())});
}

void NoteUnknownCode() {
  const CallUnderWay& call = UnderWay();
  std::vector<const char*>& noted = Noted();
  const bool said = std::any_of(noted.begin(), noted.end(), [&](const char* name) {
    return std::strcmp(name, call.name) == 0;
  });
  if (said) {
    return;
  }
  noted.push_back(call.name);
  RecordedCall text{call.name, {call.args.begin(), call.args.begin() + call.argCount}, {}, {}};
  std::string codes;
  for (std::size_t i = 0; i < call.codeCount; ++i) {
    codes += (i == 0 ? " with texture codes " : ", ") + std::to_string(call.codes[i]);
  }
  std::fprintf(stderr,
               "software board: %s%s passes a code outside the game's list; ignored (said once "
               "for this call)\n",
               text.Text().c_str(), codes.c_str());
  std::fflush(stderr);
}

void ForgetUnknownCodeNotes() { Noted().clear(); }

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
