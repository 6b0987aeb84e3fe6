#pragma once
// The BMP file the window snapshot produces: a 14-byte file header, a 40-byte
// BITMAPINFOHEADER and bottom-up rows of blue, green, red, each padded to 4 bytes.
//
//   offset  size  field
//   0       2     "BM"
//   2       4     file size: 14 + the block (info header, colour table, rows)
//   6       4     reserved, 0
//   10      4     pixel offset: 14 + biSize + 4 x colour-table entries (54 at 24 bits)
//   14      40    BITMAPINFOHEADER: 40, width, height (> 0: bottom-up), 1 plane,
//                 bits per pixel, BI_RGB, image size, 0, 0, 0, 0
//   54      ...   rows

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace varnelt {

inline constexpr std::size_t kBmpFileHeaderBytes = 14;
inline constexpr std::size_t kBmpInfoHeaderBytes = 40;

// Bytes per row: ((width x bits + 31) / 32) x 4; nothing when it overflows.
std::optional<std::size_t> BmpRowStride(std::int32_t width, std::uint16_t bits_per_pixel);

// The 40-byte info header for an uncompressed bottom-up picture; image size = stride x
// height.
std::vector<std::uint8_t> BmpInfoHeader(std::int32_t width, std::int32_t height, std::uint16_t bits_per_pixel);

// The file header for a block that starts with an info header: file size = 14 + block
// size, pixel offset = 14 + biSize + 4 x (2^bits when bits <= 8, else 0).
std::vector<std::uint8_t> BmpFileHeader(const std::uint8_t* block, std::size_t block_size);

}  // namespace varnelt
