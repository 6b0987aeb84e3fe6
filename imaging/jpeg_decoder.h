#pragma once
// JPEG files through libjpeg (the 6b interface; libjpeg-turbo here). The result is a
// kJpeg picture: blue, green, red, bottom row first. Greyscale pictures come out with equal
// channels; CMYK and YCCK pictures are converted to RGB (Adobe's inverted CMYK included).
// A picture whose full-size block would pass kMaxPixelBlockBytes is decoded at the largest
// of the scales 1/2, 1/4 and 1/8 that fits. Data that end early are completed as the
// library does at a premature end of image.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "imaging/decoded_picture.h"

namespace varnelt {

enum class JpegError {
  kNone,
  kLibrary,    // the library stopped with an error (see library_message)
  kScanLimit,  // more scans than any encoder writes
  kTooLarge,   // too large even at 1/8 scale
  kNoMemory,
};

struct JpegFailure {
  JpegError error = JpegError::kNone;
  int library_message = 0;  // the library's message code for kLibrary
};

// Data reach the library in pieces of at most this many bytes.
inline constexpr std::size_t kJpegSourceChunkBytes = 4096;
// A progressive file may have at most this many scans.
inline constexpr int kJpegMaxScans = 500;
// What the library may allocate for itself (coefficient buffers of progressive files).
inline constexpr long kJpegLibraryMemoryBytes = 512L << 20;

// Decodes a JPEG file; on failure gives nothing and, when `failure` is given, the reason.
std::optional<DecodedPicture> DecodeJpeg(const std::uint8_t* data, std::size_t size, JpegFailure* failure = nullptr);

}  // namespace varnelt
