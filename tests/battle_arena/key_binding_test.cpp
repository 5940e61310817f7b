#include "battle/arena/key_binding.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/byte_writer.h"
#include "battle/arena/built_in_key_bindings.h"
#include "battle/arena/player_key_bindings.h"
#include "battle/core/log.h"
#include "platform/dinput.h"
#include "tests/support/scoped_working_folder.h"
#include "tests/support/scratch_folder.h"

void PrintTo(const KeyBinding& binding, std::ostream* out) {
  *out << "{group " << binding.group << ", press 0x" << std::hex << binding.pressCommand << std::dec
       << "}";
}

namespace {

std::vector<std::uint8_t> ControlFile(std::uint32_t version, std::uint32_t count,
                                      const std::vector<KeyBinding>& rows) {
  arena::ByteWriter writer;
  writer.U32(version);
  writer.U32(count);
  for (const KeyBinding& binding : rows) {
    writer.I32(binding.group);
    for (const KeyChord& chord : binding.chords) {
      writer.I32(chord.code);
      writer.I32(chord.device);
      writer.I32(chord.modifiers);
    }
    writer.I32(binding.flags);
    writer.I32(binding.pressCommand);
    writer.I32(binding.releaseCommand);
  }
  return writer.Take();
}

// The table's records up to and with the terminating one.
std::vector<KeyBinding> Records(const KeyBinding* table) {
  std::vector<KeyBinding> records;
  do {
    records.push_back(*table);
  } while ((table++)->group >= 0);
  return records;
}

std::vector<KeyBinding> BuiltInRows(std::size_t count) {
  return {kBuiltInKeyBindings.begin(), kBuiltInKeyBindings.begin() + count};
}

// The player's own table: the built-in rows with other commands.
std::vector<KeyBinding> OwnRows(std::size_t count) {
  std::vector<KeyBinding> rows;
  for (std::size_t i = 0; i < count; ++i) {
    KeyBinding binding = kBuiltInKeyBindings[i % kBuiltInKeyBindingRows];
    binding.pressCommand = 0x1002 + static_cast<std::int32_t>(i % 100);
    rows.push_back(binding);
  }
  return rows;
}

std::vector<KeyBinding> WithTerminator(std::vector<KeyBinding> rows) {
  rows.push_back(KeyBinding{-1, {kNoChord, kNoChord, kNoChord}, 0, 0, 0});
  return rows;
}

constexpr KeyChord kSpace{DIK_SPACE, kKeyboardDevice, 0};

// Forty rows whose row 3 takes Space from the built-in row 41 (Fire).
std::vector<KeyBinding> FortyRowsTakingSpace() {
  std::vector<KeyBinding> rows = BuiltInRows(40);
  rows[3].chords[0] = kSpace;
  return rows;
}

std::vector<KeyBinding> FortyRowsTakingSpaceLoaded() {
  std::vector<KeyBinding> rows = BuiltInRows(kBuiltInKeyBindingRows);
  rows[3].chords[0] = kSpace;
  rows[41].chords[0] = kNoChord;  // the joystick's button 0 stays
  return WithTerminator(rows);
}

struct LoadCase {
  const char* name;
  std::vector<std::uint8_t> file;
  // Empty: refused.
  std::vector<KeyBinding> expected;
  // A text the log must show.
  const char* logged;
};

void PrintTo(const LoadCase& c, std::ostream* out) { *out << c.name; }

class LoadKeyBindingsTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadKeyBindingsTest, LoadsOrRefusesTheFile) {
  const LoadCase& c = GetParam();
  test_support::ScratchFolder folder("key_binding");
  const std::string log = folder / "arena.log";
  OpenLog(log.c_str());
  const KeyBindingTable table = LoadKeyBindings(folder.Write("control.dat", c.file).c_str());
  CloseLog();
  if (c.expected.empty()) {
    EXPECT_EQ(table, nullptr);
  } else {
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(Records(table.get()), c.expected);
  }
  std::ifstream in(log);
  const std::string text{std::istreambuf_iterator<char>(in), {}};
  if (c.logged != nullptr) {
    EXPECT_NE(text.find(c.logged), std::string::npos) << text;
  } else {
    EXPECT_EQ(text, "");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoadKeyBindingsTest,
    ::testing::Values(
        LoadCase{"VersionOne", ControlFile(1, 0, {}), {}, nullptr},
        LoadCase{"ShortHeader", {0, 0, 0, 0, 0, 0}, {}, nullptr},
        LoadCase{"NoRows", ControlFile(0, 0, {}), BuiltInRows(kBuiltInKeyBindingRows + 1), nullptr},
        LoadCase{"FortyRows", ControlFile(0, 40, FortyRowsTakingSpace()),
                 FortyRowsTakingSpaceLoaded(), nullptr},
        LoadCase{"AllRows", ControlFile(0, 79, OwnRows(79)), WithTerminator(OwnRows(79)), nullptr},
        LoadCase{"MoreRows", ControlFile(0, 100, OwnRows(100)), WithTerminator(OwnRows(100)),
                 nullptr},
        LoadCase{"CutRecordBlock",
                 [] {
                   std::vector<std::uint8_t> file = ControlFile(0, 10, OwnRows(10));
                   file.resize(file.size() - 26);
                   return file;
                 }(),
                 {},
                 "10 key bindings need 520 bytes, the file has 494"},
        LoadCase{"HugeCount",
                 ControlFile(0, 0xFFFFFFFF, OwnRows(2)),
                 {},
                 "4294967295 key bindings is more than 4096"},
        LoadCase{"CountAboveTheBound",
                 ControlFile(0, 4097, OwnRows(4097)),
                 {},
                 "4097 key bindings is more than 4096"}),
    [](const auto& info) { return info.param.name; });

TEST(LoadKeyBindingsTest, AMissingFileGivesNoTable) {
  test_support::ScratchFolder folder("key_binding");
  EXPECT_EQ(LoadKeyBindings((folder / "control.dat").c_str()), nullptr);
}

// The allocator hands out blocks filled with a pattern (glibc's perturbation; sanitizer builds
// ignore it), so a terminating record left unwritten would show it.
TEST(LoadKeyBindingsTest, TheTerminatingRecordIsZeroBesidesItsGroup) {
  test_support::ScratchFolder folder("key_binding");
  const std::string name = folder.Write("control.dat", ControlFile(0, 79, OwnRows(79)));
  mallopt(M_PERTURB, 0x5A);
  const KeyBindingTable table = LoadKeyBindings(name.c_str());
  mallopt(M_PERTURB, 0);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table[79], (KeyBinding{-1, {kNoChord, kNoChord, kNoChord}, 0, 0, 0}));
}

