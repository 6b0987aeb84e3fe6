// End-to-end tests of what the main window draws: the usage text in black inside the help
// box, the two red lines at their places, and button captions drawn with real glyphs in
// any locale.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "tests/e2e/driver.h"

namespace {

using driver::Pixels;

bool IsRed(std::uint32_t p) {
  const int r = static_cast<int>((p >> 16) & 0xFF), g = static_cast<int>((p >> 8) & 0xFF), b = static_cast<int>(p & 0xFF);
  return r > 150 && g < 110 && b < 110;
}

bool IsDark(std::uint32_t p) {
  const int r = static_cast<int>((p >> 16) & 0xFF), g = static_cast<int>((p >> 8) & 0xFF), b = static_cast<int>(p & 0xFF);
  return r < 90 && g < 90 && b < 90;
}

struct Box {
  int left, top, right, bottom;
  bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// In the main window's client area.
constexpr Box kUsage{173, 24, 376, 144};
constexpr Box kHelpBox{168, 3, 384, 152};
constexpr Box kCredit{248, 200, 312, 216};
constexpr Box kContact{240, 224, 320, 240};
constexpr Box kLoadButton{169, 164, 265, 188};

int Count(const Pixels& pixels, const Box& box, bool (*test)(std::uint32_t)) {
  int n = 0;
  for (int y = box.top; y < box.bottom && y < pixels.height; ++y)
    for (int x = box.left; x < box.right && x < pixels.width; ++x) n += test(pixels.at(x, y)) ? 1 : 0;
  return n;
}

int LeftmostX(const Pixels& pixels, const Box& box, bool (*test)(std::uint32_t)) {
  for (int x = box.left; x < box.right; ++x)
    for (int y = box.top; y < box.bottom; ++y)
      if (test(pixels.at(x, y))) return x;
  return -1;
}

Pixels Crop(const Pixels& pixels, const Box& box) {
  Pixels out;
  out.width = box.right - box.left;
  out.height = box.bottom - box.top;
  for (int y = box.top; y < box.bottom; ++y)
    for (int x = box.left; x < box.right; ++x) out.rgb.push_back(pixels.at(x, y));
  return out;
}

class RenderingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = std::make_unique<driver::Program>(driver::ProgramPath());
    ASSERT_TRUE(program_->started());
    window_ = program_->WaitForWindow(L"OrvaneWindow");
    ASSERT_NE(window_, nullptr);
    driver::Settle(800);
    pixels_ = driver::CaptureClient(window_);
    ASSERT_GE(pixels_.width, 384);
    ASSERT_GE(pixels_.height, 240);
  }

  std::unique_ptr<driver::Program> program_;
  HWND window_ = nullptr;
  Pixels pixels_;
};

TEST_F(RenderingTest, UsageTextIsBlackInsideTheHelpBox) {
  EXPECT_GT(Count(pixels_, kUsage, IsDark), 300);
  // Starts at the label's top-left corner.
  EXPECT_LE(LeftmostX(pixels_, kUsage, IsDark), kUsage.left + 4);
  // Nothing of it below the help box, above the buttons, nor right of the box.
  EXPECT_EQ(Count(pixels_, {kHelpBox.left, kHelpBox.bottom, kHelpBox.right, 164}, IsDark), 0);
  EXPECT_EQ(Count(pixels_, {kHelpBox.right, 0, pixels_.width, 164}, IsDark), 0);
}

TEST_F(RenderingTest, FrameShowsItsBorderTheWhiteSlotAndTheBadge) {
  int wrong = 0;
  for (int y = 0; y < std::min(pixels_.height, 246); ++y) {
    for (int x = 0; x < 159; ++x) {
      const bool border = x < 9 || x >= 150 || y < 10 || y >= 236;
      const bool badge = x >= 52 && x < 64 && y >= 16 && y < 28;
      if (border) wrong += !IsDark(pixels_.at(x, y));
      if (!border && !badge) wrong += pixels_.at(x, y) != 0xFFFFFFu;
    }
  }
  EXPECT_EQ(wrong, 0);
  for (int i = 0; i < 12; ++i) {
    EXPECT_TRUE(IsRed(pixels_.at(52 + i, 16))) << i;
    EXPECT_TRUE(IsRed(pixels_.at(52, 16 + i))) << i;
  }
  EXPECT_GT(Count(pixels_, {53, 17, 63, 27}, IsRed), 10);  // the glyph
}

TEST_F(RenderingTest, RedLinesAreLeftAlignedInTheirLabelsAndNowhereElse) {
  EXPECT_GT(Count(pixels_, kCredit, IsRed), 30);
  EXPECT_GT(Count(pixels_, kContact, IsRed), 30);
  EXPECT_LE(LeftmostX(pixels_, kCredit, IsRed), kCredit.left + 2);
  EXPECT_LE(LeftmostX(pixels_, kContact, IsRed), kContact.left + 2);
  // Each fits its label: the last column stays clear.
  EXPECT_EQ(Count(pixels_, {kCredit.right - 1, kCredit.top, kCredit.right, kCredit.bottom}, IsRed), 0);
  EXPECT_EQ(Count(pixels_, {kContact.right - 1, kContact.top, kContact.right, kContact.bottom}, IsRed), 0);
  // Nowhere else on the right of the frame panel (whose badge is red of its own).
  int outside = 0;
  for (int y = 0; y < pixels_.height; ++y)
    for (int x = 159; x < pixels_.width; ++x)
      if (!kCredit.contains(x, y) && !kContact.contains(x, y) && IsRed(pixels_.at(x, y))) ++outside;
  EXPECT_EQ(outside, 0);
}

