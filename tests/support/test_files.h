// Whole-file writes and reads for tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace test_support {

// Writes the file, making its folders first; throws when it cannot.
void WriteTestFile(const std::filesystem::path& file, std::string_view contents);
void WriteTestFile(const std::filesystem::path& file, std::span<const std::uint8_t> bytes);
// The whole file; empty when it cannot be read.
std::string ReadTestFile(const std::filesystem::path& file);

}  // namespace test_support
