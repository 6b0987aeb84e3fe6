#include "imaging/pcx_decoder.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "imaging/byte_cursor.h"

namespace varnelt {

// PCX layout (little-endian):
//
//   offset size field
//   ------ ---- ----------------------------------------------------------------------
//        0    1 manufacturer: 0x0A
//        1    1 version: 0 to 5
//        2    1 encoding: 1 (run-length)
//        3    1 bits per pixel in each plane
//        4    8 window Xmin, Ymin, Xmax, Ymax (signed), inclusive
//       12   52 resolution and 16-colour palette (not used)
//       64    1 reserved
//       65    1 number of planes
//       66    2 bytes per line in each plane
//       68   60 palette info, screen size, filler   (not used)
//      128      the lines, run-length encoded: a byte above 192 repeats the next byte
//               (byte - 192) times; any other byte stands for itself. A line holds its
//               planes one after the other, each bytes-per-line long.
//   after the lines: 12 and 768 palette bytes (red, green, blue) in 256-colour files
//
// Some encoders let a run continue past the end of a line; the run's rest then begins the
// next line, so no run writes past its row.

namespace {

constexpr std::size_t kHeaderBytes = 128;
constexpr std::size_t kInfoHeaderBytes = 40;
constexpr std::size_t kPaletteBytes = 768;
constexpr std::uint8_t kPaletteMarker = 12;

std::optional<DecodedPicture> Fail(PcxError* error, PcxError reason) {
  if (error != nullptr) *error = reason;
  return std::nullopt;
}

class RunLengthReader {
 public:
  RunLengthReader(const std::uint8_t* data, std::size_t size, std::size_t pos) : data_(data), size_(size), pos_(pos) {}

  // Fills out[0, count) with the next decoded bytes; what the data do not reach is left
  // as it was.
  void Read(std::uint8_t* out, std::size_t count) {
    std::size_t i = 0;
    while (i < count) {
      if (run_left_ > 0) {
        const std::size_t n = std::min(run_left_, count - i);
        std::memset(out + i, run_value_, n);
        i += n;
        run_left_ -= n;
        continue;
      }
      if (pos_ >= size_) return;
      const std::uint8_t byte = data_[pos_++];
      if (byte > 192) {
        if (pos_ >= size_) return;
        run_value_ = data_[pos_++];
        run_left_ = byte - 192u;
      } else {
        out[i++] = byte;
      }
    }
  }

