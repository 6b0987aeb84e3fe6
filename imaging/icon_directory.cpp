#include "imaging/icon_directory.h"

#include <cstring>

#include "imaging/byte_cursor.h"

namespace varnelt {

// Icon and cursor layout (little-endian):
//
//   offset size field
//   ------ ---- ----------------------------------------------------------------------
//        0    2 reserved: 0
//        2    2 type: 1 icon, 2 cursor
//        4    2 image count, above 0
//        6 16*n directory entries:
//                 +0  1 width (0 stands for 256)
//                 +1  1 height
//                 +2  1 colour count (0 for 256 colours and more)
//                 +3  1 reserved
//                 +4  4 planes and bit count (icon) or hot spot (cursor)
//                 +8  4 image byte count
//                +12  4 image offset in the file
//
// Each image is a BITMAPINFOHEADER (its height counts the colour image and the mask
// together) followed by the colour table, colour bits and mask bits, or a complete PNG.

namespace {

constexpr std::size_t kDirectoryHeaderBytes = 6;
constexpr std::size_t kEntryBytes = 16;
// Enough of a bitmap header to hold the bit count at byte 14.
constexpr std::size_t kMinBitmapImageBytes = 16;
// The PNG signature and the IHDR chunk up to its width and height.
constexpr std::size_t kMinPngImageBytes = 24;
constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

std::optional<DecodedPicture> Fail(IconError* error, IconError reason) {
  if (error != nullptr) *error = reason;
  return std::nullopt;
}

std::int32_t BigEndian32(const std::uint8_t* p) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
                                   static_cast<std::uint32_t>(p[2]) << 8 | static_cast<std::uint32_t>(p[3]));
}

}  // namespace

std::optional<DecodedPicture> DecodeIconDirectory(const std::uint8_t* data, std::size_t size, IconError* error) {
  if (error != nullptr) *error = IconError::kNone;
  ByteCursor in(data, size);
  std::uint16_t reserved = 0, type = 0, count = 0;
  if (!in.ReadU16(reserved) || !in.ReadU16(type) || !in.ReadU16(count) || reserved != 0 || (type != 1 && type != 2) ||
      count == 0) {
    return Fail(error, IconError::kBadDirectory);
  }

  // Entries are read in order until one fits the rule; a short entry ends the decode.
  std::size_t chosen = 0;
  std::uint32_t image_size = 0, image_offset = 0;
  for (std::size_t i = 0; i < count; ++i) {
    std::uint8_t entry_width = 0, entry_colours = 0;
    std::uint32_t bytes = 0, offset = 0;
    if (!in.Seek(kDirectoryHeaderBytes + kEntryBytes * i) || in.remaining() < kEntryBytes || !in.ReadU8(entry_width) ||
        !in.Skip(1) || !in.ReadU8(entry_colours) || !in.Skip(5) || !in.ReadU32(bytes) || !in.ReadU32(offset)) {
      return Fail(error, IconError::kShortEntry);
    }
    chosen = i;
    image_size = bytes;
    image_offset = offset;
    if (entry_colours >= 16 && entry_width == 32) break;
  }

  const auto image_end = CheckedSum(image_offset, image_size);
  if (!image_end || *image_end > size || image_size < kMinBitmapImageBytes) {
    return Fail(error, IconError::kShortImage);
  }
  const std::uint8_t* image = data + image_offset;
  ByteCursor header(image, image_size);
  std::int32_t width = 0, height = 0;
  std::uint16_t bit_count = 0;
  if (!header.Seek(4) || !header.ReadI32(width) || !header.ReadI32(height) || !header.Seek(14) ||
      !header.ReadU16(bit_count)) {
    return Fail(error, IconError::kShortImage);
  }
  height /= 2;
  // A PNG image has no bitmap header; its size is in the IHDR chunk.
  if (std::memcmp(image, kPngSignature, 8) == 0) {
    if (image_size < kMinPngImageBytes) return Fail(error, IconError::kShortImage);
    width = BigEndian32(image + 16);
    height = BigEndian32(image + 20);
  }

  DecodedPicture picture;
  picture.kind = type == 1 ? PictureKind::kIcon : PictureKind::kCursor;
  picture.width = width;
  picture.height = height;
  picture.icon.entry = chosen;
  picture.icon.offset = image_offset;
  picture.icon.size = image_size;
  picture.icon.bit_count = bit_count;
  return picture;
}

}  // namespace varnelt
