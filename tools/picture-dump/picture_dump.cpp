// picture-dump FILE OUT.ppm
//
// Decodes FILE through the program's own picture decoding and prints one line,
// "kind=K width=W height=H", then writes the picture to OUT.ppm as a binary PPM (P6), top
// row first, and exits 0. GIF stills have their colour table applied; the image sits at
// the top-left of the logical screen, clipped to it, and the screen around it is black.
// PCX pictures show their colours, black-and-white ones as black (0 bits) and white.
// Icons and cursors print "kind=K width=W height=H entry=N" (N: the chosen directory
// entry, from 0) and write no pixels. No picture: one line on stderr, exit 1.
// Tests and other tools rely on exactly this interface.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "imaging/byte_cursor.h"
#include "imaging/decode_picture.h"

namespace {

using varnelt::ByteCursor;
using varnelt::DecodedPicture;
using varnelt::PictureKind;

struct Rgb {
  std::size_t width = 0;
  std::size_t height = 0;
  std::vector<std::uint8_t> pixels;  // red, green, blue; top row first

  std::uint8_t* at(std::size_t x, std::size_t y) { return pixels.data() + (y * width + x) * 3; }
};

Rgb MakeCanvas(const DecodedPicture& picture) {
  Rgb out;
  out.width = static_cast<std::size_t>(picture.width);
  out.height = static_cast<std::size_t>(picture.height);
  out.pixels.assign(out.width * out.height * 3, 0);
  return out;
}

std::optional<Rgb> FromBottomUpBgr(const DecodedPicture& picture) {
  Rgb out = MakeCanvas(picture);
  if (picture.pixels.size() != out.pixels.size()) return std::nullopt;
  const std::uint8_t* src = picture.pixels.data();
  for (std::size_t y = 0; y < out.height; ++y) {
    for (std::size_t x = 0; x < out.width; ++x, src += 3) {
      std::uint8_t* dst = out.at(x, out.height - 1 - y);
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
    }
  }
  return out;
}

// A packed DIB of 8 or 24 bits with top-down rows; drawn from the top-left corner of the
// canvas and clipped to it.
std::optional<Rgb> FromPackedDib(const DecodedPicture& picture) {
  Rgb out = MakeCanvas(picture);
  ByteCursor in(picture.pixels.data(), picture.pixels.size());
  std::int32_t width = 0, height = 0;
  std::uint16_t bits = 0;
  if (!in.Seek(4) || !in.ReadI32(width) || !in.ReadI32(height) || !in.Seek(14) || !in.ReadU16(bits)) {
    return std::nullopt;
  }
  if (width <= 0 || height >= 0 || (bits != 8 && bits != 24)) return std::nullopt;
  const auto w = static_cast<std::size_t>(width);
  const auto h = static_cast<std::size_t>(-static_cast<std::int64_t>(height));
  const std::size_t palette = 40;
  const std::size_t rows = bits == 8 ? 40 + 256 * 4 : 40;
  const std::size_t stride = ((bits == 8 ? w : w * 3) + 3) & ~std::size_t{3};
  if (picture.pixels.size() < rows || (picture.pixels.size() - rows) / stride < h) return std::nullopt;
  for (std::size_t y = 0; y < h && y < out.height; ++y) {
    const std::uint8_t* row = picture.pixels.data() + rows + y * stride;
    for (std::size_t x = 0; x < w && x < out.width; ++x) {
      const std::uint8_t* bgr = bits == 8 ? picture.pixels.data() + palette + 4 * row[x] : row + 3 * x;
      std::uint8_t* dst = out.at(x, y);
      dst[0] = bgr[2];
      dst[1] = bgr[1];
      dst[2] = bgr[0];
    }
  }
  return out;
}

std::optional<Rgb> FromMonoRows(const DecodedPicture& picture) {
  Rgb out = MakeCanvas(picture);
  const std::size_t stride = ((out.width + 7) / 8 + 1) & ~std::size_t{1};
  if (picture.pixels.size() != stride * out.height) return std::nullopt;
  for (std::size_t y = 0; y < out.height; ++y) {
    const std::uint8_t* row = picture.pixels.data() + y * stride;
    for (std::size_t x = 0; x < out.width; ++x) {
      const bool white = (row[x / 8] >> (7 - x % 8)) & 1;
      std::uint8_t* dst = out.at(x, y);
      dst[0] = dst[1] = dst[2] = white ? 255 : 0;
    }
  }
  return out;
}

std::optional<Rgb> ToRgb(const DecodedPicture& picture) {
  if (picture.width <= 0 || picture.height <= 0) return std::nullopt;
  switch (picture.kind) {
    case PictureKind::kJpeg:
    case PictureKind::kBmp: return FromBottomUpBgr(picture);
    case PictureKind::kGif:
    case PictureKind::kPcx256: return FromPackedDib(picture);
    case PictureKind::kPcxMono: return FromMonoRows(picture);
    default: return std::nullopt;
  }
}

bool WritePpm(const std::string& path, const Rgb& image) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << image.width << ' ' << image.height << "\n255\n";
  out.write(reinterpret_cast<const char*>(image.pixels.data()), static_cast<std::streamsize>(image.pixels.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: picture-dump FILE OUT.ppm\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::optional<DecodedPicture> picture = varnelt::DecodePicture(bytes.data(), bytes.size());
  if (!picture) {
    std::fprintf(stderr, "no picture: %s\n", argv[1]);
    return 1;
  }
  const int kind = static_cast<int>(picture->kind);
  if (picture->kind == PictureKind::kIcon || picture->kind == PictureKind::kCursor) {
    std::printf("kind=%d width=%d height=%d entry=%zu\n", kind, picture->width, picture->height, picture->icon.entry);
    return 0;
  }
  const std::optional<Rgb> rgb = ToRgb(*picture);
  if (!rgb) {
    std::fprintf(stderr, "unexpected pixel layout for kind %d: %s\n", kind, argv[1]);
    return 1;
  }
  if (!WritePpm(argv[2], *rgb)) {
    std::fprintf(stderr, "cannot write %s\n", argv[2]);
    return 1;
  }
  std::printf("kind=%d width=%d height=%d\n", kind, picture->width, picture->height);
  return 0;
}
