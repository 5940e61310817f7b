// The board tests' reference pictures: 64 x 64 rectangles of the back buffer, kept in
// tests/platform_glide/reference (ARENA_UPDATE_REFERENCES=1 rewrites them).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tests/support/reference_picture.h"

// Compares the back buffer's 64 x 64 rectangle at (x, y) with the reference picture `name`.png.
inline ::testing::AssertionResult MatchesReference(const std::string& name, int x, int y) {
  const std::string difference = test_support::CompareWithReferencePicture(
      std::string(ARENA_REFERENCE_DIR) + "/" + name + ".png", x, y, 64, 64);
  if (!difference.empty()) {
    return ::testing::AssertionFailure() << difference;
  }
  return ::testing::AssertionSuccess();
}