TEST(PlayerKeyBindingsTest, AMissingFileGivesTheBuiltInTableNeverFreed) {
  test_support::ScratchFolder folder("key_binding");
  const test_support::ScopedWorkingFolder working(folder.Path());
  {
    const CPlayerKeyBindings bindings;
    EXPECT_TRUE(bindings.IsBuiltIn());
    EXPECT_EQ(bindings.Table(), kBuiltInKeyBindings.data());
  }
  // Freeing the built-in table does nothing (a sanitizer build would report a bad free).
  FreeKeyBindings(const_cast<KeyBinding*>(kBuiltInKeyBindings.data()));
  EXPECT_EQ(kBuiltInKeyBindings[0].pressCommand, 0x1057);
}

TEST(PlayerKeyBindingsTest, ALoadedFileIsPlayedWith) {
  test_support::ScratchFolder folder("key_binding");
  const test_support::ScopedWorkingFolder working(folder.Path());
  folder.Write("control.dat", ControlFile(0, 79, OwnRows(79)));
  const CPlayerKeyBindings bindings;
  EXPECT_FALSE(bindings.IsBuiltIn());
  EXPECT_EQ(Records(bindings.Table()), WithTerminator(OwnRows(79)));
}

struct FindCase {
  const char* name;
  KeyChord chord;
  // Row of the built-in table, or -1 for none.
  int row;
};

class FindKeyBindingTest : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindKeyBindingTest, FindsTheRowOfTheExactChord) {
  const FindCase& c = GetParam();
  const KeyBinding* found =
      FindKeyBinding(kBuiltInKeyBindings.data(), c.chord.device, c.chord.code, c.chord.modifiers);
  EXPECT_EQ(found == nullptr ? -1 : found - kBuiltInKeyBindings.data(), c.row);
}

INSTANTIATE_TEST_SUITE_P(
    Chords, FindKeyBindingTest,
    ::testing::Values(FindCase{"F1", {DIK_F1, kKeyboardDevice, 0}, 26},
                      FindCase{"ShiftF1", {DIK_F1, kKeyboardDevice, kShift}, 70},
                      FindCase{"ShiftCtrlF1", {DIK_F1, kKeyboardDevice, kShift | kCtrl}, -1},
                      FindCase{"CtrlF", {DIK_F, kKeyboardDevice, kCtrl}, 48},
                      FindCase{"SecondChord", {1, kJoystickDevice, 0}, 13},
                      FindCase{"HatBack", {kHatBack, kJoystickDevice, 0}, 25},
                      FindCase{"LastRow", {DIK_R, kKeyboardDevice, 0}, 78},
                      FindCase{"Unbound", {DIK_K, kKeyboardDevice, 0}, -1}),
    [](const auto& info) { return info.param.name; });

TEST(FindKeyBindingTest, TheEarlierOfTwoRowsWins) {
  std::vector<KeyBinding> table = WithTerminator(OwnRows(3));
  table[2].chords[1] = table[0].chords[0];
  EXPECT_EQ(FindKeyBinding(table.data(), kKeyboardDevice, DIK_1, 0), &table[0]);
}

TEST(FindKeyBindingTest, AnEmptyTableFindsNothing) {
  const std::vector<KeyBinding> table = WithTerminator({});
  EXPECT_EQ(FindKeyBinding(table.data(), 0, 0, 0), nullptr);
}

}  // namespace