// What a caption's ink looks like: dark pixels inside the button (its edges and the focus
// rectangle left out), their bounding box, and the share of them that lie strictly inside
// their connected stroke's bounding box. A replacement box is a bare outline: that share
// is 0. Real glyphs have strokes inside their outline.
struct Ink {
  int count = 0;
  double inside_share = 0;
  Box bounds{0, 0, 0, 0};
};

Ink InkOf(const Pixels& p) {
  constexpr int kInset = 4;
  auto dark = [&](int x, int y) {
    if (x < kInset || y < kInset || x >= p.width - kInset || y >= p.height - kInset) return false;
    const std::uint32_t c = p.at(x, y);
    return ((c >> 16 & 0xFF) + (c >> 8 & 0xFF) + (c & 0xFF)) / 3 < 200;
  };
  Ink ink;
  ink.bounds = {p.width, p.height, -1, -1};
  std::vector<char> seen(p.rgb.size(), 0);
  int inside = 0;
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      const auto at = static_cast<std::size_t>(y * p.width + x);
      if (!dark(x, y) || seen[at]) continue;
      std::vector<std::pair<int, int>> stroke{{x, y}};
      seen[at] = 1;
      Box box{x, y, x, y};
      for (std::size_t k = 0; k < stroke.size(); ++k) {
        const auto [cx, cy] = stroke[k];
        box = {std::min(box.left, cx), std::min(box.top, cy), std::max(box.right, cx), std::max(box.bottom, cy)};
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) {
            const int nx = cx + dx, ny = cy + dy;
            if (!dark(nx, ny)) continue;
            const auto n = static_cast<std::size_t>(ny * p.width + nx);
            if (!seen[n]) {
              seen[n] = 1;
              stroke.emplace_back(nx, ny);
            }
          }
      }
      for (const auto& [sx, sy] : stroke) inside += (sx > box.left && sx < box.right && sy > box.top && sy < box.bottom);
      ink.count += static_cast<int>(stroke.size());
      ink.bounds = {std::min(ink.bounds.left, box.left), std::min(ink.bounds.top, box.top),
                    std::max(ink.bounds.right, box.right), std::max(ink.bounds.bottom, box.bottom)};
    }
  }
  ink.inside_share = ink.count == 0 ? 0 : static_cast<double>(inside) / ink.count;
  return ink;
}

// Reads back a capture written by driver::WriteBmp.
Pixels ReadCapture(const std::wstring& path) {
  Pixels p;
  std::ifstream in(path.c_str(), std::ios::binary);
  const std::string d((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (d.size() < 54) return p;
  auto get32 = [&](std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(d[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(d[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(d[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(d[at + 3])) << 24;
  };
  p.width = static_cast<int>(get32(18));
  p.height = static_cast<int>(get32(22));
  const std::size_t stride = (static_cast<std::size_t>(p.width) * 3 + 3) & ~std::size_t{3};
  if (d.size() < 54 + stride * static_cast<std::size_t>(p.height)) return Pixels{};
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const std::size_t at = 54 + stride * static_cast<std::size_t>(p.height - 1 - y) + 3 * static_cast<std::size_t>(x);
      p.rgb.push_back(static_cast<std::uint32_t>(static_cast<unsigned char>(d[at])) |
                      static_cast<std::uint32_t>(static_cast<unsigned char>(d[at + 1])) << 8 |
                      static_cast<std::uint32_t>(static_cast<unsigned char>(d[at + 2])) << 16);
    }
  return p;
}

// The Load button's caption is drawn with real glyphs, and the same text in the same place
// as in another locale: the capture is written to VARNELT_CAPTION_OUT and compared with
// VARNELT_CAPTION_REFERENCE (the Chinese locale's) when that is set. The locales reach the
// CJK font by different paths (directly, or linked from the dialog font), so anti-aliasing
// may differ by a level; the strokes' extent may not.
TEST_F(RenderingTest, ButtonCaptionHasRealGlyphsInEveryLocale) {
  const Pixels caption = Crop(pixels_, kLoadButton);
  const Ink ink = InkOf(caption);
  EXPECT_GT(ink.count, 60);
  EXPECT_GT(ink.inside_share, 0.3) << "the caption looks like replacement boxes";
  std::wstring out = driver::ProgramPath(L"VARNELT_CAPTION_OUT");
  if (out.empty()) out = L"caption-check.bmp";
  ASSERT_TRUE(driver::WriteBmp(out, caption));

  const std::wstring reference_path = driver::ProgramPath(L"VARNELT_CAPTION_REFERENCE");
  if (reference_path.empty()) return;
  const Pixels reference = ReadCapture(reference_path);
  ASSERT_EQ(reference.width, caption.width) << "no reference capture";
  const Ink expected = InkOf(reference);
  EXPECT_NEAR(ink.bounds.left, expected.bounds.left, 3);
  EXPECT_NEAR(ink.bounds.right, expected.bounds.right, 3);
  EXPECT_NEAR(ink.bounds.top, expected.bounds.top, 2);
  EXPECT_NEAR(ink.bounds.bottom, expected.bounds.bottom, 2);
  EXPECT_NEAR(ink.count, expected.count, expected.count / 4);
}

}  // namespace
