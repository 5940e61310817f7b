#include "battle/screens/configuration_file.h"

#include "base/byte_reader.h"
#include "base/byte_writer.h"

bool HasConfigurationMagic(std::span<const std::uint8_t> file) {
  arena::ByteReader reader(file);
  const std::uint32_t magic = reader.U32();
  return reader.ok() && magic == kConfigurationMagic;
}

std::optional<Loadout> ReadConfiguration(std::span<const std::uint8_t> file, int chassis,
                                         int configuration) {
  if (!HasConfigurationMagic(file)) {
    return std::nullopt;
  }
  arena::ByteReader reader(file);
  reader.Seek(ConfigurationOffset(chassis, configuration));
  Loadout loadout{};
  for (std::uint32_t& entry : loadout) {
    entry = reader.U32();
    if (entry >= static_cast<std::uint32_t>(kModuleSlotCount) ||
        !kModuleCatalogue[entry].Filled()) {
      entry = 0;
    }
  }
  if (!reader.ok()) {
    return std::nullopt;
  }
  return loadout;
}

std::optional<std::vector<std::uint8_t>> WriteConfiguration(std::span<const std::uint8_t> file,
                                                            int chassis, int configuration,
                                                            const Loadout& loadout) {
  if (!HasConfigurationMagic(file)) {
    return std::nullopt;
  }
  const std::size_t offset = ConfigurationOffset(chassis, configuration);
  arena::ByteWriter writer(std::vector<std::uint8_t>(file.begin(), file.end()));
  if (writer.size() < offset + kConfigurationRecordSize) {
    writer.Zeros(offset + kConfigurationRecordSize - writer.size());
  }
  for (std::size_t entry = 0; entry < loadout.size(); ++entry) {
    writer.PatchU32(offset + entry * 4, loadout[entry]);
  }
  return writer.Take();
}

std::vector<std::uint8_t> EmptyConfigurationFile() {
  arena::ByteWriter writer;
  writer.U32(kConfigurationMagic);
  writer.Zeros(kConfigurationFileSize - 4);
  return writer.Take();
}
