#include <windows.h>
#include <gtest/gtest.h>
#include <tlhelp32.h>
#include <cstdio>
#include <optional>
#include "app/layout_record.h"
#include "app/win_handles.h"
#include "imaging/pic_box_win.h"
#include "imaging/picbox_settings.h"
#include "tests/imaging/tiny_gif.h"
#include "tests/win/win_test_support.h"
namespace varnelt {
namespace {
int ProcessThreads() {
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  THREADENTRY32 entry{}; entry.dwSize = sizeof entry; int count = 0;
  for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry))
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  return count;
}
UnitRecord PanelRecord(Bytes picture) {
  UnitRecord unit; unit.kind = KindCode::kPicBox; unit.width = 141; unit.height = 226; unit.state = state_bits::kVisible;
  PicBoxSettings s; s.display_mode = 1; s.picture = std::move(picture); unit.settings = s.Write(); return unit;
}
TEST(Diag, Counts) {
  DWORD h = 0; GetProcessHandleCount(GetCurrentProcess(), &h);
  std::printf("gdi %lu handles %lu\n", GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), h);
  HBITMAP b = CreateBitmap(10, 10, 1, 1, nullptr); HANDLE e = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  GetProcessHandleCount(GetCurrentProcess(), &h);
  std::printf("gdi %lu handles %lu\n", GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), h);
  DeleteObject(b); CloseHandle(e);
}
void ListThreads(const char* what) {
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  THREADENTRY32 entry{}; entry.dwSize = sizeof entry;
  std::printf("%s:", what);
  for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry))
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) std::printf(" %lx", entry.th32ThreadID);
  std::printf("\n");
}
TEST(Diag, Exact) {
  test::HostWindow host(400, 300);
  ListThreads("setup");
  const Bytes gif = test::TinyGif(20, 30, {0xFF0000, 0x00FF00, 0x0000FF}, {test::SolidGifFrame(0,0,20,30,0,5), test::SolidGifFrame(0,0,20,30,1,5), test::SolidGifFrame(0,0,20,30,2,5)});
  auto panel = CreatePicBox(PanelRecord(gif), host.get(), 100);
  ShowWindow(panel->hwnd(), SW_SHOWNA); InvalidateRect(panel->hwnd(), nullptr, FALSE); UpdateWindow(panel->hwnd()); test::Pump(100);
  ListThreads("playing");
  const Bytes bmp = test::MakeBmp24(4, 4, [](int, int) { return 0xFFFF00u; });
  for (int i = 0; i < 3; ++i) {
    panel->WriteSetting(10, gif);
    ListThreads("after write");
    UpdateWindow(panel->hwnd());
    ListThreads("after update");
    test::Pump(60);
    ListThreads("after pump");
    panel->WriteSetting(10, bmp);
    ListThreads("after bmp");
    UpdateWindow(panel->hwnd());
    test::Pump(150);
    ListThreads("after bmp pump");
  }
}
TEST(Diag, Sequence) {
  test::HostWindow host(400, 300);
  std::printf("start %d\n", ProcessThreads());
  const Bytes gif = test::TinyGif(20, 30, {0xFF0000, 0x00FF00}, {test::SolidGifFrame(0,0,20,30,0,5), test::SolidGifFrame(0,0,20,30,1,5)});
  auto panel = CreatePicBox(PanelRecord(gif), host.get(), 100);
  ShowWindow(panel->hwnd(), SW_SHOWNA); InvalidateRect(panel->hwnd(), nullptr, FALSE); UpdateWindow(panel->hwnd()); test::Pump(100);
  std::printf("playing %d\n", ProcessThreads());
  for (int i = 0; i < 3; ++i) {
    panel->WriteSetting(10, gif);
    std::printf("after write %d\n", ProcessThreads());
    UpdateWindow(panel->hwnd());
    std::printf("after update %d\n", ProcessThreads());
    test::Pump(60);
    std::printf("after pump %d\n", ProcessThreads());
    panel->WriteSetting(10, Bytes{});
    std::printf("after empty %d\n", ProcessThreads());
    UpdateWindow(panel->hwnd());
    test::Pump(150);
  }
}
TEST(Diag, Timing) {
  DWORD t = GetTickCount();
  int n = ProcessThreads();
  std::printf("threads %d snapshot %lu ms\n", n, GetTickCount() - t);
  t = GetTickCount();
  std::optional<test::HostWindow> host; host.emplace(200, 250);
  std::printf("host create %lu ms\n", GetTickCount() - t);
  t = GetTickCount(); host.reset(); std::printf("host destroy (no gif) %lu ms\n", GetTickCount() - t);
  const Bytes gif = test::TinyGif(20, 30, {0xFF0000, 0x00FF00}, {test::SolidGifFrame(0,0,20,30,0,500), test::SolidGifFrame(0,0,20,30,1,500)});
  host.emplace(200, 250);
  auto panel = CreatePicBox(PanelRecord(gif), host->get(), 100);
  ShowWindow(panel->hwnd(), SW_SHOWNA); UpdateWindow(panel->hwnd()); test::Pump(100);
  std::printf("threads playing %d\n", ProcessThreads());
  t = GetTickCount(); panel->WriteSetting(10, Bytes{}); std::printf("stop by bytes %lu ms, threads %d\n", GetTickCount() - t, ProcessThreads());
  panel->WriteSetting(10, gif); UpdateWindow(panel->hwnd()); test::Pump(100);
  std::printf("threads playing %d\n", ProcessThreads());
  t = GetTickCount(); DestroyWindow(host->get()); std::printf("DestroyWindow host playing %lu ms threads %d\n", GetTickCount() - t, ProcessThreads());
  t = GetTickCount(); host.reset(); std::printf("host reset %lu ms\n", GetTickCount() - t);
}
}}
