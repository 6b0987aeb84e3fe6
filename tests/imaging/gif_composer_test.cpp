// Tests the composition of GIF frames: multi-frame GIFs by independent encoders composed
// frame by frame against ImageMagick's -coalesce flattened over white, frame times, the
// repetition after the last frame, frames that fail, and canvas sizes refused.
#include "imaging/gif_composer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/imaging/picture_fixtures.h"
#include "tests/imaging/tiny_gif.h"

namespace varnelt {
namespace {

using testing::RgbImage;

RgbImage CanvasToRgb(const GifComposer& composer) {
  RgbImage image;
  image.width = composer.width();
  image.height = composer.height();
  image.pixels.reserve(image.width * image.height * 3);
  for (std::uint32_t y = 0; y < composer.height(); ++y) {
    const std::uint32_t* row = composer.row(y);
    for (std::uint32_t x = 0; x < composer.width(); ++x) {
      image.pixels.push_back(static_cast<std::uint8_t>(row[x] >> 16));
      image.pixels.push_back(static_cast<std::uint8_t>(row[x] >> 8));
      image.pixels.push_back(static_cast<std::uint8_t>(row[x]));
    }
  }
  return image;
}

struct Animation {
  std::string name;
  std::vector<std::uint32_t> frame_ms;  // from the delays the fixture script gives
  bool first_frame_covers_screen;       // opaque and full size: the repetition starts afresh
};

void PrintTo(const Animation& a, std::ostream* os) { *os << a.name; }

class GifComposerFixtureTest : public ::testing::TestWithParam<Animation> {};

TEST_P(GifComposerFixtureTest, FramesMatchTheReferenceComposition) {
  const Animation& a = GetParam();
  VARNELT_LOAD_FIXTURE(gif, "gif/" + a.name + ".gif");
  std::vector<RgbImage> references;
  for (std::size_t n = 0; n < a.frame_ms.size(); ++n) {
    VARNELT_LOAD_FIXTURE(ppm, "gif/" + a.name + "_c" + std::to_string(n) + ".ppm");
    auto reference = testing::ParsePpm(ppm);
    ASSERT_TRUE(reference) << n;
    references.push_back(std::move(*reference));
  }

  GifEngine engine;
  ASSERT_EQ(engine.Open(gif.data(), gif.size(), GifEngine::Mode::kAnimated), GifError::kOk);
  ASSERT_FALSE(engine.single_image());
  GifComposer composer;
  ASSERT_TRUE(composer.Reset(engine.screen_width(), engine.screen_height()));
  for (std::size_t n = 0; n < references.size(); ++n) {
    SCOPED_TRACE(::testing::Message() << "frame " << n);
    const GifStep step = composer.Step(engine);
    ASSERT_TRUE(step.composed);
    EXPECT_EQ(step.frame_ms, a.frame_ms[n]);
    EXPECT_TRUE(testing::SameRgb(references[n], CanvasToRgb(composer)));
  }

  // The frames come round again without end.
  if (a.first_frame_covers_screen) {
    for (int pass = 0; pass < 2; ++pass) {
      for (std::size_t n = 0; n < references.size(); ++n) {
        SCOPED_TRACE(::testing::Message() << "pass " << pass + 1 << " frame " << n);
        const GifStep step = composer.Step(engine);
        ASSERT_TRUE(step.composed);
        EXPECT_EQ(step.frame_ms, a.frame_ms[n]);
        EXPECT_TRUE(testing::SameRgb(references[n], CanvasToRgb(composer)));
      }
    }
  } else {
    // The first frame is placed over what the last one left: the canvas is not cleared.
    const RgbImage last = CanvasToRgb(composer);
    GifFrame first;
    {
      GifEngine probe;
      ASSERT_EQ(probe.Open(gif.data(), gif.size(), GifEngine::Mode::kStatic), GifError::kOk);
      ASSERT_EQ(probe.NextFrame(&first), GifError::kOk);
    }
    const GifStep step = composer.Step(engine);
    ASSERT_TRUE(step.composed);
    EXPECT_EQ(step.frame_ms, a.frame_ms[0]);
    const RgbImage again = CanvasToRgb(composer);
    std::size_t outside = 0;
    for (std::size_t y = 0; y < again.height; ++y) {
      for (std::size_t x = 0; x < again.width; ++x) {
        const std::size_t left = first.left, top = first.top;
        if (x >= left && x < left + first.width && y >= top && y < top + first.height) continue;
        const std::size_t at = (y * again.width + x) * 3;
        ASSERT_EQ(again.pixels[at], last.pixels[at]) << x << "," << y;
        ASSERT_EQ(again.pixels[at + 1], last.pixels[at + 1]) << x << "," << y;
        ++outside;
      }
    }
    EXPECT_GT(outside, 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, GifComposerFixtureTest,
    ::testing::Values(Animation{"anim_dispose", {50, 30, 50, 20, 50, 40, 10}, true},
                      Animation{"anim_transparent", {60, 50, 80, 20}, false},
                      Animation{"anim_offscreen", {70, 50, 30, 40, 50}, true}),
    [](const ::testing::TestParamInfo<Animation>& param) { return param.param.name; });

constexpr std::uint32_t kRed = 0xFF0000, kBlue = 0x0000FF, kGrey = 0x808080;

std::uint32_t At(const GifComposer& c, std::uint32_t x, std::uint32_t y) { return c.row(y)[x]; }

TEST(GifComposerTest, DisposalToBackgroundIsWhiteNotWhatLayUnder) {
  // A blue screen, then a red frame of method 2, then a frame elsewhere: the red area
  // becomes white, although blue lay under it.
  const auto gif = test::TinyGif(6, 4, {kBlue, kRed},
                                 {test::SolidGifFrame(0, 0, 6, 4, 0, 1), test::SolidGifFrame(1, 1, 2, 2, 1, 2, 2),
                                  test::SolidGifFrame(5, 3, 1, 1, 1, 3)});
  GifEngine engine;
  ASSERT_EQ(engine.Open(gif.data(), gif.size(), GifEngine::Mode::kAnimated), GifError::kOk);
  GifComposer composer;
  ASSERT_TRUE(composer.Reset(6, 4));
  composer.Step(engine);
  const GifStep red = composer.Step(engine);
  EXPECT_EQ(At(composer, 1, 1), kRed);
  EXPECT_EQ(red.changed, (GifRect{1, 1, 2, 2}));
  const GifStep third = composer.Step(engine);
  EXPECT_EQ(At(composer, 1, 1), GifComposer::kBackground);
  EXPECT_EQ(At(composer, 2, 2), GifComposer::kBackground);
  EXPECT_EQ(At(composer, 0, 0), kBlue);
  EXPECT_EQ(At(composer, 5, 3), kRed);
  EXPECT_EQ(third.changed, (GifRect{1, 1, 5, 3}));
}

TEST(GifComposerTest, FailedFrameKeepsTheCanvasAndThePlaybackGoesOn) {
  // An extension of an unknown label between the frames yields no frame for one step.
  test::TinyGifFrame second = test::SolidGifFrame(0, 0, 2, 2, 1, 4);
  second.before = {0x21, 0x02, 0x00};
  const auto gif = test::TinyGif(2, 2, {kGrey, kRed}, {test::SolidGifFrame(0, 0, 2, 2, 0, 7, 2), second});
  GifEngine engine;
  ASSERT_EQ(engine.Open(gif.data(), gif.size(), GifEngine::Mode::kAnimated), GifError::kOk);
  GifComposer composer;
  ASSERT_TRUE(composer.Reset(2, 2));
  ASSERT_TRUE(composer.Step(engine).composed);
  EXPECT_EQ(At(composer, 0, 0), kGrey);
  const GifStep failed = composer.Step(engine);
  EXPECT_FALSE(failed.composed);
  EXPECT_EQ(failed.frame_ms, 70u);                          // the controls in force
  EXPECT_EQ(At(composer, 0, 0), GifComposer::kBackground);  // the disposal still happened
  const GifStep next = composer.Step(engine);
  ASSERT_TRUE(next.composed);
  EXPECT_EQ(next.frame_ms, 40u);
  EXPECT_EQ(At(composer, 1, 1), kRed);
  // And round again to the first frame.
  ASSERT_TRUE(composer.Step(engine).composed);
  EXPECT_EQ(At(composer, 1, 1), kGrey);
}

TEST(GifComposerTest, FrameTimes) {
  EXPECT_EQ(GifFrameTimeMs(0), 50u);
  EXPECT_EQ(GifFrameTimeMs(1), 10u);
  EXPECT_EQ(GifFrameTimeMs(10), 100u);
  EXPECT_EQ(GifFrameTimeMs(65535), 655350u);
}

TEST(GifComposerTest, CanvasSizes) {
  GifComposer composer;
  EXPECT_FALSE(composer.Reset(0, 10));
  EXPECT_FALSE(composer.Reset(10, 0));
  EXPECT_EQ(composer.pixels(), nullptr);
  // 65535 x 65535 x 4 bytes is far beyond what a picture may take.
  EXPECT_FALSE(composer.Reset(65535, 65535));
  ASSERT_TRUE(composer.Reset(3, 2));
  for (std::uint32_t y = 0; y < 2; ++y)
    for (std::uint32_t x = 0; x < 3; ++x) EXPECT_EQ(At(composer, x, y), GifComposer::kBackground);
  // Without a canvas nothing is composed.
  GifComposer none;
  const auto gif = test::TinyGif(2, 2, {kGrey, kRed}, {test::SolidGifFrame(0, 0, 2, 2, 1)});
  GifEngine engine;
  ASSERT_EQ(engine.Open(gif.data(), gif.size(), GifEngine::Mode::kAnimated), GifError::kOk);
  EXPECT_FALSE(none.Step(engine).composed);
}

}  // namespace
}  // namespace varnelt