  std::size_t position() const { return pos_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_;
  std::uint8_t run_value_ = 0;
  std::size_t run_left_ = 0;
};

void PutU16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
void PutU32(std::uint8_t* p, std::uint32_t v) {
  PutU16(p, v);
  PutU16(p + 2, v >> 16);
}

// A BITMAPINFOHEADER for top-down rows; every field not named is 0.
void PutInfoHeader(std::uint8_t* p, std::size_t width, std::size_t height, unsigned bit_count) {
  std::memset(p, 0, kInfoHeaderBytes);
  PutU32(p, kInfoHeaderBytes);
  PutU32(p + 4, static_cast<std::uint32_t>(width));
  PutU32(p + 8, static_cast<std::uint32_t>(-static_cast<std::int32_t>(height)));
  PutU16(p + 12, 1);
  PutU16(p + 14, bit_count);
}

// The 256-colour palette: after the marker that follows the last line, or, failing that,
// in the file's last 769 bytes where encoders that pad the image data leave it. A file
// with neither shows greys by index.
void PutPalette(std::uint8_t* entries, const std::uint8_t* data, std::size_t size, std::size_t after_lines) {
  const std::uint8_t* rgb = nullptr;
  if (after_lines < size && data[after_lines] == kPaletteMarker && size - after_lines - 1 >= kPaletteBytes) {
    rgb = data + after_lines + 1;
  } else if (size >= kHeaderBytes + 1 + kPaletteBytes && data[size - kPaletteBytes - 1] == kPaletteMarker) {
    rgb = data + size - kPaletteBytes;
  }
  for (std::size_t i = 0; i < 256; ++i, entries += 4) {
    if (rgb != nullptr) {
      entries[0] = rgb[3 * i + 2];
      entries[1] = rgb[3 * i + 1];
      entries[2] = rgb[3 * i];
    } else {
      entries[0] = entries[1] = entries[2] = static_cast<std::uint8_t>(i);
    }
    entries[3] = 0;
  }
}

// A line of 0 bytes per plane has no buffer to copy from.
void CopyBytes(std::uint8_t* dst, const std::uint8_t* src, std::size_t count) {
  if (count > 0) std::memcpy(dst, src, count);
}

struct Header {
  std::size_t width = 0;
  std::size_t height = 0;
  unsigned bits = 0;
  unsigned planes = 0;
  std::size_t bytes_per_line = 0;
};

}  // namespace

std::optional<DecodedPicture> DecodePcx(const std::uint8_t* data, std::size_t size, PcxError* error) {
  if (error != nullptr) *error = PcxError::kNone;
  if (size <= kHeaderBytes) return Fail(error, PcxError::kShortHeader);
  ByteCursor in(data, size);
  std::uint8_t manufacturer = 0, version = 0, encoding = 0, bits = 0, planes = 0;
  std::int16_t xmin = 0, ymin = 0, xmax = 0, ymax = 0;
  std::uint16_t bytes_per_line = 0;
  const bool header_read = in.ReadU8(manufacturer) && in.ReadU8(version) && in.ReadU8(encoding) &&
                           in.ReadU8(bits) && in.ReadI16(xmin) && in.ReadI16(ymin) && in.ReadI16(xmax) &&
                           in.ReadI16(ymax) && in.Seek(65) && in.ReadU8(planes) && in.ReadU16(bytes_per_line);
  if (!header_read) return Fail(error, PcxError::kShortHeader);
  if (manufacturer != 0x0A || encoding != 1 || version > 5 || xmax < xmin || ymax < ymin) {
    return Fail(error, PcxError::kBadHeader);
  }
  Header h;
  h.width = static_cast<std::size_t>(xmax - xmin) + 1;
  h.height = static_cast<std::size_t>(ymax - ymin) + 1;
  h.bits = bits;
  h.planes = planes;
  h.bytes_per_line = bytes_per_line;

  const bool mono = h.bits == 1 && h.planes == 1;
  const bool indexed = h.bits == 8 && h.planes == 1;
  const bool true_colour = h.bits == 8 && (h.planes == 3 || h.planes == 4);
  if (!mono && !indexed && !true_colour) return Fail(error, PcxError::kLayout);

  // Rows in the block: mono rows as CreateBitmap takes them (even byte count); DIB rows
  // padded to 4 bytes and sized by the picture's width, so that they match the header.
  std::size_t row_length = 0;
  std::size_t prefix = 0;
  if (mono) {
    row_length = ((h.width + 7) / 8 + 1) & ~std::size_t{1};
  } else if (indexed) {
    row_length = (h.width + 3) & ~std::size_t{3};
    prefix = kInfoHeaderBytes + 256 * 4;
  } else {
    row_length = (h.width * 3 + 3) & ~std::size_t{3};
    prefix = kInfoHeaderBytes;
  }
  const auto rows_bytes = CheckedProduct({h.height, row_length});
  const auto block_bytes = rows_bytes ? CheckedSum(prefix, *rows_bytes) : std::nullopt;
  if (!block_bytes || *block_bytes > kMaxPixelBlockBytes) return Fail(error, PcxError::kTooLarge);
  PixelBlock block = AllocatePixelBlock(*block_bytes, /*zeroed=*/true);
  if (block.empty()) return Fail(error, PcxError::kNoMemory);

  // One scan line holds every plane: at most 4 * 65535 bytes.
  std::vector<std::uint8_t> line(h.bytes_per_line * h.planes);
  RunLengthReader reader(data, size, kHeaderBytes);
  std::uint8_t* rows = block.data() + prefix;
  const std::size_t pixels_per_line = std::min(h.width, h.bytes_per_line);
  for (std::size_t y = 0; y < h.height; ++y) {
    std::fill(line.begin(), line.end(), std::uint8_t{0});
    reader.Read(line.data(), line.size());
    std::uint8_t* row = rows + y * row_length;
    if (mono) {
      CopyBytes(row, line.data(), std::min((h.width + 7) / 8, h.bytes_per_line));
    } else if (indexed) {
      CopyBytes(row, line.data(), pixels_per_line);
    } else {
      const std::uint8_t* red = line.data();
      const std::uint8_t* green = red + h.bytes_per_line;
      const std::uint8_t* blue = green + h.bytes_per_line;
      for (std::size_t x = 0; x < pixels_per_line; ++x, row += 3) {
        row[0] = blue[x];
        row[1] = green[x];
        row[2] = red[x];
      }
    }
  }

  if (!mono) {
    PutInfoHeader(block.data(), h.width, h.height, indexed ? 8 : 24);
    if (indexed) PutPalette(block.data() + kInfoHeaderBytes, data, size, reader.position());
  }

  DecodedPicture picture;
  picture.kind = mono ? PictureKind::kPcxMono : PictureKind::kPcx256;
  picture.width = static_cast<std::int32_t>(h.width);
  picture.height = static_cast<std::int32_t>(h.height);
  picture.pixels = std::move(block);
  return picture;
}

}  // namespace varnelt
