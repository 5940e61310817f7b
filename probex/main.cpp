// The system check program. Headless, the dialog prints its final texts and the program exits
// with its problem word, so that a script can judge the machine.
#include <algorithm>
#include <cstdio>

#include "platform/backend/display_backend.h"
#include "platform/backend/headless_backend.h"
#include "probex/probex_state.h"
#include "probex/resources.h"
#include "probex/system_check_dialog.h"

namespace {

// An exit status holds 8 bits: a word beyond them exits with 255, and the printed word is whole.
constexpr DWORD kLargestStatus = 255;

}  // namespace

int main() {
  RegisterProbexResources();
  const int result = WinMain(nullptr, nullptr, nullptr, 0);
  if (dynamic_cast<platform::HeadlessBackend*>(&platform::GetDisplayBackend()) == nullptr) {
    return result;
  }
  const DWORD word = Probex().problemWord.load();
  std::printf("problem word: 0x%03X\n", static_cast<unsigned>(word));
  return static_cast<int>(std::min(word, kLargestStatus));
}
