// Tests the GIF engine: still decoding and the animated walk, against reference decodes of
// fixtures from independent encoders, and hand-built inputs for faults no encoder writes.
#include "imaging/gif_engine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace varnelt {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Fixtures come from tests/imaging/make_gif_fixtures.sh, in $VARNELT_FIXTURES/gif. Without
// the variable the tests that need them skip; with it, a missing fixture fails.
std::filesystem::path FixturePath(const std::string& name) {
  const char* dir = std::getenv("VARNELT_FIXTURES");
  if (dir == nullptr || *dir == '\0') return {};
  return std::filesystem::path(dir) / "gif" / name;
}

bool ReadFile(const std::filesystem::path& path, Bytes* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

#define LOAD_FIXTURE(var, name)                                                     \
  Bytes var;                                                                        \
  do {                                                                              \
    const std::filesystem::path path_ = FixturePath(name);                          \
    if (path_.empty()) GTEST_SKIP() << "VARNELT_FIXTURES is not set";               \
    ASSERT_TRUE(ReadFile(path_, &var)) << "missing fixture " << path_.string();     \
  } while (0)

struct Rgb {
  std::size_t width = 0;
  std::size_t height = 0;
  Bytes pixels;  // red, green, blue, top row first
};

// Reads a binary PPM (P6, maxval 255) as ImageMagick writes it.
bool ParsePpm(const Bytes& file, Rgb* out) {
  std::size_t pos = 0;
  auto token = [&]() -> std::string {
    while (pos < file.size() && std::isspace(file[pos])) ++pos;
    std::string t;
    while (pos < file.size() && !std::isspace(file[pos])) t += static_cast<char>(file[pos++]);
    return t;
  };
  if (token() != "P6") return false;
  out->width = std::stoul(token());
  out->height = std::stoul(token());
  if (token() != "255") return false;
  ++pos;
  const std::size_t n = out->width * out->height * 3;
  if (file.size() - pos != n) return false;
  out->pixels.assign(file.begin() + static_cast<std::ptrdiff_t>(pos), file.end());
  return true;
}

std::int32_t Le32(const std::uint8_t* p) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                                   (static_cast<std::uint32_t>(p[2]) << 16) |
                                   (static_cast<std::uint32_t>(p[3]) << 24));
}
std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

// Checks the block is the engine's packed DIB of width x height and returns its colours.
Rgb DibToRgb(const PixelBlock& dib, std::size_t width, std::size_t height) {
  Rgb rgb;
  const std::size_t stride = (width + 3) / 4 * 4;
  EXPECT_EQ(dib.size(), 1064 + stride * height);
  if (dib.size() != 1064 + stride * height) return rgb;
  const std::uint8_t* h = dib.data();
  EXPECT_EQ(Le32(h), 40);
  EXPECT_EQ(Le32(h + 4), static_cast<std::int32_t>(width));
  EXPECT_EQ(Le32(h + 8), -static_cast<std::int32_t>(height));
  EXPECT_EQ(Le16(h + 12), 1);
  EXPECT_EQ(Le16(h + 14), 8);
  for (int off = 16; off < 32; off += 4) EXPECT_EQ(Le32(h + off), 0) << "header offset " << off;
  EXPECT_EQ(Le32(h + 32), 256);
  EXPECT_EQ(Le32(h + 36), 256);
  rgb.width = width;
  rgb.height = height;
  for (std::size_t y = 0; y < height; ++y) {
    const std::uint8_t* row = h + 1064 + y * stride;
    for (std::size_t x = 0; x < width; ++x) {
      const std::uint8_t* e = h + 40 + 4 * row[x];
      rgb.pixels.push_back(e[2]);
      rgb.pixels.push_back(e[1]);
      rgb.pixels.push_back(e[0]);
    }
    for (std::size_t x = width; x < stride; ++x) EXPECT_EQ(row[x], 0) << "padding of row " << y;
  }
  return rgb;
}

