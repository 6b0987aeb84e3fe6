// Tests the JPEG decoder: encoder-made files against djpeg of the same library, scaled
// decoding of very large frames, CMYK conversion, and the error paths.
#include "imaging/jpeg_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

#include "picture_fixtures.h"

namespace varnelt {
namespace {

using testing::Bytes;

class JpegFixture : public ::testing::TestWithParam<std::string> {};

TEST_P(JpegFixture, MatchesDjpegExactly) {
  VARNELT_LOAD_FIXTURE(file, GetParam());
  VARNELT_LOAD_FIXTURE(ref_file, GetParam() + ".ref.ppm");
  const auto reference = testing::ParsePpm(ref_file);
  ASSERT_TRUE(reference);
  JpegFailure failure;
  const auto picture = DecodeJpeg(file.data(), file.size(), &failure);
  ASSERT_TRUE(picture) << "error " << static_cast<int>(failure.error) << " message " << failure.library_message;
  EXPECT_EQ(picture->kind, PictureKind::kJpeg);
  const auto rgb = testing::PictureToRgb(*picture);
  ASSERT_TRUE(rgb) << "pixel block does not have the kind-1 size";
  EXPECT_TRUE(testing::SameRgb(*reference, *rgb));
}

INSTANTIATE_TEST_SUITE_P(Encoded, JpegFixture,
                         ::testing::Values("jpeg_baseline.jpg", "jpeg_progressive.jpg", "jpeg_grey.jpg",
                                           "jpeg_444_restart.jpg", "jpeg_422_small.jpg", "jpeg_cmyk_adobe.jpg",
                                           "jpeg_cut.jpg", "jpeg_progressive_cut.jpg"),
                         testing::FixtureTestName);

TEST(JpegDecoder, GreyPicturesHaveEqualChannels) {
  VARNELT_LOAD_FIXTURE(file, "jpeg_grey.jpg");
  const auto picture = DecodeJpeg(file.data(), file.size());
  ASSERT_TRUE(picture);
  const std::uint8_t* p = picture->pixels.data();
  bool varied = false;
  for (std::size_t i = 0; i < picture->pixels.size(); i += 3) {
    ASSERT_TRUE(p[i] == p[i + 1] && p[i] == p[i + 2]) << "pixel " << i / 3;
    varied |= p[i] != p[0];
  }
  EXPECT_TRUE(varied);
}

TEST(JpegDecoder, CutOffFileKeepsItsFullSize) {
  VARNELT_LOAD_FIXTURE(full, "jpeg_baseline.jpg");
  for (std::size_t keep : {full.size() / 3, full.size() / 2, full.size() - 3}) {
    const auto picture = DecodeJpeg(full.data(), keep);
    ASSERT_TRUE(picture) << keep;
    EXPECT_EQ(picture->width, 227);
    EXPECT_EQ(picture->height, 149);
  }
}

// The frames' data end at once; the library's scaled decode of the same file is the
// reference (its top rows, where the data were).
TEST(JpegDecoder, FramesTooLargeForABlockAreDecodedAtTheLargestScaleThatFits) {
  struct Case {
    const char* name;
    std::int32_t size;  // full size 9500 -> 1/2; 20000 -> 1/2 would still be 300 MB -> 1/4
  };
  for (const Case& c : {Case{"jpeg_huge_half.jpg", 4750}, Case{"jpeg_huge_quarter.jpg", 5000}}) {
    VARNELT_LOAD_FIXTURE(file, c.name);
    VARNELT_LOAD_FIXTURE(ref_file, std::string(c.name) + ".ref.ppm");
    const auto reference = testing::ParsePpm(ref_file);
    ASSERT_TRUE(reference);
    const auto picture = DecodeJpeg(file.data(), file.size());
    ASSERT_TRUE(picture) << c.name;
    EXPECT_EQ(picture->width, c.size) << c.name;
    EXPECT_EQ(picture->height, c.size) << c.name;
    EXPECT_LE(picture->pixels.size(), kMaxPixelBlockBytes);
    const auto rgb = testing::PictureToRgb(*picture);
    ASSERT_TRUE(rgb);
    EXPECT_TRUE(testing::SameRgb(*reference, *rgb, reference->height)) << c.name;
  }
}

// A 16x16 JPEG of one CMYK colour, encoded by the library; `samples` are stored as given.
Bytes EncodeCmyk(const std::uint8_t samples[4], J_COLOR_SPACE stored_as, bool adobe_marker) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr err{};
  cinfo.err = jpeg_std_error(&err);
  jpeg_CreateCompress(&cinfo, JPEG_LIB_VERSION, sizeof cinfo);
  unsigned char* out = nullptr;
  unsigned long out_size = 0;
  jpeg_mem_dest(&cinfo, &out, &out_size);
  cinfo.image_width = 16;
  cinfo.image_height = 16;
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&cinfo);
  jpeg_set_colorspace(&cinfo, stored_as);
  cinfo.write_Adobe_marker = adobe_marker ? TRUE : FALSE;
  jpeg_set_quality(&cinfo, 100, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> row(16 * 4);
  for (std::size_t x = 0; x < 16; ++x) std::copy(samples, samples + 4, row.begin() + static_cast<std::ptrdiff_t>(4 * x));
  JSAMPROW rows[1] = {row.data()};
  while (cinfo.next_scanline < cinfo.image_height) jpeg_write_scanlines(&cinfo, rows, 1);
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  Bytes result(out, out + out_size);
  std::free(out);
  return result;
}

TEST(JpegDecoder, CmykAndYcckBecomeRgbWhetherInvertedOrNot) {
  struct Ink {
    std::uint8_t cmyk[4];  // ink amounts, 255 = full
    std::uint8_t rgb[3];
  };
  const Ink inks[] = {
      {{0, 255, 255, 0}, {255, 0, 0}},
      {{255, 0, 0, 0}, {0, 255, 255}},
      {{0, 0, 0, 128}, {127, 127, 127}},
      {{0, 0, 0, 0}, {255, 255, 255}},
      {{0, 128, 255, 64}, {191, 95, 0}},
  };
  struct Flavour {
    const char* what;
    J_COLOR_SPACE space;
    bool adobe;  // Adobe's files store 255 - ink
  };
  for (const Flavour& f : {Flavour{"Adobe CMYK", JCS_CMYK, true}, Flavour{"YCCK", JCS_YCCK, true},
                           Flavour{"plain CMYK", JCS_CMYK, false}}) {
    for (const Ink& ink : inks) {
      std::uint8_t stored[4];
      for (int i = 0; i < 4; ++i) stored[i] = f.adobe ? static_cast<std::uint8_t>(255 - ink.cmyk[i]) : ink.cmyk[i];
      const Bytes file = EncodeCmyk(stored, f.space, f.adobe);
      const auto picture = DecodeJpeg(file.data(), file.size());
      ASSERT_TRUE(picture) << f.what;
      const std::uint8_t* bgr = picture->pixels.data() + 3 * (8 * 16 + 8);
      for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(bgr[2 - c], ink.rgb[c], 3) << f.what << " ink " << int{ink.cmyk[0]} << "," << int{ink.cmyk[1]}
                                               << "," << int{ink.cmyk[2]} << "," << int{ink.cmyk[3]} << " channel " << c;
      }
    }
  }
}

