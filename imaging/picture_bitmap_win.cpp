#include "imaging/picture_bitmap_win.h"

#include <cstring>
#include <vector>

#include "imaging/bmp_file.h"
#include "imaging/gif_bitmap_win.h"

namespace varnelt {
namespace {

// JPEG and BMP pixel blocks are tight bottom-up BGR rows; a DIB needs each row padded to
// four bytes. Rows that are already a multiple of four are used as they are.
UniqueBitmap FromBgrRows(HDC dc, const DecodedPicture& picture) {
  const auto stride = BmpRowStride(picture.width, 24);
  if (!stride || picture.height <= 0) return {};
  const std::size_t tight = static_cast<std::size_t>(picture.width) * 3;
  const auto rows = static_cast<std::size_t>(picture.height);
  if (picture.pixels.size() < tight * rows) return {};
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = picture.width;
  header.biHeight = picture.height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  const void* bits = picture.pixels.data();
  std::vector<std::uint8_t> padded;
  if (*stride != tight) {
    const auto size = CheckedProduct({*stride, rows});
    if (!size || *size > kMaxPixelBlockBytes) return {};
    padded.assign(*size, 0);
    for (std::size_t y = 0; y < rows; ++y) {
      std::memcpy(padded.data() + y * *stride, picture.pixels.data() + y * tight, tight);
    }
    bits = padded.data();
  }
  return UniqueBitmap(CreateDIBitmap(dc, &header, CBM_INIT, bits, reinterpret_cast<const BITMAPINFO*>(&header),
                                     DIB_RGB_COLORS));
}

// A packed DIB: header, the colour table its header announces, then the rows.
UniqueBitmap FromPackedDib(HDC dc, const DecodedPicture& picture) {
  if (picture.pixels.size() < sizeof(BITMAPINFOHEADER)) return {};
  BITMAPINFOHEADER header{};
  std::memcpy(&header, picture.pixels.data(), sizeof header);
  const std::size_t colours = header.biBitCount <= 8 ? (std::size_t{1} << header.biBitCount) : 0;
  const std::size_t bits_at = sizeof header + 4 * colours;
  if (picture.pixels.size() < bits_at) return {};
  return UniqueBitmap(CreateDIBitmap(dc, reinterpret_cast<const BITMAPINFOHEADER*>(picture.pixels.data()), CBM_INIT,
                                     picture.pixels.data() + bits_at,
                                     reinterpret_cast<const BITMAPINFO*>(picture.pixels.data()), DIB_RGB_COLORS));
}

// A still GIF: its first image at the top-left corner of the logical screen; the rest of
// the screen is white.
UniqueBitmap FromGifStill(HDC dc, const DecodedPicture& picture) {
  UniqueBitmap image = CreateGifDeviceBitmap(dc, picture.pixels.data(), picture.pixels.size());
  if (!image || picture.width <= 0 || picture.height <= 0) return {};
  UniqueBitmap screen(CreateCompatibleBitmap(dc, picture.width, picture.height));
  MemoryDc target(dc), source(dc);
  if (!screen || !target || !source) return {};
  BITMAP info{};
  GetObjectW(image.get(), sizeof info, &info);
  SelectScope select_target(target.get(), screen.get());
  SelectScope select_source(source.get(), image.get());
  PatBlt(target.get(), 0, 0, picture.width, picture.height, WHITENESS);
  BitBlt(target.get(), 0, 0, info.bmWidth, info.bmHeight, source.get(), 0, 0, SRCCOPY);
  return screen;
}

}  // namespace

UniqueBitmap CreatePictureBitmap(HDC dc, const DecodedPicture& picture) {
  switch (picture.kind) {
    case PictureKind::kJpeg:
    case PictureKind::kBmp:
      return FromBgrRows(dc, picture);
    case PictureKind::kGif:
      return FromGifStill(dc, picture);
    case PictureKind::kPcx256:
      return FromPackedDib(dc, picture);
    case PictureKind::kPcxMono:
      return UniqueBitmap(CreateBitmap(picture.width, picture.height, 1, 1, picture.pixels.data()));
    case PictureKind::kIcon:
    case PictureKind::kCursor:
    case PictureKind::kNone:
      break;
  }
  return {};
}

int ChooseStretchMode() {
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  if (EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode) && mode.dmBitsPerPel > 16) return HALFTONE;
  return COLORONCOLOR;
}

}  // namespace varnelt