void ExpectSamePixels(const Rgb& ours, const Rgb& reference, const std::string& what) {
  ASSERT_EQ(ours.width, reference.width) << what;
  ASSERT_EQ(ours.height, reference.height) << what;
  ASSERT_EQ(ours.pixels.size(), reference.pixels.size()) << what;
  for (std::size_t i = 0; i < ours.pixels.size(); i += 3) {
    if (std::memcmp(&ours.pixels[i], &reference.pixels[i], 3) != 0) {
      const std::size_t p = i / 3;
      FAIL() << what << ": first difference at x=" << p % ours.width << " y=" << p / ours.width;
    }
  }
}

// --- still decoding against reference decodes ---------------------------------------------

struct ReferenceCase {
  const char* gif;
  const char* ppm;
};

void PrintTo(const ReferenceCase& c, std::ostream* os) { *os << c.gif; }

class GifReferenceTest : public ::testing::TestWithParam<ReferenceCase> {};

TEST_P(GifReferenceTest, FirstImageMatchesReferenceDecode) {
  LOAD_FIXTURE(gif, GetParam().gif);
  LOAD_FIXTURE(ppm, GetParam().ppm);
  Rgb reference;
  ASSERT_TRUE(ParsePpm(ppm, &reference));

  auto picture = DecodeStaticGif(gif.data(), gif.size());
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->kind, PictureKind::kGif);
  EXPECT_EQ(picture->width, Le16(&gif[6]));   // the logical screen
  EXPECT_EQ(picture->height, Le16(&gif[8]));
  ExpectSamePixels(DibToRgb(picture->pixels, reference.width, reference.height), reference,
                   GetParam().gif);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, GifReferenceTest,
    ::testing::Values(ReferenceCase{"plain.gif", "plain.ppm"},
                      ReferenceCase{"interlaced.gif", "interlaced.ppm"},
                      ReferenceCase{"odd_interlaced.gif", "odd_interlaced.ppm"},
                      ReferenceCase{"one_pixel.gif", "one_pixel.ppm"},
                      ReferenceCase{"pnm_plain.gif", "pnm_plain.ppm"},
                      ReferenceCase{"pnm_interlaced.gif", "pnm_interlaced.ppm"},
                      ReferenceCase{"pnm_two.gif", "pnm_two.ppm"},
                      ReferenceCase{"local_only.gif", "local_only.ppm"},
                      ReferenceCase{"anim3.gif", "anim3_0.ppm"},
                      ReferenceCase{"controls.gif", "controls_0.ppm"}),
    [](const ::testing::TestParamInfo<ReferenceCase>& param_info) {
      std::string name = param_info.param.gif;
      return name.substr(0, name.find('.'));
    });

TEST(GifStaticTest, NoColourTableShowsGreysByIndex) {
  LOAD_FIXTURE(with_table, "pnm_plain.gif");
  LOAD_FIXTURE(without, "no_colours.gif");
  auto a = DecodeStaticGif(with_table.data(), with_table.size());
  auto b = DecodeStaticGif(without.data(), without.size());
  ASSERT_TRUE(a && b);
  ASSERT_EQ(a->pixels.size(), b->pixels.size());
  EXPECT_EQ(0, std::memcmp(a->pixels.data() + 1064, b->pixels.data() + 1064, a->pixels.size() - 1064))
      << "the same indices";
  for (int i = 0; i < 256; ++i) {
    const std::uint8_t* e = b->pixels.data() + 40 + 4 * i;
    EXPECT_TRUE(e[0] == i && e[1] == i && e[2] == i && e[3] == 0) << "entry " << i;
  }
}

