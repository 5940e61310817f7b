// "config.dat": any bytes as the file, every record read and written in memory, then the design
// screen's check-or-create, load and save on the file itself.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "battle/screens/configuration_file.h"
#include "battle/screens/design_screen.h"
#include "tests/support/scoped_working_folder.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_files.h"

namespace {

// Made once and removed at exit; the working folder for the file steps.
const test_support::ScratchFolder& Folder() {
  static const test_support::ScratchFolder folder("config_file_fuzz");
  static const test_support::ScopedWorkingFolder working(folder.Path());
  return folder;
}

void Check(bool holds) {
  if (!holds) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> file(data, size);
  const bool magic = HasConfigurationMagic(file);
  Loadout written{};
  for (std::size_t entry = 0; entry < written.size(); ++entry) {
    written[entry] = entry < size ? data[entry] % kModuleSlotCount : 0;
    if (!kModuleCatalogue[written[entry]].Filled()) {
      written[entry] = 0;
    }
  }
  for (int chassis = 0; chassis < kConfigurationChassisRoom; ++chassis) {
    for (int configuration = 0; configuration < kConfigurationsPerChassis; ++configuration) {
      const std::size_t end =
          ConfigurationOffset(chassis, configuration) + kConfigurationRecordSize;
      const auto record = ReadConfiguration(file, chassis, configuration);
      Check(record.has_value() == (magic && size >= end));
      if (record) {
        for (const std::uint32_t slot : *record) {
          Check(slot < kModuleSlotCount && kModuleCatalogue[slot].Filled());
        }
      }
      const auto saved = WriteConfiguration(file, chassis, configuration, written);
      Check(saved.has_value() == magic);
      if (saved) {
        Check(saved->size() == std::max(size, end));
        Check(ReadConfiguration(*saved, chassis, configuration) == written);
        Check(std::equal(saved->begin(),
                         saved->begin() + static_cast<std::ptrdiff_t>(
                                              std::min(size, end - kConfigurationRecordSize)),
                         file.begin()));
      }
    }
  }

  const test_support::ScratchFolder& folder = Folder();
  test_support::WriteTestFile(folder / kConfigurationFileName, file);
  CDesignScreen screen;
  const int chassis = size > 0 ? data[0] % kChassisCount : 0;
  const int configuration = size > 1 ? data[1] % kConfigurationsPerChassis : 0;
  screen.SetChassis(chassis);
  screen.CheckOrCreateConfigurations();
  const std::string after = test_support::ReadTestFile(folder / kConfigurationFileName);
  const std::span<const std::uint8_t> kept(reinterpret_cast<const std::uint8_t*>(after.data()),
                                           after.size());
  Check(HasConfigurationMagic(kept));
  const bool whole =
      kept.size() >= ConfigurationOffset(chassis, configuration) + kConfigurationRecordSize;
  Check(screen.LoadConfiguration(configuration) == whole);
  screen.GetLoadout() = written;
  Check(screen.SaveConfiguration() == whole);
  Check(!whole || screen.GetStoredConfiguration() == written);
  return 0;
}
