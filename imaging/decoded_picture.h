#pragma once
// What decoding makes of a picture file's bytes: its kind, size and pixels, in the pixel
// layout of its kind (below). Portable: the Windows layer turns it into what GDI draws.

#include <cstddef>
#include <cstdint>

#include "imaging/pixel_block.h"

namespace varnelt {

// Picture kinds, recognised by the first six bytes of a file (SniffPictureKind).
enum class PictureKind : std::int32_t {
  kNone = 0,
  kJpeg = 1,
  kBmp = 2,
  kIcon = 3,
  kCursor = 4,
  kGif = 5,
  kPcx256 = 6,
  kPcxMono = 7,
};

// For icons and cursors: the directory entry chosen and where its image lies in the file.
// The Windows layer makes the icon handle from those bytes.
struct IconImage {
  std::size_t entry = 0;   // index of the chosen directory entry, from 0
  std::size_t offset = 0;  // image bytes within the file
  std::size_t size = 0;
  std::uint16_t bit_count = 0;  // the bitmap header's bit count (image byte 14)
};

// Pixel block by kind:
// - kJpeg, kBmp: width*height*3 bytes, rows of width*3 bytes with no padding, BOTTOM row
//   first, each pixel blue, green, red.
// - kIcon, kCursor: no block; `icon` says which image to make the icon from.
// - kGif (still): a packed DIB of the first image: 40-byte BITMAPINFOHEADER (image width,
//   negated image height, 8 bpp, 256 colours), 256 entries of blue, green, red, 0, then
//   top-down rows of one index per pixel, each padded to a multiple of 4. width/height are
//   the logical screen's; the image sits at its top-left corner.
// - kPcx256: a packed DIB: 40-byte header (width, negated height, planes 1, 8 bpp),
//   256 palette entries, then top-down rows of one index per pixel, width rounded up to
//   a multiple of 4. A true-colour PCX (8 bits in 3 or 4 planes) is a 24-bit packed DIB
//   instead: 40-byte header (width, negated height, planes 1, 24 bpp, no colour table),
//   then top-down rows of blue, green, red, width*3 rounded up to a multiple of 4. The
//   header's bit count tells the two apart; either way the block is what CreateDIBitmap
//   takes, the bits starting right after the colour table the header announces.
// - kPcxMono: top-down rows of ceil(width/8) bytes rounded up to even, 1 bit per pixel,
//   leftmost pixel in the most significant bit (the layout CreateBitmap takes).
struct DecodedPicture {
  PictureKind kind = PictureKind::kNone;
  std::int32_t width = 0;
  std::int32_t height = 0;
  PixelBlock pixels;
  IconImage icon;
};

}  // namespace varnelt