TEST(GifStaticTest, TruncatedDataKeepTheRowsDecoded) {
  LOAD_FIXTURE(gif, "truncated.gif");
  LOAD_FIXTURE(ppm, "plain.ppm");
  Rgb reference;
  ASSERT_TRUE(ParsePpm(ppm, &reference));
  auto picture = DecodeStaticGif(gif.data(), gif.size());
  ASSERT_TRUE(picture.has_value());
  Rgb ours = DibToRgb(picture->pixels, reference.width, reference.height);
  ASSERT_EQ(ours.pixels.size(), reference.pixels.size());
  // Half the file holds well over a quarter of the rows.
  const std::size_t quarter = reference.width * 3 * (reference.height / 4);
  EXPECT_EQ(0, std::memcmp(ours.pixels.data(), reference.pixels.data(), quarter));
  // Rows never reached hold index 0.
  const std::size_t stride = (reference.width + 3) / 4 * 4;
  const std::uint8_t* last = picture->pixels.data() + 1064 + (reference.height - 1) * stride;
  for (std::size_t x = 0; x < reference.width; ++x) ASSERT_EQ(last[x], 0) << x;
}

TEST(GifStaticTest, NoPictureCases) {
  for (const char* name : {"ext02.gif", "noimage.gif"}) {
    LOAD_FIXTURE(gif, name);
    EXPECT_FALSE(DecodeStaticGif(gif.data(), gif.size()).has_value()) << name;
  }
}

// --- the animated walk -----------------------------------------------------------------------

struct ExpectedFrame {
  const char* ppm;
  std::uint16_t left, top, width, height, delay;
};

TEST(GifAnimatedTest, ThreeImagesRepeatInOrder) {
  LOAD_FIXTURE(gif, "anim3.gif");
  const ExpectedFrame expected[] = {{"anim3_0.ppm", 0, 0, 60, 40, 10},
                                    {"anim3_1.ppm", 30, 5, 25, 30, 20},
                                    {"anim3_2.ppm", 7, 21, 9, 7, 30}};
  Rgb refs[3];
  for (int i = 0; i < 3; ++i) {
    LOAD_FIXTURE(ppm, expected[i].ppm);
    ASSERT_TRUE(ParsePpm(ppm, &refs[i]));
  }
  GifEngine engine;
  ASSERT_EQ(engine.Open(gif.data(), gif.size(), GifEngine::Mode::kAnimated), GifError::kOk);
  EXPECT_FALSE(engine.single_image());
  EXPECT_EQ(engine.screen_width(), 60);
  EXPECT_EQ(engine.screen_height(), 40);
  gif.assign(gif.size(), 0);  // the engine keeps its own copy
  for (int n = 0; n < 8; ++n) {
    const ExpectedFrame& e = expected[n % 3];
    GifFrame frame;
    ASSERT_EQ(engine.NextFrame(&frame), GifError::kOk) << "call " << n;
    EXPECT_EQ(frame.left, e.left) << n;
    EXPECT_EQ(frame.top, e.top) << n;
    ASSERT_EQ(frame.width, e.width) << n;
    ASSERT_EQ(frame.height, e.height) << n;
    EXPECT_EQ(frame.controls.delay, e.delay) << n;
    ExpectSamePixels(DibToRgb(frame.dib, frame.width, frame.height), refs[n % 3],
                     std::string("call ") + std::to_string(n));
  }
}

