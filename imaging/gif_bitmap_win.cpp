#include "imaging/gif_bitmap_win.h"

#include <cstring>

#include "imaging/gif_engine.h"
#include "imaging/pixel_block.h"

namespace varnelt {

UniqueBitmap CreateGifDeviceBitmap(HDC dc, const std::uint8_t* dib, std::size_t size) {
  if (dc == nullptr || dib == nullptr || size < kGifDibPixelOffset) return {};
  BITMAPINFOHEADER header;
  std::memcpy(&header, dib, sizeof header);
  if (header.biSize != sizeof header || header.biBitCount != 8 || header.biPlanes != 1 ||
      header.biCompression != BI_RGB || header.biWidth <= 0 || header.biHeight >= 0 ||
      header.biHeight == INT32_MIN) {
    return {};
  }
  const auto width = static_cast<std::size_t>(header.biWidth);
  const auto height = static_cast<std::size_t>(-header.biHeight);
  const auto rows = CheckedProduct({GifDibStride(width), height});
  if (!rows || size - kGifDibPixelOffset < *rows) return {};

  // The header handed first sets the device bitmap's size, which is positive; the full
  // BITMAPINFO describes the top-down bits.
  BITMAPINFOHEADER size_header = header;
  size_header.biHeight = -header.biHeight;
  HBITMAP bitmap = CreateDIBitmap(dc, &size_header, CBM_INIT, dib + kGifDibPixelOffset,
                                  reinterpret_cast<const BITMAPINFO*>(dib), DIB_RGB_COLORS);
  return UniqueBitmap(bitmap);
}

}  // namespace varnelt
