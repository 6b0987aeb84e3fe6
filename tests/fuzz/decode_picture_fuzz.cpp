// Fuzz target: decodes the input as any picture file and checks that a picture's pixel
// block has exactly its kind's layout size, reading every byte of it so that a short or
// uninitialised block shows up under the sanitizers.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "imaging/decode_picture.h"

namespace {

using varnelt::DecodedPicture;
using varnelt::PictureKind;

std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// The block size each kind's layout gives for the picture's own header and size.
std::size_t ExpectedBlockSize(const DecodedPicture& p) {
  const auto w = static_cast<std::size_t>(p.width), h = static_cast<std::size_t>(p.height);
  switch (p.kind) {
    case PictureKind::kJpeg:
    case PictureKind::kBmp: return w * h * 3;
    case PictureKind::kPcxMono: return ((w + 7) / 8 + 1) / 2 * 2 * h;
    case PictureKind::kGif:
    case PictureKind::kPcx256: {
      if (p.pixels.size() < 40 || Le32(p.pixels.data()) != 40) std::abort();
      const std::size_t dib_w = Le32(p.pixels.data() + 4);
      const std::size_t dib_h = static_cast<std::size_t>(-static_cast<std::int64_t>(static_cast<std::int32_t>(Le32(p.pixels.data() + 8))));
      const unsigned bits = p.pixels.data()[14];
      if (bits == 8) return 1064 + (dib_w + 3) / 4 * 4 * dib_h;
      if (bits == 24 && p.kind == PictureKind::kPcx256) return 40 + (dib_w * 3 + 3) / 4 * 4 * dib_h;
      std::abort();
    }
    default: std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto picture = varnelt::DecodePicture(data, size);
  if (!picture) return 0;
  if (picture->kind == PictureKind::kIcon || picture->kind == PictureKind::kCursor) {
    // The size comes from the image's own header, as Windows is to take it.
    if (picture->icon.offset > size || picture->icon.size > size - picture->icon.offset) std::abort();
    if (!picture->pixels.empty()) std::abort();
    return 0;
  }
  if (picture->width <= 0 || picture->height <= 0) std::abort();
  if (picture->pixels.size() != ExpectedBlockSize(*picture)) std::abort();
  volatile std::uint8_t sum = 0;
  for (std::size_t i = 0; i < picture->pixels.size(); ++i) sum = static_cast<std::uint8_t>(sum + picture->pixels.data()[i]);
  return 0;
}
