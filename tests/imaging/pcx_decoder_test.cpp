// Tests the PCX decoder: encoder-made files against reference decodes, and the run-length,
// palette and header rules on small hand-made files.
#include "imaging/pcx_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "picture_fixtures.h"

namespace varnelt {
namespace {

using testing::Bytes;

class PcxFixture : public ::testing::TestWithParam<std::string> {};

TEST_P(PcxFixture, MatchesReferenceDecode) {
  VARNELT_LOAD_FIXTURE(file, GetParam());
  VARNELT_LOAD_FIXTURE(ref_file, GetParam() + ".ref.ppm");
  const auto reference = testing::ParsePpm(ref_file);
  ASSERT_TRUE(reference);
  PcxError error = PcxError::kNone;
  const auto picture = DecodePcx(file.data(), file.size(), &error);
  ASSERT_TRUE(picture) << "error " << static_cast<int>(error);
  EXPECT_EQ(picture->kind, GetParam().rfind("pcx1_", 0) == 0 ? PictureKind::kPcxMono : PictureKind::kPcx256);
  const auto rgb = testing::PictureToRgb(*picture);
  ASSERT_TRUE(rgb) << "pixel block does not have its kind's layout";
  EXPECT_TRUE(testing::SameRgb(*reference, *rgb));
}

INSTANTIATE_TEST_SUITE_P(Encoded, PcxFixture,
                         ::testing::Values("pcx8_netpbm.pcx", "pcx8_w3.pcx", "pcx8_im.pcx", "pcx24_netpbm.pcx",
                                           "pcx24_im.pcx", "pcx1_w3.pcx", "pcx1_w159.pcx"),
                         testing::FixtureTestName);

// A PCX header for a window of width x height; the encoded lines follow.
Bytes PcxFile(std::uint8_t bits, std::uint8_t planes, std::uint16_t width, std::uint16_t height,
              std::uint16_t bytes_per_line, const Bytes& encoded, std::uint8_t version = 5) {
  Bytes b(128, 0);
  b[0] = 0x0A;
  b[1] = version;
  b[2] = 1;
  b[3] = bits;
  b[8] = static_cast<std::uint8_t>(width - 1);
  b[9] = static_cast<std::uint8_t>((width - 1) >> 8);
  b[10] = static_cast<std::uint8_t>(height - 1);
  b[11] = static_cast<std::uint8_t>((height - 1) >> 8);
  b[65] = planes;
  b[66] = static_cast<std::uint8_t>(bytes_per_line);
  b[67] = static_cast<std::uint8_t>(bytes_per_line >> 8);
  for (std::uint8_t byte : encoded) b.push_back(byte);
  return b;
}

Bytes Palette(std::uint8_t marker) {
  Bytes p = {marker};
  for (int i = 0; i < 256; ++i) {
    p.push_back(static_cast<std::uint8_t>(i));      // red
    p.push_back(static_cast<std::uint8_t>(255 - i));  // green
    p.push_back(0x40);                                // blue
  }
  return p;
}

// Row y of a kind-6 (8-bit) DIB: header, 256 entries, rows of width rounded up to 4.
const std::uint8_t* IndexedRow(const DecodedPicture& p, std::size_t y) {
  return p.pixels.data() + 1064 + y * ((static_cast<std::size_t>(p.width) + 3) / 4 * 4);
}

TEST(PcxDecoder, IndexedPictureIsAnEightBitTopDownDibWithThePalette) {
  Bytes data = {5, 6, 7, 0xC3, 9};  // line 0: 5 6 7 9 ; line 1: 9 9
  data.push_back(0xC2);
  data.push_back(9);
  Bytes file = PcxFile(8, 1, 3, 2, 4, data);
  const Bytes palette = Palette(12);
  file.insert(file.end(), palette.begin(), palette.end());
  const auto picture = DecodePcx(file.data(), file.size());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->kind, PictureKind::kPcx256);
  ASSERT_EQ(picture->pixels.size(), 1064u + 2 * 4);
  const std::uint8_t* b = picture->pixels.data();
  EXPECT_EQ(b[0], 40);
  EXPECT_EQ(b[4], 3);
  EXPECT_EQ(b[8], 0xFE);  // height -2
  EXPECT_EQ(b[11], 0xFF);
  EXPECT_EQ(b[12], 1);  // planes
  EXPECT_EQ(b[14], 8);  // bits per pixel
  // Entry 7: red 7, green 248, blue 0x40, stored blue, green, red, 0.
  EXPECT_EQ(Bytes(b + 40 + 28, b + 40 + 32), (Bytes{0x40, 248, 7, 0}));
  // Only `width` indexes per row; the line's fourth byte is not a pixel.
  EXPECT_EQ(Bytes(IndexedRow(*picture, 0), IndexedRow(*picture, 0) + 4), (Bytes{5, 6, 7, 0}));
  EXPECT_EQ(Bytes(IndexedRow(*picture, 1), IndexedRow(*picture, 1) + 4), (Bytes{9, 9, 9, 0}));
}

TEST(PcxDecoder, RunsCrossingALineEndContinueOnTheNextLine) {
  // One run of 5 for two lines of 3: the second line starts with the run's last two.
  const Bytes file = PcxFile(8, 1, 3, 2, 3, {0xC5, 4, 8});
  const auto picture = DecodePcx(file.data(), file.size());
  ASSERT_TRUE(picture);
  EXPECT_EQ(Bytes(IndexedRow(*picture, 0), IndexedRow(*picture, 0) + 3), (Bytes{4, 4, 4}));
  EXPECT_EQ(Bytes(IndexedRow(*picture, 1), IndexedRow(*picture, 1) + 4), (Bytes{4, 4, 8, 0}));
}

TEST(PcxDecoder, DataThatEndEarlyLeaveZeros) {
  // A 192 byte stands for itself; the run count 0xC4 at the very end has no value byte.
  const Bytes file = PcxFile(8, 1, 4, 3, 4, {192, 1, 2, 3, 0xC2, 7, 0xC4});
  const auto picture = DecodePcx(file.data(), file.size());
  ASSERT_TRUE(picture);
  EXPECT_EQ(Bytes(IndexedRow(*picture, 0), IndexedRow(*picture, 0) + 4), (Bytes{192, 1, 2, 3}));
  EXPECT_EQ(Bytes(IndexedRow(*picture, 1), IndexedRow(*picture, 1) + 4), (Bytes{7, 7, 0, 0}));
  EXPECT_EQ(Bytes(IndexedRow(*picture, 2), IndexedRow(*picture, 2) + 4), (Bytes{0, 0, 0, 0}));
}

TEST(PcxDecoder, PaletteIsFoundAfterTheLinesOrAtTheEndOrIsGrey) {
  const Bytes palette = Palette(12);
  struct Case {
    const char* what;
    Bytes tail;
    Bytes entry7;
  };
  Bytes padded = {0, 0, 0};
  padded.insert(padded.end(), palette.begin(), palette.end());
  Bytes wrong_marker = Palette(11);
  for (const Case& c : {Case{"after the lines", palette, {0x40, 248, 7, 0}},
                        Case{"at the end, after padding", padded, {0x40, 248, 7, 0}},
                        Case{"no marker", wrong_marker, {7, 7, 7, 0}},
                        Case{"no palette", {}, {7, 7, 7, 0}}}) {
    Bytes file = PcxFile(8, 1, 2, 1, 2, {7, 7});
    file.insert(file.end(), c.tail.begin(), c.tail.end());
    const auto picture = DecodePcx(file.data(), file.size());
    ASSERT_TRUE(picture) << c.what;
    const std::uint8_t* entry = picture->pixels.data() + 40 + 4 * 7;
    EXPECT_EQ(Bytes(entry, entry + 4), c.entry7) << c.what;
  }
}

TEST(PcxDecoder, ThreePlanesAreTrueColour) {
  // Width 2, 2 bytes per plane: red plane, green plane, blue plane.
  const Bytes file = PcxFile(8, 3, 2, 1, 2, {10, 11, 20, 21, 30, 31});
  const auto picture = DecodePcx(file.data(), file.size());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->kind, PictureKind::kPcx256);
  ASSERT_EQ(picture->pixels.size(), 40u + 8);
  EXPECT_EQ(picture->pixels.data()[14], 24);
  EXPECT_EQ(Bytes(picture->pixels.data() + 40, picture->pixels.data() + 48), (Bytes{30, 20, 10, 31, 21, 11, 0, 0}));
}

