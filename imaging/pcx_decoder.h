#pragma once
// ZSoft PCX files, run-length encoded: 256 colours (8 bits, one plane), true colour (8 bits
// in three or four planes; a fourth plane is ignored) and black and white (1 bit, one
// plane). The results are kPcx256 and kPcxMono pictures in the layouts decoded_picture.h
// gives.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "imaging/decoded_picture.h"

namespace varnelt {

enum class PcxError {
  kNone,
  kShortHeader,  // 128 bytes or fewer
  kBadHeader,    // not 0x0A, not run-length encoded, version above 5, or an inverted window
  kLayout,       // bits per pixel and planes other than 1 and 1, or 8 and 1, 3 or 4
  kTooLarge,     // the pixel block would pass kMaxPixelBlockBytes
  kNoMemory,
};

// Decodes a PCX file; on failure gives nothing and, when `error` is given, the reason.
// Image data that end early leave the remaining pixels 0.
std::optional<DecodedPicture> DecodePcx(const std::uint8_t* data, std::size_t size, PcxError* error = nullptr);

}  // namespace varnelt
