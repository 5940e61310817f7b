// Reference pictures of small regions of the back buffer, kept in the repository as PNG files.
// With ARENA_UPDATE_REFERENCES=1 in the environment a comparison rewrites its picture instead.
#pragma once

#include <gtest/gtest.h>

#include <string>

// Compares the back buffer's region (x, y, 64 x 64) with the reference picture `name`.png; a
// difference names the first differing pixel.
::testing::AssertionResult MatchesReference(const std::string& name, int x, int y);
