// Comparing a rendered contact sheet with the golden image kept in the
// source tree. The sheet is always written to the build folder for a person
// to look at; ORVANTA_UPDATE_GOLDEN=1 replaces the golden image instead of
// comparing, and a mismatch leaves a diff image with the differing pixels
// in red.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "PngImage.h"

namespace themetest {

// AName is the file name in the build folder; ASourcePath the golden
// image's path below the source folder.
inline void ExpectMatchesGolden(const Image& AImage, const std::string& AName, const std::string& ASourcePath) {
  ASSERT_TRUE(WritePng(AName, AImage));
  const char* root = std::getenv("ORVANTA_SOURCE_DIR");
  ASSERT_NE(root, nullptr) << "run through ctest, which names the source folder";
  const std::string golden = std::string(root) + "/" + ASourcePath;
  if (const char* update = std::getenv("ORVANTA_UPDATE_GOLDEN"); update && std::string(update) == "1") {
    ASSERT_TRUE(WritePng(golden, AImage));
    GTEST_SKIP() << "golden image written: " << golden;
  }
  Image want;
  ASSERT_TRUE(ReadPng(golden, want)) << golden;
  ASSERT_EQ(want.Width, AImage.Width);
  ASSERT_EQ(want.Height, AImage.Height);
  int differ = 0;
  Image diff = AImage;
  for (std::size_t i = 0; i < AImage.Pixels.size(); ++i)
    if (AImage.Pixels[i] != want.Pixels[i]) {
      ++differ;
      diff.Pixels[i] = 0xFF0000;
    }
  const std::string diffName = AName.substr(0, AName.rfind('.')) + "-diff.png";
  if (differ) WritePng(diffName, diff);
  EXPECT_EQ(differ, 0) << "pixels differ from the golden image; see " << AName << " and " << diffName
                       << " in the build folder";
}

}  // namespace themetest
