#pragma once
// A small GIF89a writer for tests that need exact frames made on the spot: every frame has
// its own graphic control extension and optional local colour table, and its image data
// are LZW codes that never grow past the first code width (a clear code every few
// literals), which any decoder reads.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace varnelt::test {

struct TinyGifFrame {
  std::uint16_t left = 0;
  std::uint16_t top = 0;
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  std::vector<std::uint8_t> indices;  // width * height, top row first
  std::vector<std::uint32_t> local;   // local colours 0x00RRGGBB; empty: the global ones
  int disposal = 1;
  std::uint16_t delay = 0;  // hundredths of a second
  int transparent = -1;     // transparent index, or -1 for none
  std::vector<std::uint8_t> before;  // bytes written as they are before the frame's blocks
};

namespace tiny_gif_detail {

inline void Put16(std::vector<std::uint8_t>& out, unsigned v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

// Colour tables hold a power of two of at least 2 entries; returns the size field.
inline unsigned PutTable(std::vector<std::uint8_t>& out, const std::vector<std::uint32_t>& colours) {
  unsigned bits = 0;
  while ((std::size_t{2} << bits) < colours.size() && bits < 7) ++bits;
  for (std::size_t i = 0; i < (std::size_t{2} << bits); ++i) {
    const std::uint32_t c = i < colours.size() ? colours[i] : 0;
    out.push_back(static_cast<std::uint8_t>(c >> 16));
    out.push_back(static_cast<std::uint8_t>(c >> 8));
    out.push_back(static_cast<std::uint8_t>(c));
  }
  return bits;
}

inline void PutImageData(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& indices, unsigned min_size) {
  const unsigned clear = 1u << min_size;
  const unsigned width = min_size + 1;
  // After a clear code, k literals add k - 1 entries; staying two below the next width
  // keeps the width fixed whichever way a decoder counts.
  const std::size_t run = clear > 4 ? clear - 3 : 1;
  std::vector<std::uint8_t> bytes;
  std::uint32_t acc = 0;
  unsigned bits = 0;
  auto code = [&](unsigned c) {
    acc |= c << bits;
    bits += width;
    while (bits >= 8) {
      bytes.push_back(static_cast<std::uint8_t>(acc));
      acc >>= 8;
      bits -= 8;
    }
  };
  for (std::size_t i = 0; i < indices.size(); ++i) {
    if (i % run == 0) code(clear);
    code(indices[i]);
  }
  code(clear + 1);
  if (bits > 0) bytes.push_back(static_cast<std::uint8_t>(acc));
  out.push_back(static_cast<std::uint8_t>(min_size));
  for (std::size_t at = 0; at < bytes.size(); at += 255) {
    const std::size_t n = bytes.size() - at < 255 ? bytes.size() - at : 255;
    out.push_back(static_cast<std::uint8_t>(n));
    out.insert(out.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
               bytes.begin() + static_cast<std::ptrdiff_t>(at + n));
  }
  out.push_back(0);
}

}  // namespace tiny_gif_detail

// The GIF: a logical screen of width x height with the global colours (none when empty),
// the frames in order, the trailer.
inline std::vector<std::uint8_t> TinyGif(std::uint16_t width, std::uint16_t height,
                                         const std::vector<std::uint32_t>& global,
                                         const std::vector<TinyGifFrame>& frames) {
  using namespace tiny_gif_detail;
  std::vector<std::uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
  Put16(out, width);
  Put16(out, height);
  std::vector<std::uint8_t> table;
  const unsigned global_bits = global.empty() ? 0 : PutTable(table, global);
  out.push_back(static_cast<std::uint8_t>(global.empty() ? 0 : 0x80 | global_bits));
  out.push_back(0);
  out.push_back(0);
  out.insert(out.end(), table.begin(), table.end());
  for (const TinyGifFrame& f : frames) {
    out.insert(out.end(), f.before.begin(), f.before.end());
    out.insert(out.end(), {0x21, 0xF9, 4});
    out.push_back(static_cast<std::uint8_t>((f.disposal & 7) << 2 | (f.transparent >= 0 ? 1 : 0)));
    Put16(out, f.delay);
    out.push_back(static_cast<std::uint8_t>(f.transparent >= 0 ? f.transparent : 0));
    out.push_back(0);
    out.push_back(0x2C);
    Put16(out, f.left);
    Put16(out, f.top);
    Put16(out, f.width);
    Put16(out, f.height);
    table.clear();
    const unsigned local_bits = f.local.empty() ? 0 : PutTable(table, f.local);
    out.push_back(static_cast<std::uint8_t>(f.local.empty() ? 0 : 0x80 | local_bits));
    out.insert(out.end(), table.begin(), table.end());
    const unsigned colours = static_cast<unsigned>(f.local.empty() ? global.size() : f.local.size());
    unsigned min_size = 2;
    while ((1u << min_size) < colours && min_size < 8) ++min_size;
    PutImageData(out, f.indices, min_size);
  }
  out.push_back(0x3B);
  return out;
}

// A frame of one colour index.
inline TinyGifFrame SolidGifFrame(std::uint16_t left, std::uint16_t top, std::uint16_t width, std::uint16_t height,
                                  std::uint8_t index, std::uint16_t delay = 0, int disposal = 1) {
  TinyGifFrame f;
  f.left = left;
  f.top = top;
  f.width = width;
  f.height = height;
  f.indices.assign(std::size_t{width} * height, index);
  f.delay = delay;
  f.disposal = disposal;
  return f;
}

}  // namespace varnelt::test