TEST(JpegDecoder, LibraryErrorsGiveNoPicture) {
  struct Case {
    const char* what;
    Bytes file;
    int message;
  };
  for (const Case& c : {Case{"no bytes", {}, JERR_INPUT_EMPTY},
                        Case{"tables only", {0xFF, 0xD8, 0xFF, 0xD9}, JERR_NO_IMAGE},
                        Case{"start of image only", {0xFF, 0xD8}, JERR_NO_IMAGE},
                        Case{"not JPEG after the start", {0xFF, 0xD8, 'h', 'e', 'l', 'l', 'o', 0, 0, 0}, -1}}) {
    JpegFailure failure;
    EXPECT_FALSE(DecodeJpeg(c.file.data(), c.file.size(), &failure)) << c.what;
    EXPECT_EQ(failure.error, JpegError::kLibrary) << c.what;
    if (c.message >= 0) {
      EXPECT_EQ(failure.library_message, c.message) << c.what;
    }
  }
}

TEST(JpegDecoder, FilesWithTooManyScansAreRefused) {
  // The progressive file's last scan repeated until there are far more scans than allowed.
  VARNELT_LOAD_FIXTURE(file, "jpeg_progressive.jpg");
  const Bytes sos = {0xFF, 0xDA};
  const auto last_scan = std::find_end(file.begin(), file.end(), sos.begin(), sos.end());
  ASSERT_NE(last_scan, file.end());
  const Bytes scan(last_scan, file.end() - 2);
  Bytes many(file.begin(), last_scan);
  for (int i = 0; i < kJpegMaxScans + 10; ++i) many.insert(many.end(), scan.begin(), scan.end());
  many.push_back(0xFF);
  many.push_back(0xD9);
  JpegFailure failure;
  EXPECT_FALSE(DecodeJpeg(many.data(), many.size(), &failure));
  EXPECT_EQ(failure.error, JpegError::kScanLimit);
  // The original decodes.
  EXPECT_TRUE(DecodeJpeg(file.data(), file.size()));
}

}  // namespace
}  // namespace varnelt
