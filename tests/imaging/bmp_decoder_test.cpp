// Tests the BMP decoder: encoder-made files against reference decodes, and the header and
// row rules on small hand-made files.
#include "imaging/bmp_decoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "picture_fixtures.h"

namespace varnelt {
namespace {

using testing::Bytes;

class BmpFixture : public ::testing::TestWithParam<std::string> {};

TEST_P(BmpFixture, MatchesReferenceDecode) {
  VARNELT_LOAD_FIXTURE(file, GetParam());
  VARNELT_LOAD_FIXTURE(ref_file, GetParam() + ".ref.ppm");
  const auto reference = testing::ParsePpm(ref_file);
  ASSERT_TRUE(reference);
  BmpError error = BmpError::kNone;
  const auto picture = DecodeBmp(file.data(), file.size(), &error);
  ASSERT_TRUE(picture) << "error " << static_cast<int>(error);
  EXPECT_EQ(picture->kind, PictureKind::kBmp);
  const auto rgb = testing::PictureToRgb(*picture);
  ASSERT_TRUE(rgb) << "pixel block does not have the kind-2 size";
  EXPECT_TRUE(testing::SameRgb(*reference, *rgb));
}

std::vector<std::string> BmpFixtureNames() {
  std::vector<std::string> names;
  for (const char* bits : {"1", "4", "8", "24", "32"}) {
    for (const char* width : {"1", "3", "159"}) {
      names.push_back(std::string("bmp") + bits + "_w" + width + ".bmp");
      names.push_back(std::string("bmp") + bits + "_w" + width + "_topdown.bmp");
    }
  }
  names.push_back("bmp1_im.bmp");
  names.push_back("bmp8_fewcolours.bmp");
  names.push_back("bmp8_v5header.bmp");
  return names;
}

INSTANTIATE_TEST_SUITE_P(Encoded, BmpFixture, ::testing::ValuesIn(BmpFixtureNames()),
                         testing::FixtureTestName);

TEST(BmpDecoder, RunLengthAndSixteenBitFilesGiveNoPicture) {
  VARNELT_LOAD_FIXTURE(rle, "bmp8_rle.bmp");
  VARNELT_LOAD_FIXTURE(sixteen, "bmp16.bmp");
  BmpError error = BmpError::kNone;
  EXPECT_FALSE(DecodeBmp(rle.data(), rle.size(), &error));
  EXPECT_EQ(error, BmpError::kCompressed);
  EXPECT_FALSE(DecodeBmp(sixteen.data(), sixteen.size(), &error));
  EXPECT_EQ(error, BmpError::kBitCount);
}

// A BMP with a 40-byte info header; `table` colour entries follow it, then the rows.
struct BmpBuilder {
  std::int32_t width = 2;
  std::int32_t height = 2;
  std::uint16_t bits = 24;
  std::uint32_t colours_used = 0;
  std::vector<std::uint32_t> table;  // 0x00RRGGBB
  std::optional<std::uint32_t> off_bits;
  Bytes rows;

