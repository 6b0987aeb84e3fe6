#pragma once
// GIF's variable-width LZW, decoded from the image data's sub-blocks into a flat run of
// colour indices.
//
// Codes are packed least significant bit first, min_code_size + 1 bits wide at the start
// and one bit wider each time the next free code reaches 2^width, never wider than 12.
// Clear code 2^min, end code 2^min + 1, first free code 2^min + 2. The string table is
// fixed at 4096 entries; when it is full nothing is added until the next clear code.
//
// Every code is checked against the table before use: a code above the next free one, or
// the next free code with no string before it (as right after a clear), is kBadCode.
// Data that end (or whose sub-blocks end) before the end code give kDataEnded with the
// indices decoded so far. Decoding stops as soon as `out` is full; the rest is not read.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace varnelt {

enum class LzwStatus {
  kOk,           // end code reached, or the output filled
  kDataEnded,    // the data or sub-blocks ended before the end code
  kBadCodeSize,  // minimum code size above 11: clear and end codes would not fit
  kBadCode,      // a code that names no string
  kOutOfMemory,  // the string table could not be had
};

const char* LzwStatusText(LzwStatus status);

struct LzwResult {
  LzwStatus status = LzwStatus::kOk;
  std::size_t written = 0;   // indices written to out
  // Where decoding left the data: the length byte of the next sub-block, just past the
  // current one (or the data's size when they ran out).
  std::size_t position = 0;
};

class LzwDecoder {
 public:
  LzwDecoder();
  ~LzwDecoder();
  LzwDecoder(const LzwDecoder&) = delete;
  LzwDecoder& operator=(const LzwDecoder&) = delete;

  // Decodes the sub-blocks that start at data[position] (the first length byte) into
  // out[0, out_size). Reads nothing at or beyond data[size].
  LzwResult Decode(unsigned min_code_size, const std::uint8_t* data, std::size_t size,
                   std::size_t position, std::uint8_t* out, std::size_t out_size);

 private:
  struct Table;
  std::unique_ptr<Table> table_;
};

}  // namespace varnelt
