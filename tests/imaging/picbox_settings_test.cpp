// Tests the picture panel's settings block, its clamps and its border styles.
#include <gtest/gtest.h>

#include "imaging/picbox_settings.h"

namespace varnelt {
namespace {

PicBoxSettings Sample() {
  PicBoxSettings s;
  s.border_style = 3;
  s.background_colour = 0x00FFFFFF;
  s.display_mode = 1;
  s.animate = false;
  s.picture = {0xFF, 0xD8, 0xFF, 0xE0};
  s.data_source = "db";
  s.data_column = "photo";
  return s;
}

TEST(PicBoxSettings, RoundTripAndLayout) {
  const std::vector<std::uint8_t> block = Sample().Write();
  ASSERT_EQ(block.size(), 24u + 4 + 4 + 2 + 4 + 5);
  EXPECT_EQ(block[0], 2);             // version
  EXPECT_EQ(block[12], 1);            // display mode
  EXPECT_EQ(block[20], 4);            // picture byte count
  EXPECT_EQ(block[24], 0xFF);         // picture bytes
  const auto read = PicBoxSettings::Read(block);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->border_style, 3);
  EXPECT_EQ(read->background_colour, 0x00FFFFFFu);
  EXPECT_EQ(read->display_mode, 1);
  EXPECT_FALSE(read->animate);
  EXPECT_EQ(read->picture, Sample().picture);
  EXPECT_EQ(read->data_source, "db");
  EXPECT_EQ(read->data_column, "photo");
}

TEST(PicBoxSettings, ThePhotoSlotsBlockIs32Bytes) {
  PicBoxSettings slot;
  slot.background_colour = 0x00FFFFFF;
  slot.display_mode = 1;
  EXPECT_EQ(slot.Write().size(), 32u);
}

TEST(PicBoxSettings, VersionsAndShortBlocks) {
  std::vector<std::uint8_t> block = Sample().Write();
  for (std::uint8_t version : {std::uint8_t{0}, std::uint8_t{1}}) {
    std::vector<std::uint8_t> old(block.begin(), block.begin() + 28);  // no binding names
    old[0] = version;
    const auto read = PicBoxSettings::Read(old);
    ASSERT_TRUE(read) << int{version};
    EXPECT_EQ(read->picture, Sample().picture);
    EXPECT_TRUE(read->data_source.empty());
  }
  block[0] = 3;
  EXPECT_FALSE(PicBoxSettings::Read(block));
  block[0] = 2;
  for (std::size_t n = 1; n < block.size(); ++n) {
    EXPECT_FALSE(PicBoxSettings::Read({block.begin(), block.begin() + static_cast<std::ptrdiff_t>(n)})) << n;
  }
  const auto defaults = PicBoxSettings::Read({});
  ASSERT_TRUE(defaults);
  EXPECT_EQ(defaults->background_colour, 0xFF000000u);
  EXPECT_TRUE(defaults->animate);
  EXPECT_TRUE(defaults->picture.empty());
}

TEST(PicBoxSettings, ClampsAndBorderStyles) {
  EXPECT_EQ(ClampBorderStyle(9), 5);
  EXPECT_EQ(ClampBorderStyle(-1), 0);
  EXPECT_EQ(ClampDisplayMode(7), 2);
  EXPECT_EQ(ClampDisplayMode(-7), 0);
  struct Case {
    std::int32_t value;
    std::uint32_t ex_style, style;
  };
  const Case cases[] = {{0, 0, 0},          {1, 0x200, 0},       {2, 0x1, 0},   {3, 0x20000, 0},
                        {4, 0x201, 0},      {5, 0, 0x800000},    {6, 0, 0x800000}};
  for (const Case& c : cases) {
    const BorderStyles s = BorderStylesFor(c.value);
    EXPECT_EQ(s.ex_style, c.ex_style) << c.value;
    EXPECT_EQ(s.style, c.style) << c.value;
  }
}

}  // namespace
}  // namespace varnelt
