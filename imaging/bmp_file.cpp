#include "imaging/bmp_file.h"

#include "imaging/pixel_block.h"

namespace varnelt {
namespace {

void Put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  out[at] = static_cast<std::uint8_t>(v);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  Put16(out, at, v & 0xFFFF);
  Put16(out, at + 2, v >> 16);
}

std::uint32_t Get32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

std::optional<std::size_t> BmpRowStride(std::int32_t width, std::uint16_t bits_per_pixel) {
  if (width < 0) return std::nullopt;
  const auto bits = CheckedProduct({static_cast<std::size_t>(width), bits_per_pixel});
  if (!bits) return std::nullopt;
  const auto padded = CheckedSum(*bits, 31);
  if (!padded) return std::nullopt;
  return *padded / 32 * 4;
}

std::vector<std::uint8_t> BmpInfoHeader(std::int32_t width, std::int32_t height, std::uint16_t bits_per_pixel) {
  std::vector<std::uint8_t> header(kBmpInfoHeaderBytes, 0);
  const std::size_t stride = BmpRowStride(width, bits_per_pixel).value_or(0);
  const std::size_t rows = height < 0 ? 0 : static_cast<std::size_t>(height);
  Put32(header, 0, kBmpInfoHeaderBytes);
  Put32(header, 4, static_cast<std::uint32_t>(width));
  Put32(header, 8, static_cast<std::uint32_t>(height));
  Put16(header, 12, 1);
  Put16(header, 14, bits_per_pixel);
  Put32(header, 20, static_cast<std::uint32_t>(CheckedProduct({stride, rows}).value_or(0)));
  return header;
}

std::vector<std::uint8_t> BmpFileHeader(const std::uint8_t* block, std::size_t block_size) {
  std::vector<std::uint8_t> header(kBmpFileHeaderBytes, 0);
  header[0] = 'B';
  header[1] = 'M';
  Put32(header, 2, static_cast<std::uint32_t>(block_size + kBmpFileHeaderBytes));
  std::uint32_t info_size = kBmpInfoHeaderBytes;
  std::uint32_t bits = 24;
  if (block_size >= kBmpInfoHeaderBytes) {
    info_size = Get32(block);
    bits = static_cast<std::uint32_t>(block[14]) | static_cast<std::uint32_t>(block[15]) << 8;
  }
  const std::uint32_t entries = bits <= 8 ? (1u << bits) : 0;
  Put32(header, 10, static_cast<std::uint32_t>(kBmpFileHeaderBytes) + info_size + 4 * entries);
  return header;
}

}  // namespace varnelt
