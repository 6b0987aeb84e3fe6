#pragma once
// Helpers for the Windows-layer tests: a visible host window, message pumping, reading
// back what a window shows, and small BMP files made in memory.

#include <windows.h>

#include <cstdint>
#include <vector>

#include "app/layout_record.h"

namespace varnelt::test {

// A visible pop-up window of the given client size at the screen's top-left corner,
// painted white; destroyed when it goes.
class HostWindow {
 public:
  HostWindow(int width, int height);
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;
  HWND get() const { return hwnd_; }

 private:
  HWND hwnd_ = nullptr;
};

// The layout record of a visible picture panel with the given place, display mode,
// picture bytes and background colour (0x00BBGGRR).
UnitRecord PanelRecord(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height, int mode,
                       Bytes picture, std::uint32_t background);

// Dispatches every waiting message, repaints what is invalid, for about `ms`.
void Pump(DWORD ms = 50);

// The colours (0x00RRGGBB) that `window`'s client area shows now, top row first.
std::vector<std::uint32_t> ReadClient(HWND window, int* width, int* height);

// A 24-bit bottom-up BMP file of width x height whose pixel (x, y), counted from the top,
// has the colour colour(x, y) as 0x00RRGGBB.
template <typename Colour>
std::vector<std::uint8_t> MakeBmp24(int width, int height, Colour colour) {
  const int stride = (width * 3 + 3) & ~3;
  std::vector<std::uint8_t> file(54 + static_cast<std::size_t>(stride * height), 0);
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) file[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<std::uint32_t>(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(width));
  put32(22, static_cast<std::uint32_t>(height));
  file[26] = 1;
  file[28] = 24;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = file.data() + 54 + static_cast<std::size_t>(stride * (height - 1 - y));
    for (int x = 0; x < width; ++x) {
      const std::uint32_t c = colour(x, y);
      row[3 * x] = static_cast<std::uint8_t>(c);
      row[3 * x + 1] = static_cast<std::uint8_t>(c >> 8);
      row[3 * x + 2] = static_cast<std::uint8_t>(c >> 16);
    }
  }
  return file;
}

}  // namespace varnelt::test
