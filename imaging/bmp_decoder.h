#pragma once
// Windows BMP files with a BITMAPINFOHEADER (or a later, longer info header), uncompressed
// (BI_RGB), at 1, 4, 8, 24 or 32 bits per pixel. The result is a kBmp picture: blue,
// green, red, bottom row first, whichever way the file stores its rows.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "imaging/decoded_picture.h"

namespace varnelt {

enum class BmpError {
  kNone,
  kShortHeader,        // fewer than 54 bytes
  kCompressed,         // biCompression is not BI_RGB
  kBitCount,           // not 1, 4, 8, 24 or 32 bits per pixel
  kShortColourTable,   // the colour table runs past the end of the file
  kTableOverlapsRows,  // header and colour table reach past bfOffBits
  kBadOffset,          // bfOffBits lies beyond the end of the file
  kEmpty,              // width or height is 0
  kTooLarge,           // the pixel block would pass kMaxPixelBlockBytes
  kShortRows,          // the rows run past the end of the file
  kNoMemory,
};

// Decodes a BMP file; on failure gives nothing and, when `error` is given, the reason.
std::optional<DecodedPicture> DecodeBmp(const std::uint8_t* data, std::size_t size, BmpError* error = nullptr);

}  // namespace varnelt