TEST(PcxDecoder, MonochromeRowsAreEvenAndTakeTheFirstBytesOfEachLine) {
  // Width 9: 2 bytes of pixels, rows of 2; the line's third byte is dropped.
  const Bytes file = PcxFile(1, 1, 9, 2, 3, {0xC1, 0xFF, 0x80, 0x55, 0x01, 0x02, 0x03}, 3);
  const auto picture = DecodePcx(file.data(), file.size());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->kind, PictureKind::kPcxMono);
  EXPECT_EQ(Bytes(picture->pixels.data(), picture->pixels.data() + picture->pixels.size()),
            (Bytes{0xFF, 0x80, 0x01, 0x02}));
}

TEST(PcxDecoder, RejectsWhatItCannotShow) {
  struct Case {
    const char* what;
    Bytes file;
    PcxError error;
  };
  Bytes header_only = PcxFile(8, 1, 2, 2, 2, {});
  Bytes inverted = PcxFile(8, 1, 2, 2, 2, {1});
  inverted[4] = 5;  // Xmin 5 > Xmax 1
  Bytes version6 = PcxFile(8, 1, 2, 2, 2, {1}, 6);
  Bytes not_rle = PcxFile(8, 1, 2, 2, 2, {1});
  not_rle[2] = 0;
  Bytes huge = PcxFile(8, 3, 1, 1, 2, {1});
  huge[8] = huge[9] = huge[10] = huge[11] = 0x7F;  // 32768 x 32768 true colour
  for (const Case& c : {Case{"128 bytes", header_only, PcxError::kShortHeader},
                        Case{"inverted window", inverted, PcxError::kBadHeader},
                        Case{"version 6", version6, PcxError::kBadHeader},
                        Case{"not run-length", not_rle, PcxError::kBadHeader},
                        Case{"4 bits", PcxFile(4, 1, 2, 2, 1, {1}), PcxError::kLayout},
                        Case{"1 bit in 4 planes", PcxFile(1, 4, 2, 2, 1, {1}), PcxError::kLayout},
                        Case{"8 bits in 2 planes", PcxFile(8, 2, 2, 2, 2, {1}), PcxError::kLayout},
                        Case{"3 GB", huge, PcxError::kTooLarge}}) {
    PcxError error = PcxError::kNone;
    EXPECT_FALSE(DecodePcx(c.file.data(), c.file.size(), &error)) << c.what;
    EXPECT_EQ(error, c.error) << c.what;
  }
}

}  // namespace
}  // namespace varnelt
