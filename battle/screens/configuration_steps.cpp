// The design screen's steps on "config.dat": check or create, load and save. The file is opened
// and closed for each step; nothing is kept beyond the stored configuration.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "battle/core/log.h"
#include "battle/screens/configuration_file.h"
#include "battle/screens/design_screen.h"

namespace {

constexpr char kTemporarySuffix[] = ".new";

// The whole file, or nothing when it does not open or cannot be read.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const char* path) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> bytes;
  std::uint8_t block[4096];
  std::size_t got = 0;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
    bytes.insert(bytes.end(), block, block + got);
  }
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    return std::nullopt;
  }
  return bytes;
}

// Writes the whole file beside the old one and renames it over it, so a crash or a full disk
// leaves the old file or the new one, never half of one.
bool ReplaceFile(const char* path, const std::vector<std::uint8_t>& bytes) {
  const std::string temporary = std::string(path) + kTemporarySuffix;
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) {
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed || std::rename(temporary.c_str(), path) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace

void CDesignScreen::CheckOrCreateConfigurations() {
  if (const std::optional<std::vector<std::uint8_t>> file = ReadWholeFile(kConfigurationFileName);
      file && !HasConfigurationMagic(*file)) {
    // The original deleted a damaged file, and every saved configuration in it with it.
    std::remove(kDamagedConfigurationFileName);
    if (std::rename(kConfigurationFileName, kDamagedConfigurationFileName) == 0) {
      LogPrintf(0, "%s is damaged (no magic); kept as %s, an empty one is made",
                kConfigurationFileName, kDamagedConfigurationFileName);
    } else {
      std::remove(kConfigurationFileName);
    }
  }
  if (std::FILE* file = std::fopen(kConfigurationFileName, "rb"); file != nullptr) {
    std::fclose(file);
    return;
  }
  ReplaceFile(kConfigurationFileName, EmptyConfigurationFile());
}

bool CDesignScreen::LoadConfiguration(int configuration) {
  const std::optional<std::vector<std::uint8_t>> file = ReadWholeFile(kConfigurationFileName);
  if (!file) {
    return false;
  }
  // Read whole or not at all: the original overwrote the stored configuration with a short
  // record's first entries.
  const std::optional<Loadout> record = ReadConfiguration(*file, chassis_, configuration);
  if (!record) {
    return false;
  }
  storedConfiguration_ = *record;
  currentConfiguration_ = configuration;
  return true;
}

bool CDesignScreen::SaveConfiguration() {
  if (currentConfiguration_ < 0) {
    return false;
  }
  const std::optional<std::vector<std::uint8_t>> file = ReadWholeFile(kConfigurationFileName);
  if (!file) {
    return false;
  }
  const std::optional<std::vector<std::uint8_t>> saved =
      WriteConfiguration(*file, chassis_, currentConfiguration_, loadout_);
  if (!saved || !ReplaceFile(kConfigurationFileName, *saved)) {
    return false;
  }
  return LoadConfiguration(currentConfiguration_);
}
