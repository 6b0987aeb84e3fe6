// Tests the picture panel under Wine: what each display mode draws, pictures replaced by
// non-pictures, child panels kept visible, the picture property and the border styles.
#include <gtest/gtest.h>

#include "app/layout_record.h"
#include "imaging/pic_box_win.h"
#include "imaging/picbox_settings.h"
#include "tests/win/win_test_support.h"

namespace varnelt {
namespace {

using test::HostWindow;
using test::MakeBmp24;
using test::Pump;

constexpr std::uint32_t kGreen = 0x0000FF00;  // the panels' background; no test picture has it

// A colour for every pixel of a small picture: its position, readable back.
std::uint32_t Pattern(int x, int y) {
  return static_cast<std::uint32_t>((x * 9) % 256) << 16 | static_cast<std::uint32_t>((y * 5) % 200) << 8 | 0x80;
}

UnitRecord PanelRecord(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height, int mode,
                       Bytes picture = {}) {
  return test::PanelRecord(left, top, width, height, mode, std::move(picture), kGreen);
}

struct Shown {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

Shown Show(Control& panel) {
  ShowWindow(panel.hwnd(), SW_SHOWNA);
  InvalidateRect(panel.hwnd(), nullptr, FALSE);
  UpdateWindow(panel.hwnd());
  Pump();
  Shown s;
  s.pixels = test::ReadClient(panel.hwnd(), &s.width, &s.height);
  return s;
}

class PicBoxTest : public ::testing::Test {
 protected:
  HostWindow host_{400, 300};
};

TEST_F(PicBoxTest, NaturalSizeLeavesBackgroundRightAndBelow) {
  auto panel = CreatePicBox(PanelRecord(0, 0, 141, 226, 0, MakeBmp24(20, 10, Pattern)), host_.get(), 100);
  ASSERT_TRUE(panel);
  const Shown s = Show(*panel);
  ASSERT_EQ(s.width, 141);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(s.at(x, y), Pattern(x, y)) << x << "," << y;
  EXPECT_EQ(s.at(20, 0), kGreen);
  EXPECT_EQ(s.at(140, 9), kGreen);
  EXPECT_EQ(s.at(0, 10), kGreen);
  EXPECT_EQ(s.at(140, 225), kGreen);
}

TEST_F(PicBoxTest, StretchedFillsThePanelExactly) {
  auto panel = CreatePicBox(PanelRecord(0, 0, 141, 226, 1, MakeBmp24(20, 10, Pattern)), host_.get(), 100);
  ASSERT_TRUE(panel);
  const Shown s = Show(*panel);
  int background = 0;
  for (std::uint32_t p : s.pixels) background += p == kGreen;
  EXPECT_EQ(background, 0);
  // The corners show the picture's corners.
  EXPECT_EQ(s.at(0, 0) & 0xFF, 0x80u);
  EXPECT_EQ(s.at(140, 225) & 0xFF, 0x80u);
}

TEST_F(PicBoxTest, HalvesA282x452PictureInThePhotoSlot) {
  // Each 2x2 block of the source has one colour, so the halved picture is exact in
  // whatever way the stretch samples it.
  auto block = [](int x, int y) { return Pattern(x / 2, y / 2); };
  auto panel = CreatePicBox(PanelRecord(0, 0, 141, 226, 1, MakeBmp24(282, 452, block)), host_.get(), 100);
  ASSERT_TRUE(panel);
  const Shown s = Show(*panel);
  int wrong = 0;
  for (int y = 0; y < 226; ++y)
    for (int x = 0; x < 141; ++x) wrong += s.at(x, y) != Pattern(x, y);
  EXPECT_EQ(wrong, 0);
}

TEST_F(PicBoxTest, CentredAndShrunk) {
  struct Case {
    int pw, ph, x, y, w, h;
  };
  for (const Case& c : {Case{100, 50, 20, 88, 100, 50}, Case{300, 100, 0, 89, 141, 47}}) {
    SCOPED_TRACE(testing::Message() << c.pw << "x" << c.ph);
    auto panel = CreatePicBox(PanelRecord(0, 0, 141, 226, 2, MakeBmp24(c.pw, c.ph, Pattern)), host_.get(), 100);
    ASSERT_TRUE(panel);
    const Shown s = Show(*panel);
    for (int y = 0; y < 226; ++y) {
      for (int x = 0; x < 141; ++x) {
        const bool inside = x >= c.x && x < c.x + c.w && y >= c.y && y < c.y + c.h;
        ASSERT_EQ(s.at(x, y) == kGreen, !inside) << x << "," << y;
      }
    }
    if (c.w == c.pw) {
      EXPECT_EQ(s.at(c.x + 3, c.y + 4), Pattern(3, 4));
    }
  }
}

TEST_F(PicBoxTest, NonPictureAfterPictureLeavesTheBackgroundAndKeepsTheBytes) {
  auto panel = CreatePicBox(PanelRecord(0, 0, 141, 226, 1, MakeBmp24(20, 10, Pattern)), host_.get(), 100);
  ASSERT_TRUE(panel);
  ASSERT_NE(Show(*panel).at(70, 100), kGreen);
  const Bytes text = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'};
  panel->WriteSetting(picbox_setting::kPicture, text);
  const Shown s = Show(*panel);
  for (std::uint32_t p : s.pixels) ASSERT_EQ(p, kGreen);
  EXPECT_EQ(std::get<Bytes>(*panel->ReadSetting(picbox_setting::kPicture)), text);
  // A picture again after the non-picture shows normally.
  panel->WriteSetting(picbox_setting::kPicture, MakeBmp24(20, 10, Pattern));
  EXPECT_NE(Show(*panel).at(70, 100), kGreen);
  panel->WriteSetting(picbox_setting::kPicture, Bytes{});
  EXPECT_EQ(Show(*panel).at(70, 100), kGreen);
}

TEST_F(PicBoxTest, ChildPanelStaysVisibleOverNewBytes) {
  auto parent = CreatePicBox(PanelRecord(0, 0, 141, 226, 1), host_.get(), 100);
  ASSERT_TRUE(parent);
  UnitRecord child_unit = PanelRecord(43, 6, 12, 12, 0);
  PicBoxSettings red;
  red.background_colour = 0x000000FF;
  child_unit.settings = red.Write();
  auto child = CreatePicBox(child_unit, host_.get(), 110);
  ASSERT_TRUE(child);
  SetParent(child->hwnd(), parent->hwnd());
  SetWindowPos(child->hwnd(), nullptr, 43, 6, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(child->hwnd(), SW_SHOWNA);
  Show(*parent);
  parent->WriteSetting(picbox_setting::kPicture, MakeBmp24(20, 10, Pattern));
  UpdateWindow(parent->hwnd());
  Pump();
  int w = 0, h = 0;
  const auto pixels = test::ReadClient(parent->hwnd(), &w, &h);
  EXPECT_EQ(pixels[static_cast<std::size_t>(10 * w + 48)], 0x00FF0000u);  // red, as 0x00RRGGBB
  EXPECT_NE(pixels[static_cast<std::size_t>(100 * w + 70)], kGreen);
}

TEST_F(PicBoxTest, SettingsBlockAndPropertyClamps) {
  UnitRecord bad = PanelRecord(0, 0, 10, 10, 0);
  bad.settings[0] = 3;  // version
  EXPECT_FALSE(CreatePicBox(bad, host_.get(), 100));
  bad.settings = {2, 0, 0};
  EXPECT_FALSE(CreatePicBox(bad, host_.get(), 100));

  auto panel = CreatePicBox(PanelRecord(0, 0, 50, 50, 0), host_.get(), 100);
  ASSERT_TRUE(panel);
  panel->WriteSetting(picbox_setting::kDisplayMode, std::int32_t{7});
  EXPECT_EQ(std::get<std::int32_t>(*panel->ReadSetting(picbox_setting::kDisplayMode)), 2);
  panel->WriteSetting(picbox_setting::kBorderStyle, std::int32_t{9});
  EXPECT_EQ(std::get<std::int32_t>(*panel->ReadSetting(picbox_setting::kBorderStyle)), 5);
  EXPECT_NE(GetWindowLongW(panel->hwnd(), GWL_STYLE) & WS_BORDER, 0);
  RECT client{};
  GetClientRect(panel->hwnd(), &client);
  EXPECT_EQ(client.right, 48);  // the border lies inside the outer size
  panel->WriteSetting(picbox_setting::kBorderStyle, std::int32_t{1});
  EXPECT_EQ(GetWindowLongW(panel->hwnd(), GWL_STYLE) & WS_BORDER, 0);
  EXPECT_NE(GetWindowLongW(panel->hwnd(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
}

}  // namespace
}  // namespace varnelt