TEST(GifAnimatedTest, FrameControlsCarryToLaterImages) {
  LOAD_FIXTURE(gif, "controls.gif");
  GifEngine engine;
  ASSERT_EQ(engine.Open(gif.data(), gif.size(), GifEngine::Mode::kAnimated), GifError::kOk);
  EXPECT_EQ(engine.background_index(), 2);
  struct Step {
    const char* ppm;
    bool interlaced;
    std::uint8_t disposal;
    bool transparent;
    std::uint16_t delay;
    std::uint32_t transparent_colour;
  };
  // The one graphic control extension stands before image 2; its controls stay in force
  // for image 3 and, after the restart, for image 1. The transparent colour is index 1 in
  // each image's own colours.
  const Step steps[] = {{"controls_0.ppm", false, 0, false, 0, 0x00FFFFFF},
                        {"controls_1.ppm", true, 2, true, 10, 0x003C3228},
                        {"controls_2.ppm", false, 2, true, 10, 0x00060504},
                        {"controls_0.ppm", false, 2, true, 10, 0x0000FF00}};
  for (const Step& s : steps) {
    LOAD_FIXTURE(ppm, s.ppm);
    Rgb reference;
    ASSERT_TRUE(ParsePpm(ppm, &reference));
    GifFrame frame;
    ASSERT_EQ(engine.NextFrame(&frame), GifError::kOk) << s.ppm;
    EXPECT_EQ(frame.interlaced, s.interlaced) << s.ppm;
    EXPECT_EQ(frame.controls.disposal, s.disposal) << s.ppm;
    EXPECT_EQ(frame.controls.transparent, s.transparent) << s.ppm;
    EXPECT_EQ(frame.controls.delay, s.delay) << s.ppm;
    if (s.transparent) {
      EXPECT_EQ(frame.controls.transparent_index, 1) << s.ppm;
    }
    EXPECT_EQ(frame.transparent_colour, s.transparent_colour) << s.ppm;
    EXPECT_EQ(engine.controls().disposal, s.disposal);
    ExpectSamePixels(DibToRgb(frame.dib, frame.width, frame.height), reference, s.ppm);
  }
}

TEST(GifAnimatedTest, SingleImageIsKeptAsTheOnlyFrame) {
  LOAD_FIXTURE(gif, "plain.gif");
  LOAD_FIXTURE(ppm, "plain.ppm");
  Rgb reference;
  ASSERT_TRUE(ParsePpm(ppm, &reference));
  GifEngine engine;
  ASSERT_EQ(engine.Open(gif.data(), gif.size(), GifEngine::Mode::kAnimated), GifError::kOk);
  ASSERT_TRUE(engine.single_image());
  const GifFrame* still = engine.single_frame();
  ExpectSamePixels(DibToRgb(still->dib, still->width, still->height), reference, "single frame");
  GifFrame again;
  EXPECT_EQ(engine.NextFrame(&again), GifError::kOk);  // the walk still works
  EXPECT_EQ(again.width, still->width);
}

TEST(GifAnimatedTest, NoImageStopsTheWalk) {
  LOAD_FIXTURE(gif, "noimage.gif");
  GifEngine engine;
  ASSERT_EQ(engine.Open(gif.data(), gif.size(), GifEngine::Mode::kAnimated), GifError::kOk);
  EXPECT_FALSE(engine.single_image());
  GifFrame frame;
  for (int i = 0; i < 3; ++i) EXPECT_EQ(engine.NextFrame(&frame), GifError::kNoImage);
}

TEST(GifAnimatedTest, UnknownExtensionYieldsNothingThenTheWalkGoesOn) {
  LOAD_FIXTURE(gif, "ext02.gif");
  GifEngine engine;
  ASSERT_EQ(engine.Open(gif.data(), gif.size(), GifEngine::Mode::kAnimated), GifError::kOk);
  EXPECT_FALSE(engine.single_image());
  GifFrame frame;
  for (int pass = 0; pass < 2; ++pass) {
    EXPECT_EQ(engine.NextFrame(&frame), GifError::kUnknownExtension);
    ASSERT_EQ(engine.NextFrame(&frame), GifError::kOk);
    EXPECT_EQ(frame.width, 4);
  }
}

// --- hand-built inputs -------------------------------------------------------------------------

// A GIF89a with a 2-entry global table (black, white) and the given blocks.
Bytes Gif(std::uint16_t w, std::uint16_t h, const Bytes& blocks) {
  Bytes g = {'G', 'I', 'F', '8', '9', 'a', static_cast<std::uint8_t>(w), static_cast<std::uint8_t>(w >> 8),
             static_cast<std::uint8_t>(h), static_cast<std::uint8_t>(h >> 8), 0x80, 0, 0,
             0, 0, 0, 255, 255, 255};
  for (std::uint8_t byte : blocks) g.push_back(byte);
  return g;
}

