#include "tests/win/win_test_support.h"

#include "app/win_handles.h"
#include "imaging/picbox_settings.h"

namespace varnelt::test {
namespace {

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_ERASEBKGND) {
    RECT r{};
    GetClientRect(hwnd, &r);
    FillRect(reinterpret_cast<HDC>(wparam), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    return 1;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace

HostWindow::HostWindow(int width, int height) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = &HostProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"VarneltTestHost";
  RegisterClassW(&wc);
  hwnd_ = CreateWindowExW(0, L"VarneltTestHost", L"host", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr,
                          nullptr, GetModuleHandleW(nullptr), nullptr);
  Pump();
}

HostWindow::~HostWindow() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
  Pump(10);
}

UnitRecord PanelRecord(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height, int mode,
                       Bytes picture, std::uint32_t background) {
  UnitRecord unit;
  unit.kind = KindCode::kPicBox;
  unit.left = left;
  unit.top = top;
  unit.width = width;
  unit.height = height;
  unit.state = state_bits::kVisible;
  PicBoxSettings s;
  s.background_colour = background;
  s.display_mode = mode;
  s.picture = std::move(picture);
  unit.settings = s.Write();
  return unit;
}

void Pump(DWORD ms) {
  const DWORD until = GetTickCount() + ms;
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(5);
  } while (GetTickCount() < until);
}

std::vector<std::uint32_t> ReadClient(HWND window, int* width, int* height) {
  RECT r{};
  GetClientRect(window, &r);
  *width = r.right;
  *height = r.bottom;
  WindowDc dc(window);
  MemoryDc memory(dc.get());
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = r.right;
  info.bmiHeader.biHeight = -r.bottom;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  UniqueBitmap section(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  std::vector<std::uint32_t> pixels;
  if (!section) return pixels;
  {
    SelectScope select(memory.get(), section.get());
    BitBlt(memory.get(), 0, 0, r.right, r.bottom, dc.get(), 0, 0, SRCCOPY);
    GdiFlush();
  }
  const auto* p = static_cast<const std::uint32_t*>(bits);
  pixels.assign(p, p + static_cast<std::size_t>(r.right) * static_cast<std::size_t>(r.bottom));
  for (auto& c : pixels) c &= 0x00FFFFFF;
  return pixels;
}

}  // namespace varnelt::test
