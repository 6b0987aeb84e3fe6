// Tests the window snapshot under Wine: the BMP file of a window with known content, the
// size rules and the failure results.
#include <gtest/gtest.h>

#include "imaging/window_snapshot_win.h"
#include "tests/win/win_test_support.h"

namespace varnelt {
namespace {

using test::Pump;

// Row y of the test window has the colour RowColour(y) (0x00BBGGRR).
COLORREF RowColour(int y) { return RGB(y, 255 - y, (y * 7) & 0xFF); }

LRESULT CALLBACK RowsProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r{};
    GetClientRect(hwnd, &r);
    for (int y = 0; y < r.bottom; ++y) {
      HBRUSH brush = CreateSolidBrush(RowColour(y));
      RECT row{0, y, r.right, y + 1};
      FillRect(dc, &row, brush);
      DeleteObject(brush);
    }
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

class SnapshotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &RowsProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VarneltRows";
    RegisterClassW(&wc);
    window_ = CreateWindowExW(0, L"VarneltRows", L"", WS_POPUP | WS_VISIBLE, 20, 20, 159, 246, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    UpdateWindow(window_);
    Pump(200);
  }
  void TearDown() override {
    if (IsWindow(window_)) DestroyWindow(window_);
  }
  HWND window_ = nullptr;
};

std::uint32_t Get32(const std::vector<std::uint8_t>& f, std::size_t at) {
  return static_cast<std::uint32_t>(f[at]) | static_cast<std::uint32_t>(f[at + 1]) << 8 |
         static_cast<std::uint32_t>(f[at + 2]) << 16 | static_cast<std::uint32_t>(f[at + 3]) << 24;
}

TEST_F(SnapshotTest, FrameSizedFileIsByteExact) {
  const std::vector<std::uint8_t> file = WindowSnapshot(window_, 159, 246);
  ASSERT_EQ(file.size(), 118134u);
  const std::vector<std::uint8_t> header = {
      0x42, 0x4D, 0x76, 0xCD, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x36, 0x00, 0x00, 0x00, 0x28, 0x00, 0x00, 0x00,
      0x9F, 0x00, 0x00, 0x00, 0xF6, 0x00, 0x00, 0x00, 0x01, 0x00, 0x18, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0xCD,
      0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
  EXPECT_TRUE(std::equal(header.begin(), header.end(), file.begin()));
  // Rows bottom-up, blue green red, 3 pad bytes after 477 pixel bytes.
  for (int file_row = 0; file_row < 246; ++file_row) {
    const int y = 245 - file_row;
    const COLORREF c = RowColour(y);
    for (int x : {0, 80, 158}) {
      const std::size_t at = 54 + static_cast<std::size_t>(file_row) * 480 + static_cast<std::size_t>(x) * 3;
      ASSERT_EQ(file[at], GetBValue(c)) << "row " << y << " x " << x;
      ASSERT_EQ(file[at + 1], GetGValue(c)) << "row " << y << " x " << x;
      ASSERT_EQ(file[at + 2], GetRValue(c)) << "row " << y << " x " << x;
    }
  }
}

TEST_F(SnapshotTest, SizeRules) {
  struct Case {
    std::int32_t w, h, expect_w, expect_h;
  };
  for (const Case& c : {Case{0, 0, 159, 246}, Case{-50, -50, 80, 123}, Case{-5, -5, 16, 25}, Case{-1, -100, 16, 246},
                        Case{4, 3, 4, 3}, Case{1, 1, 1, 1}}) {
    const auto file = WindowSnapshot(window_, c.w, c.h);
    ASSERT_GE(file.size(), 54u) << c.w << "x" << c.h;
    EXPECT_EQ(static_cast<std::int32_t>(Get32(file, 18)), c.expect_w) << c.w;
    EXPECT_EQ(static_cast<std::int32_t>(Get32(file, 22)), c.expect_h) << c.h;
    const std::size_t stride = (static_cast<std::size_t>(c.expect_w) * 3 + 3) & ~std::size_t{3};
    EXPECT_EQ(file.size(), 54 + stride * static_cast<std::size_t>(c.expect_h));
    EXPECT_EQ(Get32(file, 2), file.size());
  }
}

TEST_F(SnapshotTest, TargetSizeRounding) {
  EXPECT_EQ(SnapshotTargetSize(-50, 159), 80);
  EXPECT_EQ(SnapshotTargetSize(-5, 246), 25);
  EXPECT_EQ(SnapshotTargetSize(-10, 4), 0);  // a window narrower than 5 pixels at 10 percent
  EXPECT_EQ(SnapshotTargetSize(0, 10), 10);
  EXPECT_EQ(SnapshotTargetSize(7, 10), 7);
}

TEST_F(SnapshotTest, NoPictureResults) {
  EXPECT_TRUE(WindowSnapshot(window_, -10, 0).size() > 0);
  HWND tiny = CreateWindowExW(0, L"VarneltRows", L"", WS_POPUP | WS_VISIBLE, 0, 0, 4, 4, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  EXPECT_TRUE(WindowSnapshot(tiny, -10, -10).empty());
  DestroyWindow(tiny);
  DestroyWindow(window_);
  EXPECT_TRUE(WindowSnapshot(window_, 159, 246).empty());
}

TEST_F(SnapshotTest, NoWindowCopiesTheScreen) {
  const auto file = WindowSnapshot(nullptr, 0, 0);
  ASSERT_GE(file.size(), 54u);
  EXPECT_EQ(static_cast<std::int32_t>(Get32(file, 18)), GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(static_cast<std::int32_t>(Get32(file, 22)), GetSystemMetrics(SM_CYSCREEN));
}

}  // namespace
}  // namespace varnelt
