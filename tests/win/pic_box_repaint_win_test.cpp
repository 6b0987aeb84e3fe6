// Tests that a large photo in the photo slot repaints quickly: the panel keeps the picture
// as last drawn, so a repaint is one copy, not a new conversion and stretch.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/layout_record.h"
#include "imaging/pic_box_win.h"
#include "files/whole_file_win.h"
#include "imaging/picbox_settings.h"
#include "imaging/window_snapshot_win.h"
#include "tests/win/win_test_support.h"

namespace varnelt {
namespace {

double PaintMilliseconds(HWND panel) {
  InvalidateRect(panel, nullptr, FALSE);
  const auto start = std::chrono::steady_clock::now();
  UpdateWindow(panel);
  GdiFlush();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

TEST(PicBoxRepaint, LargePhotoRepaintsWithinTenMilliseconds) {
  const char* fixtures = std::getenv("VARNELT_E2E_FIXTURES");
  if (fixtures == nullptr) GTEST_SKIP() << "VARNELT_E2E_FIXTURES is not set";
  std::wstring path(fixtures, fixtures + std::strlen(fixtures));
  path += L"\\large.jpg";
  FILE* in = _wfopen(path.c_str(), L"rb");
  ASSERT_NE(in, nullptr) << "no large.jpg fixture";
  Bytes bytes;
  std::uint8_t chunk[65536];
  std::size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
  std::fclose(in);

  test::HostWindow host(200, 260);
  UnitRecord unit;
  unit.kind = KindCode::kPicBox;
  unit.width = 141;
  unit.height = 226;
  unit.state = state_bits::kVisible;
  PicBoxSettings settings;
  settings.display_mode = 1;
  unit.settings = settings.Write();
  auto panel = CreatePicBox(unit, host.get(), 100);
  ASSERT_TRUE(panel);
  ShowWindow(panel->hwnd(), SW_SHOWNA);
  test::Pump();

  const auto start = std::chrono::steady_clock::now();
  panel->WriteSetting(picbox_setting::kPicture, bytes);
  const double decode = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  const double first = PaintMilliseconds(panel->hwnd());
  std::vector<double> repaints;
  for (int i = 0; i < 21; ++i) repaints.push_back(PaintMilliseconds(panel->hwnd()));
  std::sort(repaints.begin(), repaints.end());
  std::printf("6000x4000 JPEG: decode %.1f ms, first paint %.1f ms, repaint median %.2f ms, worst %.2f ms\n", decode,
              first, repaints[10], repaints.back());
  // The median, so that one time slice lost to another process on a busy machine does not
  // decide; an uncached repaint takes the first paint's time again.
  EXPECT_LE(repaints[10], 10.0);

  // What a Save then does: the copy of the frame and the file written beside the work.
  const auto save_start = std::chrono::steady_clock::now();
  const Bytes snapshot = WindowSnapshot(host.get(), 159, 246);
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring saved = std::wstring(temp) + L"varnelt-timing.bmp";
  EXPECT_TRUE(WriteWholeFile(saved, {&snapshot}));
  const double save = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - save_start).count();
  DeleteFileW(saved.c_str());
  EXPECT_EQ(snapshot.size(), 118134u);
  std::printf("snapshot and write of the 159x246 frame: %.1f ms\n", save);
  // What the repaint shows is the picture, not the background.
  int w = 0, h = 0;
  const auto pixels = test::ReadClient(panel->hwnd(), &w, &h);
  ASSERT_EQ(pixels.size(), 141u * 226u);
  // The gradient runs from blue at the left to orange at the right.
  EXPECT_GT(pixels[0] & 0xFF, 150u);
  EXPECT_GT(pixels[140] >> 16 & 0xFF, 150u);
}

}  // namespace
}  // namespace varnelt
