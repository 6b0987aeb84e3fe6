#include "imaging/picture_kind.h"

#include <cstring>

namespace varnelt {

namespace {

std::uint16_t Word(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

}  // namespace

PictureKind SniffPictureKind(const std::uint8_t* data, std::size_t size) {
  if (data == nullptr || size < 6) return PictureKind::kNone;
  if (data[0] == 0x42 && data[1] == 0x4D) return PictureKind::kBmp;
  if (data[0] == 0xFF && data[1] == 0xD8) return PictureKind::kJpeg;
  if (Word(data) == 0 && Word(data + 4) > 0) {
    if (Word(data + 2) == 1) return PictureKind::kIcon;
    if (Word(data + 2) == 2) return PictureKind::kCursor;
  }
  if (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0) return PictureKind::kGif;
  if (data[0] == 0x0A && data[2] == 1) {
    if (data[1] <= 5 && data[3] == 8) return PictureKind::kPcx256;
    if (data[1] == 3 && data[3] == 1) return PictureKind::kPcxMono;
  }
  return PictureKind::kNone;
}

}  // namespace varnelt
