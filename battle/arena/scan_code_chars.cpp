#include "battle/arena/scan_code_chars.h"

#include <string_view>

#include "host/interface/host_record.h"
#include "platform/dinput.h"

namespace {

constexpr std::uint8_t kCtrlOrAlt =
    kModifierLeftAlt | kModifierRightAlt | kModifierLeftCtrl | kModifierRightCtrl;
constexpr std::uint8_t kAnyShift = kModifierLeftShift | kModifierRightShift;

// A run of keys with consecutive scan codes and their characters in both tables.
struct KeyRun {
  int first;
  std::string_view unshifted;
  std::string_view shifted;
};

// Where both tables agree, the shifted text repeats the unshifted.
constexpr KeyRun kKeyRuns[] = {
    {DIK_ESCAPE, "\x1B", "\x1B"},
    {DIK_1, "1234567890-=\b\t", "!@#$%^&*()_+\b\t"},
    {DIK_Q, "qwertyuiop[]\r", "QWERTYUIOP{}\r"},
    {DIK_A, "asdfghjkl;'`", "ASDFGHJKL:\"~"},
    {DIK_BACKSLASH, "\\zxcvbnm,./", "|ZXCVBNM<>?"},
    {DIK_MULTIPLY, "*", "*"},
    {DIK_SPACE, " ", " "},
    {DIK_NUMPAD7, "789-456+1230.", "789-456+1230."},
    {DIK_NUMPADEQUALS, "=", "="},
    {DIK_AT, "@:_", "@:_"},
    {DIK_NUMPADENTER, "\r", "\r"},
    {DIK_NUMPADCOMMA, ",", ","},
    {DIK_DIVIDE, "/", "/"},
    {DIK_DELETE, "\x7F", "\x7F"},
};

constexpr ScanCodeChars MakeTable(bool shifted) {
  ScanCodeChars table{};
  for (const KeyRun& run : kKeyRuns) {
    const std::string_view text = shifted ? run.shifted : run.unshifted;
    for (std::size_t i = 0; i < text.size(); ++i) {
      table[static_cast<std::size_t>(run.first) + i] = text[i];
    }
  }
  return table;
}

constexpr bool RunsAreWhole() {
  for (const KeyRun& run : kKeyRuns) {
    if (run.unshifted.size() != run.shifted.size() ||
        run.first + run.unshifted.size() > std::size_t{256}) {
      return false;
    }
  }
  return true;
}
static_assert(RunsAreWhole());

constexpr ScanCodeChars kUnshifted = MakeTable(false);
constexpr ScanCodeChars kShifted = MakeTable(true);
static_assert(kUnshifted[DIK_SLASH] == '/' && kShifted[DIK_SLASH] == '?');
static_assert(kUnshifted[DIK_NUMPAD0] == '0' && kUnshifted[DIK_DECIMAL] == '.');
static_assert(kUnshifted[DIK_LSHIFT] == 0 && kUnshifted[DIK_RSHIFT] == 0);

}  // namespace

const ScanCodeChars kUnshiftedChars = kUnshifted;
const ScanCodeChars kShiftedChars = kShifted;

char ScanCodeToChar(const KeyboardRecord& record) {
  if ((record.state & kCtrlOrAlt) != 0) {
    return 0;
  }
  return (record.state & kAnyShift) != 0 ? kShiftedChars[record.scanCode]
                                         : kUnshiftedChars[record.scanCode];
}