  Bytes Build() const {
    Bytes b(54, 0);
    auto put32 = [&b](std::size_t at, std::uint32_t v) {
      for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(10, off_bits.value_or(static_cast<std::uint32_t>(54 + 4 * table.size())));
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    b[26] = 1;
    b[28] = static_cast<std::uint8_t>(bits);
    put32(46, colours_used);
    for (std::uint32_t c : table) {
      b.push_back(static_cast<std::uint8_t>(c));
      b.push_back(static_cast<std::uint8_t>(c >> 8));
      b.push_back(static_cast<std::uint8_t>(c >> 16));
      b.push_back(0);
    }
    if (off_bits && *off_bits > b.size()) b.resize(*off_bits, 0);
    b.insert(b.end(), rows.begin(), rows.end());
    return b;
  }
};

TEST(BmpDecoder, TwoByTwoTrueColourRowsComeInFileOrderWithoutPadding) {
  BmpBuilder bmp;
  // File rows of 6 pixel bytes and 2 pad bytes; the first is the picture's bottom row.
  bmp.rows = {1, 2, 3, 4, 5, 6, 0xEE, 0xEE, 7, 8, 9, 10, 11, 12, 0xEE, 0xEE};
  const Bytes file = bmp.Build();
  const auto picture = DecodeBmp(file.data(), file.size());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->width, 2);
  EXPECT_EQ(picture->height, 2);
  ASSERT_EQ(picture->pixels.size(), 12u);
  const Bytes expected = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  EXPECT_EQ(Bytes(picture->pixels.data(), picture->pixels.data() + 12), expected);
}

TEST(BmpDecoder, TopDownRowsAreStoredBottomRowFirst) {
  BmpBuilder bmp;
  bmp.height = -2;
  bmp.rows = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
  const Bytes file = bmp.Build();
  const auto picture = DecodeBmp(file.data(), file.size());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->height, 2);
  const Bytes expected = {7, 8, 9, 10, 11, 12, 1, 2, 3, 4, 5, 6};
  EXPECT_EQ(Bytes(picture->pixels.data(), picture->pixels.data() + 12), expected);
}

TEST(BmpDecoder, PixelValuesBeyondTheColourTableShowBlack) {
  BmpBuilder bmp;
  bmp.width = 4;
  bmp.height = 1;
  bmp.bits = 8;
  bmp.colours_used = 2;
  bmp.table = {0x112233, 0x445566};
  bmp.rows = {0, 1, 2, 255};
  const Bytes file = bmp.Build();
  const auto picture = DecodeBmp(file.data(), file.size());
  ASSERT_TRUE(picture);
  const Bytes expected = {0x33, 0x22, 0x11, 0x66, 0x55, 0x44, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(Bytes(picture->pixels.data(), picture->pixels.data() + 12), expected);
}

TEST(BmpDecoder, PackedPixelsStartAtTheMostSignificantBits) {
  struct Case {
    std::uint16_t bits;
    Bytes row;
  };
  // Pixels 1, 0, 1 (1 bit) and 1, 0, 1 (4 bits), each row padded to 4 bytes.
  for (const Case& c : {Case{1, {0xA0, 0, 0, 0}}, Case{4, {0x10, 0x10, 0, 0}}}) {
    BmpBuilder bmp;
    bmp.width = 3;
    bmp.height = 1;
    bmp.bits = c.bits;
    bmp.colours_used = 2;
    bmp.table = {0x000000, 0xFFFFFF};
    bmp.rows = c.row;
    const Bytes file = bmp.Build();
    const auto picture = DecodeBmp(file.data(), file.size());
    ASSERT_TRUE(picture) << c.bits;
    const Bytes expected = {255, 255, 255, 0, 0, 0, 255, 255, 255};
    EXPECT_EQ(Bytes(picture->pixels.data(), picture->pixels.data() + 9), expected) << c.bits;
  }
}

TEST(BmpDecoder, ColourTableMustEndAtOrBeforeThePixelOffset) {
  // 8 bits with biClrUsed 0: a 1024-byte table, so the rows cannot start before 1078.
  BmpBuilder bmp;
  bmp.width = 1;
  bmp.height = 1;
  bmp.bits = 8;
  bmp.table.assign(256, 0x808080);
  bmp.rows = {0, 0, 0, 0};
  BmpError error = BmpError::kNone;
  bmp.off_bits = 1078;
  Bytes file = bmp.Build();
  EXPECT_TRUE(DecodeBmp(file.data(), file.size(), &error));
  bmp.off_bits = 1077;
  file = bmp.Build();
  EXPECT_FALSE(DecodeBmp(file.data(), file.size(), &error));
  EXPECT_EQ(error, BmpError::kTableOverlapsRows);
}

TEST(BmpDecoder, RejectsBrokenHeadersAndShortData) {
  BmpBuilder good;
  good.rows = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
  struct Case {
    const char* what;
    Bytes file;
    BmpError error;
  };
  std::vector<Case> cases;
  Bytes file = good.Build();
  cases.push_back({"53 bytes", Bytes(file.begin(), file.begin() + 53), BmpError::kShortHeader});
  Bytes compressed = file;
  compressed[30] = 1;
  cases.push_back({"BI_RLE8", compressed, BmpError::kCompressed});
  for (int bits : {0, 2, 16, 48}) {
    Bytes b = file;
    b[28] = static_cast<std::uint8_t>(bits);
    cases.push_back({"odd bit count", b, BmpError::kBitCount});
  }
  BmpBuilder short_table;
  short_table.bits = 8;
  short_table.colours_used = 3;
  short_table.table = {1, 2};
  short_table.off_bits = 0;
  Bytes st = short_table.Build();
  st.resize(54 + 8);
  cases.push_back({"short table", st, BmpError::kShortColourTable});
  BmpBuilder far_offset = good;
  far_offset.off_bits = 5000;
  Bytes fo = far_offset.Build();
  fo.resize(200);
  cases.push_back({"offset past the end", fo, BmpError::kBadOffset});
  cases.push_back({"short last row", Bytes(file.begin(), file.end() - 3), BmpError::kShortRows});
  BmpBuilder empty = good;
  empty.width = 0;
  cases.push_back({"zero width", empty.Build(), BmpError::kEmpty});
  BmpBuilder huge = good;
  huge.width = 100000;
  huge.height = -100000;
  cases.push_back({"30 GB of pixels", huge.Build(), BmpError::kTooLarge});
  BmpBuilder most_negative = good;
  most_negative.width = std::numeric_limits<std::int32_t>::min();
  cases.push_back({"width -2^31", most_negative.Build(), BmpError::kTooLarge});
  BmpBuilder tall = good;
  tall.width = 1;
  tall.height = 50000000;
  cases.push_back({"rows not in the file", tall.Build(), BmpError::kShortRows});

  for (const Case& c : cases) {
    BmpError error = BmpError::kNone;
    EXPECT_FALSE(DecodeBmp(c.file.data(), c.file.size(), &error)) << c.what;
    EXPECT_EQ(error, c.error) << c.what;
  }
}

TEST(BmpDecoder, PaddingAfterTheLastRowMayBeMissing) {
  BmpBuilder bmp;
  bmp.rows = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12};
  const Bytes file = bmp.Build();
  const auto picture = DecodeBmp(file.data(), file.size());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->pixels.data()[11], 12);
}

}  // namespace
}  // namespace varnelt
