#pragma once
// Shared by the decoder tests: loading the fixtures that make_fixtures.sh writes into
// $VARNELT_FIXTURES, reading reference PPMs, and comparing a decoded picture with one.
//
// Without VARNELT_FIXTURES a fixture test is skipped; with it, a missing fixture fails.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "imaging/decoded_picture.h"

namespace varnelt::testing {

using Bytes = std::vector<std::uint8_t>;

bool FixturesConfigured();
std::string FixturePath(const std::string& name);
std::optional<Bytes> ReadFileBytes(const std::string& path);

// A decoded reference picture: red, green, blue, top row first.
struct RgbImage {
  std::size_t width = 0;
  std::size_t height = 0;
  Bytes pixels;
};

// A binary PPM (P6) with a maximum value of 255.
std::optional<RgbImage> ParsePpm(const Bytes& bytes);

// The picture as red, green, blue, top row first, read through the layout of its kind;
// nothing when the block does not have that layout's size. Icons have no pixels.
std::optional<RgbImage> PictureToRgb(const DecodedPicture& picture);

// A test name from a fixture file name: the name without its extension.
std::string FixtureTestName(const ::testing::TestParamInfo<std::string>& param);

// Compares the top `rows` rows (all when 0) and reports the first differing pixel.
::testing::AssertionResult SameRgb(const RgbImage& expected, const RgbImage& actual, std::size_t rows = 0);

}  // namespace varnelt::testing

// Loads fixture NAME into a Bytes variable VAR, skipping the test when no fixture folder
// is configured and failing it when the file is missing.
#define VARNELT_LOAD_FIXTURE(var, name)                                                        \
  if (!::varnelt::testing::FixturesConfigured()) GTEST_SKIP() << "VARNELT_FIXTURES is not set"; \
  const auto var##_loaded = ::varnelt::testing::ReadFileBytes(::varnelt::testing::FixturePath(name)); \
  ASSERT_TRUE(var##_loaded.has_value()) << "missing fixture " << ::varnelt::testing::FixturePath(name); \
  const ::varnelt::testing::Bytes& var = *var##_loaded