// Image descriptor at 0,0 with no local table, then min code size and data sub-blocks.
Bytes Image(std::uint16_t w, std::uint16_t h, std::uint8_t min_code_size, const Bytes& subblocks) {
  Bytes b = {0x2C, 0, 0, 0, 0, static_cast<std::uint8_t>(w), static_cast<std::uint8_t>(w >> 8),
             static_cast<std::uint8_t>(h), static_cast<std::uint8_t>(h >> 8), 0, min_code_size};
  for (std::uint8_t byte : subblocks) b.push_back(byte);
  return b;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) {
    for (std::uint8_t byte : p) all.push_back(byte);
  }
  return all;
}

// 2x1 pixels 1, 0 with min code size 2: clear(4) 1 0 end(5), 3 bits each.
const Bytes kTwoPixels = {0x02, 0x0C, 0x0A, 0x00};
// min code size 2, first code after the clear is 7 (above the first free code, 6).
const Bytes kBadCode = {0x01, 0x3C, 0x00};
const Bytes kTrailer = {0x3B};

TEST(GifOpenTest, RefusesShortOrForeignData) {
  const Bytes gif89 = {'G', 'I', 'F', '8', '9'};
  const Bytes header13 = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0};
  Bytes header14 = header13;
  header14.push_back(0x3B);
  Bytes gif88 = header14;
  gif88[4] = '8';
  Bytes short_table = header14;
  short_table[10] = 0x81;  // 4 entries, 12 bytes, not there
  const struct {
    const char* what;
    Bytes bytes;
    GifError error;
  } cases[] = {{"GIF89 alone", gif89, GifError::kTooShort},
               {"13 bytes", header13, GifError::kTooShort},
               {"GIF88a", gif88, GifError::kBadSignature},
               {"global table past the data", short_table, GifError::kTruncatedColourTable}};
  for (const auto& c : cases) {
    GifEngine engine;
    EXPECT_EQ(engine.Open(c.bytes.data(), c.bytes.size(), GifEngine::Mode::kAnimated), c.error) << c.what;
    EXPECT_FALSE(engine.is_open()) << c.what;
    EXPECT_FALSE(DecodeStaticGif(c.bytes.data(), c.bytes.size()).has_value()) << c.what;
  }
  GifEngine engine;
  EXPECT_EQ(engine.Open(header14.data(), header14.size(), GifEngine::Mode::kStatic), GifError::kOk);
}

TEST(GifHandBuiltTest, StaticDecodeResults) {
  Bytes table_exactly_to_end = Gif(2, 1, {});  // global table ends the data
  const struct {
    const char* what;
    Bytes bytes;
    bool picture;
  } cases[] = {
      {"two pixels", Gif(2, 1, Cat({Image(2, 1, 2, kTwoPixels), kTrailer})), true},
      {"code above the first free code", Gif(2, 1, Cat({Image(2, 1, 2, kBadCode), kTrailer})), false},
      {"min code size 12", Gif(2, 1, Cat({Image(2, 1, 12, kTwoPixels), kTrailer})), false},
      {"descriptor cut short", Gif(2, 1, {0x2C, 0, 0, 0}), false},
      {"data end after the code size", Gif(2, 1, {0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0, 2}), true},
      {"65535 x 65535", Gif(2, 1, Cat({Image(65535, 65535, 2, kTwoPixels), kTrailer})), false},
      {"unexpected block byte", Gif(2, 1, Cat({{0x99}, Image(2, 1, 2, kTwoPixels), kTrailer})), false},
      {"comment skipped", Gif(2, 1, Cat({{0x21, 0xFE, 2, 'h', 'i', 0}, Image(2, 1, 2, kTwoPixels), kTrailer})), true},
      {"comment past the end", Gif(2, 1, {0x21, 0xFE, 9, 'h', 'i'}), false},
      {"global table exactly to the end", table_exactly_to_end, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecodeStaticGif(c.bytes.data(), c.bytes.size()).has_value(), c.picture) << c.what;
  }
  // The two pixels themselves: indices 1 and 0, white and black.
  Bytes two = Gif(2, 1, Cat({Image(2, 1, 2, kTwoPixels), kTrailer}));
  auto picture = DecodeStaticGif(two.data(), two.size());
  ASSERT_TRUE(picture);
  const std::uint8_t* px = picture->pixels.data() + 1064;
  EXPECT_EQ(px[0], 1);
  EXPECT_EQ(px[1], 0);
  EXPECT_EQ(Le32(picture->pixels.data() + 40 + 4), 0x00FFFFFF);  // entry 1 white
  EXPECT_EQ(Le32(picture->pixels.data() + 40 + 8), 0);           // beyond the table: black
}

