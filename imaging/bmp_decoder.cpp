#include "imaging/bmp_decoder.h"

#include <array>
#include <cstring>
#include <utility>

#include "imaging/byte_cursor.h"

namespace varnelt {

// BMP layout (little-endian):
//
//   offset size field
//   ------ ---- ----------------------------------------------------------------------
//        0    2 "BM"
//        2    8 bfSize, reserved                     (not used)
//       10    4 bfOffBits: where the first pixel row starts
//       14    4 biSize: the info header's length    (40, or more for V4/V5 headers)
//       18    4 biWidth  (signed)
//       22    4 biHeight (signed; negative: rows stored top row first)
//       26    2 biPlanes                             (not used)
//       28    2 biBitCount: 1, 4, 8, 24 or 32
//       30    4 biCompression: 0 (BI_RGB) only
//       34   12 biSizeImage, biXPelsPerMeter, biYPelsPerMeter (not used)
//       46    4 biClrUsed: colour-table entries, 0 meaning 2^biBitCount
//       50    4 biClrImportant                       (not used)
//  14+biSize      colour table (1, 4 and 8 bits only): entries of blue, green, red, 0
//  bfOffBits      rows, each padded to a multiple of 4 bytes; a pixel's bits are packed
//                 from the most significant end of each byte.

namespace {

constexpr std::size_t kHeaderBytes = 54;
constexpr std::size_t kMinInfoHeaderBytes = 40;

using Palette = std::array<std::array<std::uint8_t, 4>, 256>;

std::optional<DecodedPicture> Fail(BmpError* error, BmpError reason) {
  if (error != nullptr) *error = reason;
  return std::nullopt;
}

// 24 bits: the file's pixels are already blue, green, red.
void CopyRow24(const std::uint8_t* src, std::uint8_t* dst, std::size_t width) { std::memcpy(dst, src, width * 3); }

void CopyRow32(const std::uint8_t* src, std::uint8_t* dst, std::size_t width) {
  for (std::size_t x = 0; x < width; ++x, src += 4, dst += 3) {
    dst[0] = src[0];
    dst[1] = src[1];
    dst[2] = src[2];
  }
}

// Palette entries are 4 bytes, so all but the row's last pixel are stored with one 4-byte
// copy whose spare byte the next pixel overwrites.
void CopyRow8(const std::uint8_t* src, std::uint8_t* dst, std::size_t width, const Palette& palette) {
  for (std::size_t x = 0; x + 1 < width; ++x, dst += 3) std::memcpy(dst, palette[src[x]].data(), 4);
  std::memcpy(dst, palette[src[width - 1]].data(), 3);
}

template <unsigned kBits>
void CopyRowPacked(const std::uint8_t* src, std::uint8_t* dst, std::size_t width, const Palette& palette) {
  constexpr unsigned kPerByte = 8 / kBits;
  constexpr unsigned kMask = (1u << kBits) - 1;
  for (std::size_t x = 0; x < width; ++x, dst += 3) {
    const unsigned shift = 8 - kBits * (1 + static_cast<unsigned>(x % kPerByte));
    const unsigned index = (static_cast<unsigned>(src[x / kPerByte]) >> shift) & kMask;
    std::memcpy(dst, palette[index].data(), 3);
  }
}

}  // namespace

std::optional<DecodedPicture> DecodeBmp(const std::uint8_t* data, std::size_t size, BmpError* error) {
  if (error != nullptr) *error = BmpError::kNone;
  ByteCursor in(data, size);
  if (size < kHeaderBytes) return Fail(error, BmpError::kShortHeader);
  std::uint32_t off_bits = 0, info_size = 0, compression = 0, colours_used = 0;
  std::int32_t signed_width = 0, signed_height = 0;
  std::uint16_t bit_count = 0;
  // The size check above guarantees every one of these reads.
  const bool header_read = in.Seek(10) && in.ReadU32(off_bits) && in.ReadU32(info_size) &&
                           in.ReadI32(signed_width) && in.ReadI32(signed_height) && in.Skip(2) &&
                           in.ReadU16(bit_count) && in.ReadU32(compression) && in.Seek(46) &&
                           in.ReadU32(colours_used);
  if (!header_read) return Fail(error, BmpError::kShortHeader);
  if (compression != 0) return Fail(error, BmpError::kCompressed);
  if (bit_count != 1 && bit_count != 4 && bit_count != 8 && bit_count != 24 && bit_count != 32) {
    return Fail(error, BmpError::kBitCount);
  }

  // Indexes beyond the entries the file gives show black; the table is never read past
  // its end.
  Palette palette{};
  std::size_t header_end = kHeaderBytes;
  if (bit_count <= 8) {
    // The table follows the info header, whose length V4 and V5 headers make longer than
    // 40 bytes; a smaller (bogus) length is read as 40.
    const std::size_t table_offset = std::size_t{14} + (info_size > kMinInfoHeaderBytes ? info_size : kMinInfoHeaderBytes);
    const std::size_t entries = colours_used != 0 ? colours_used : std::size_t{1} << bit_count;
    const auto table_bytes = CheckedProduct({entries, 4});
    const auto table_end = table_bytes ? CheckedSum(table_offset, *table_bytes) : std::nullopt;
    if (!table_end || *table_end > size) return Fail(error, BmpError::kShortColourTable);
    const std::size_t used = entries < palette.size() ? entries : palette.size();
    for (std::size_t i = 0; i < used; ++i) {
      std::memcpy(palette[i].data(), data + table_offset + 4 * i, 3);
      palette[i][3] = 0;
    }
    header_end = *table_end;
  }
  if (header_end > off_bits) return Fail(error, BmpError::kTableOverlapsRows);
  if (off_bits > size) return Fail(error, BmpError::kBadOffset);

  const bool top_down = signed_height < 0;
  const std::size_t width = static_cast<std::size_t>(signed_width < 0 ? -static_cast<std::int64_t>(signed_width) : signed_width);
  const std::size_t height = static_cast<std::size_t>(signed_height < 0 ? -static_cast<std::int64_t>(signed_height) : signed_height);
  if (width == 0 || height == 0) return Fail(error, BmpError::kEmpty);

  const auto block_bytes = CheckedProduct({width, height, 3});
  if (!block_bytes || *block_bytes > kMaxPixelBlockBytes) return Fail(error, BmpError::kTooLarge);
  // The pixel block is smaller than 2^28 bytes here, so every file-side size below fits.
  const std::size_t row_bytes = (width * bit_count + 7) / 8;
  const std::size_t file_stride = (row_bytes + 3) & ~std::size_t{3};
  // Every row must be present; only the padding after the last row may be missing.
  const auto rows_bytes = CheckedProduct({file_stride, height - 1});
  const auto needed = rows_bytes ? CheckedSum(*rows_bytes, row_bytes) : std::nullopt;
  if (!needed || *needed > size - off_bits) return Fail(error, BmpError::kShortRows);

  PixelBlock block = AllocatePixelBlock(*block_bytes);
  if (block.empty()) return Fail(error, BmpError::kNoMemory);

  const std::size_t out_stride = width * 3;
  const std::uint8_t* src = data + off_bits;
  for (std::size_t row = 0; row < height; ++row, src += file_stride) {
    // The block is bottom row first; a top-down file's first row is the picture's top.
    std::uint8_t* dst = block.data() + (top_down ? height - 1 - row : row) * out_stride;
    switch (bit_count) {
      case 1: CopyRowPacked<1>(src, dst, width, palette); break;
      case 4: CopyRowPacked<4>(src, dst, width, palette); break;
      case 8: CopyRow8(src, dst, width, palette); break;
      case 24: CopyRow24(src, dst, width); break;
      default: CopyRow32(src, dst, width); break;
    }
  }

  DecodedPicture picture;
  picture.kind = PictureKind::kBmp;
  picture.width = static_cast<std::int32_t>(width);
  picture.height = static_cast<std::int32_t>(height);
  picture.pixels = std::move(block);
  return picture;
}

}  // namespace varnelt
