// Tests where a picture lands in a panel for each display mode.
#include <gtest/gtest.h>

#include "imaging/placement.h"

namespace varnelt {
namespace {

TEST(PlacePicture, CentredAndShrunkInThePhotoSlot) {
  struct Case {
    std::int32_t pw, ph;
    PlacedRect expected;
  };
  const Case cases[] = {
      {100, 50, {20, 88, 100, 50}},      // fits: centred at its own size
      {300, 100, {0, 89, 141, 47}},      // too wide: shrunk to the width
      {1000, 1000, {0, 42, 141, 141}},   // too large both ways
      {160, 120, {0, 60, 141, 105}},
      {141, 226, {0, 0, 141, 226}},      // exactly the slot
      {100, 500, {47, 0, 45, 226}},      // too tall: shrunk to the height, centred
      {1, 1, {70, 112, 1, 1}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PlacePicture(2, 141, 226, c.pw, c.ph), c.expected) << c.pw << "x" << c.ph;
  }
}

TEST(PlacePicture, NaturalSizeAndStretched) {
  EXPECT_EQ(PlacePicture(0, 141, 226, 282, 452), (PlacedRect{0, 0, 282, 452}));
  EXPECT_EQ(PlacePicture(0, 141, 226, 10, 20), (PlacedRect{0, 0, 10, 20}));
  EXPECT_EQ(PlacePicture(1, 141, 226, 282, 452), (PlacedRect{0, 0, 141, 226}));
  EXPECT_EQ(PlacePicture(1, 141, 226, 100, 100), (PlacedRect{0, 0, 141, 226}));
}

TEST(PlacePicture, ModesOutsideTheRangeAreClamped) {
  EXPECT_EQ(PlacePicture(-3, 141, 226, 10, 20), PlacePicture(0, 141, 226, 10, 20));
  EXPECT_EQ(PlacePicture(9, 141, 226, 300, 100), PlacePicture(2, 141, 226, 300, 100));
}

}  // namespace
}  // namespace varnelt