TEST(GifHandBuiltTest, FailedImageLeavesTheWalkUsable) {
  Bytes gif = Gif(2, 1, Cat({Image(2, 1, 2, kBadCode), Image(2, 1, 2, kTwoPixels), kTrailer}));
  GifEngine engine;
  ASSERT_EQ(engine.Open(gif.data(), gif.size(), GifEngine::Mode::kAnimated), GifError::kOk);
  EXPECT_FALSE(engine.single_image());
  GifFrame frame;
  for (int pass = 0; pass < 2; ++pass) {
    EXPECT_EQ(engine.NextFrame(&frame), GifError::kBadCode);
    EXPECT_EQ(engine.NextFrame(&frame), GifError::kOk);
  }
}

TEST(GifHandBuiltTest, BlocksWithoutTrailerRestartAfterNothing) {
  Bytes gif = Gif(2, 1, Image(2, 1, 2, kTwoPixels));
  GifEngine engine;
  ASSERT_EQ(engine.Open(gif.data(), gif.size(), GifEngine::Mode::kAnimated), GifError::kOk);
  EXPECT_TRUE(engine.single_image());  // nothing follows the image
  GifFrame frame;
  EXPECT_EQ(engine.NextFrame(&frame), GifError::kEndOfData);
  EXPECT_EQ(engine.NextFrame(&frame), GifError::kOk);
  EXPECT_EQ(engine.NextFrame(&frame), GifError::kEndOfData);
}

TEST(GifHandBuiltTest, HugeEmptyImageIsQuick) {
  // 16383 x 16383 fits the pixel-block limit; the data hold two pixels. Decoding must
  // neither read past the data nor take long.
  Bytes gif = Gif(2, 1, Cat({Image(16383, 16383, 2, kTwoPixels), kTrailer}));
  const auto start = std::chrono::steady_clock::now();
  auto picture = DecodeStaticGif(gif.data(), gif.size());
  const auto took = std::chrono::steady_clock::now() - start;
  if (picture) {
    EXPECT_EQ(picture->pixels.data()[1064], 1);
    EXPECT_EQ(picture->pixels.data()[1064 + 2], 0);
  }
  EXPECT_LT(took, std::chrono::seconds(5));
}

// Every file in the regression folders, once found by fuzzing, decodes and walks without
// fault (the sanitizer build turns any fault into a failure).
TEST(GifRegressionTest, ReplaysFoundInputs) {
  const std::filesystem::path root = std::filesystem::path(VARNELT_SOURCE_DIR) / "tests/imaging/regressions";
  std::size_t count = 0;
  if (!std::filesystem::exists(root)) GTEST_SKIP() << "no regression inputs";
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file() || entry.path().extension() == ".md") continue;
    Bytes bytes;
    ASSERT_TRUE(ReadFile(entry.path(), &bytes));
    DecodeStaticGif(bytes.data(), bytes.size());
    GifEngine engine;
    if (engine.Open(bytes.data(), bytes.size(), GifEngine::Mode::kAnimated) == GifError::kOk) {
      // As the fuzz target walks: 64 frames, or until 512 MiB of frames were made.
      std::size_t made = 0;
      for (int i = 0; i < 64 && made < (std::size_t{512} << 20); ++i) {
        GifFrame frame;
        if (engine.NextFrame(&frame) == GifError::kOk) made += frame.dib.size();
      }
    }
    ++count;
  }
  EXPECT_GT(count, 0u);
}

}  // namespace
}  // namespace varnelt
