// Tests GIF LZW decoding: code widths, the string being made, the full table, the bounds
// on codes, and where decoding stops in the sub-blocks.
#include "imaging/lzw.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace varnelt {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Code {
  unsigned value;
  unsigned width;
};

// Packs codes least significant bit first into sub-blocks of at most `block` bytes, with
// the terminator when `terminate`.
Bytes Pack(const std::vector<Code>& codes, std::size_t block = 255, bool terminate = true) {
  Bytes stream;
  unsigned long long acc = 0;
  unsigned bits = 0;
  for (const Code& c : codes) {
    acc |= static_cast<unsigned long long>(c.value) << bits;
    bits += c.width;
    while (bits >= 8) {
      stream.push_back(static_cast<std::uint8_t>(acc));
      acc >>= 8;
      bits -= 8;
    }
  }
  if (bits > 0) stream.push_back(static_cast<std::uint8_t>(acc));
  Bytes out;
  for (std::size_t i = 0; i < stream.size(); i += block) {
    const std::size_t n = std::min(block, stream.size() - i);
    out.push_back(static_cast<std::uint8_t>(n));
    out.insert(out.end(), stream.begin() + static_cast<std::ptrdiff_t>(i),
               stream.begin() + static_cast<std::ptrdiff_t>(i + n));
  }
  if (terminate) out.push_back(0);
  return out;
}

struct Decoded {
  LzwResult result;
  Bytes pixels;
};

Decoded Decode(unsigned min_code_size, const Bytes& data, std::size_t out_size) {
  LzwDecoder lzw;
  Decoded d;
  d.pixels.assign(out_size, 0xEE);
  d.result = lzw.Decode(min_code_size, data.data(), data.size(), 0, d.pixels.data(), out_size);
  d.pixels.resize(d.result.written);
  return d;
}

TEST(LzwTest, StringBeingMadeAndWidthGrowth) {
  // min 2: clear 4, end 5, first free 6, 3 bits. 0; 6 = "0"+"0"; 7 = "00"+"0" (the table
  // now reaches 8, so the end code comes with 4 bits); then 6 again.
  const Bytes data = Pack({{4, 3}, {0, 3}, {6, 3}, {7, 3}, {6, 4}, {5, 4}});
  Decoded d = Decode(2, data, 100);
  EXPECT_EQ(d.result.status, LzwStatus::kOk);
  EXPECT_EQ(d.pixels, Bytes(8, 0));
  EXPECT_EQ(d.result.position, data.size() - 1) << "left at the terminator";
}

TEST(LzwTest, MixedStringsAcrossTinySubBlocks) {
  // 1; 2 (6 = "12"); 6 (7 = "21"); 8, being made = "121"; 7 = "21" (9 = "1212");
  // 10, being made = "212". Decoded the same whatever the sub-block size.
  const std::vector<Code> codes = {{4, 3}, {1, 3}, {2, 3}, {6, 3}, {8, 4}, {7, 4}, {10, 4}, {5, 4}};
  const Bytes expected = {1, 2, 1, 2, 1, 2, 1, 2, 1, 2, 1, 2};
  for (std::size_t block : {std::size_t{1}, std::size_t{2}, std::size_t{255}}) {
    Decoded d = Decode(2, Pack(codes, block), 100);
    EXPECT_EQ(d.result.status, LzwStatus::kOk) << block;
    EXPECT_EQ(d.pixels, expected) << block;
  }
}

TEST(LzwTest, CodesThatNameNoString) {
  const struct {
    const char* what;
    std::vector<Code> codes;
    std::size_t written;
  } cases[] = {
      {"above the first free code after a clear", {{4, 3}, {7, 3}}, 0},
      {"the first free code right after a clear", {{4, 3}, {6, 3}}, 0},
      {"the first free code at the start", {{6, 3}}, 0},
      {"beyond the next free code", {{4, 3}, {1, 3}, {2, 3}, {0, 3}, {9, 4}}, 3},
  };
  for (const auto& c : cases) {
    Decoded d = Decode(2, Pack(c.codes), 100);
    EXPECT_EQ(d.result.status, LzwStatus::kBadCode) << c.what;
    EXPECT_EQ(d.result.written, c.written) << c.what;
  }
}

TEST(LzwTest, FullTableTakesNoMoreEntriesUntilClear) {
  // Literals 0..3 in turn from a clear: each code after the first adds an entry, so
  // after 4091 literals the table (6..4095) is full. Widths grow as the next free code
  // reaches 8, 16, ..., 4096 (and stay 12).
  std::vector<Code> codes = {{4, 3}};
  Bytes expected;
  unsigned next = 6;
  unsigned width = 3;
  std::vector<std::pair<std::uint8_t, std::uint8_t>> pairs;  // entry 6+i = literal i, i+1
  for (int i = 0; i < 4200; ++i) {
    const auto lit = static_cast<std::uint8_t>(i % 4);
    codes.push_back({lit, width});
    expected.push_back(lit);
    if (i > 0 && next < 4096) {
      ++next;
      if (next == (1u << width) && width < 12) ++width;
    }
  }
  ASSERT_EQ(width, 12u);
  // Code 4095 is the last entry: literals 4089, 4090. A code past the table would be
  // 13 bits, which never comes; 4095 must decode, not be overwritten by later literals.
  codes.push_back({4095, 12});
  expected.push_back(4089 % 4);
  expected.push_back(4090 % 4);
  // A clear empties the table and brings the width back to 3: 0, then 6 = "0" + "0".
  codes.push_back({4, 12});
  codes.push_back({0, 3});
  codes.push_back({6, 3});
  expected.insert(expected.end(), {0, 0, 0});
  codes.push_back({5, 3});
  Decoded d = Decode(2, Pack(codes), 100000);
  EXPECT_EQ(d.result.status, LzwStatus::kOk);
  EXPECT_EQ(d.pixels, expected);
}

TEST(LzwTest, DataEndingEarlyKeepWhatWasDecoded) {
  // 16 bits exactly: 1, 2, 6 = "12", 7 = "21", and no end code.
  const std::vector<Code> codes = {{4, 3}, {1, 3}, {2, 3}, {6, 3}, {7, 4}};
  const Bytes decoded = {1, 2, 1, 2, 2, 1};
  // Terminated sub-blocks.
  Decoded ended = Decode(2, Pack(codes), 100);
  EXPECT_EQ(ended.result.status, LzwStatus::kDataEnded);
  EXPECT_EQ(ended.pixels, decoded);
  // No terminator: the buffer simply ends.
  const Bytes cut = Pack(codes, 255, false);
  Decoded cut_off = Decode(2, cut, 100);
  EXPECT_EQ(cut_off.result.status, LzwStatus::kDataEnded);
  EXPECT_EQ(cut_off.pixels, decoded);
  EXPECT_EQ(cut_off.result.position, cut.size());
  // A sub-block that claims more bytes than are there.
  Bytes lying = {200, 0x0C};
  Decoded lie = Decode(2, lying, 100);
  EXPECT_EQ(lie.result.status, LzwStatus::kDataEnded);
  EXPECT_EQ(lie.result.position, lying.size());
  // Nothing at all.
  Decoded empty = Decode(2, Bytes{}, 100);
  EXPECT_EQ(empty.result.status, LzwStatus::kDataEnded);
  EXPECT_EQ(empty.result.written, 0u);
}

TEST(LzwTest, StopsWhenTheOutputIsFull) {
  // Zeros in strings of 1, 2, 3, 4, 5, 6 (each being made), then sub-blocks of filler
  // that decoding must not need. With room for 5 it stops early and leaves the position
  // at a sub-block's length byte.
  Bytes data = Pack({{4, 3}, {0, 3}, {6, 3}, {7, 3}, {8, 4}, {9, 4}, {10, 4}}, 255, false);
  for (int i = 0; i < 3; ++i) data.insert(data.end(), {4, 0, 0, 0, 0});
  data.push_back(0);
  Decoded d = Decode(2, data, 5);
  EXPECT_EQ(d.result.status, LzwStatus::kOk);
  EXPECT_EQ(d.pixels, Bytes(5, 0));
  EXPECT_EQ(data[d.result.position], 4) << "a sub-block length byte";
  // A long string at the end of the output is cut exactly there.
  Decoded exact = Decode(2, data, 12);
  EXPECT_EQ(exact.result.status, LzwStatus::kOk);
  EXPECT_EQ(exact.pixels, Bytes(12, 0));
}

TEST(LzwTest, MinimumCodeSizes) {
  // 11: clear 2048, end 2049, 12-bit codes from the start; a literal above 255 keeps its
  // low byte.
  Decoded eleven = Decode(11, Pack({{2048, 12}, {7, 12}, {0x1FF, 12}, {2050, 12}, {2049, 12}}), 100);
  EXPECT_EQ(eleven.result.status, LzwStatus::kOk);
  EXPECT_EQ(eleven.pixels, (Bytes{7, 0xFF, 7, 0xFF}));
  // 12 and above leave no room for the clear and end codes.
  for (unsigned size : {12u, 13u, 255u}) {
    Decoded d = Decode(size, Pack({{0, 12}, {0, 12}}), 100);
    EXPECT_EQ(d.result.status, LzwStatus::kBadCodeSize) << size;
    EXPECT_EQ(d.result.written, 0u) << size;
  }
}

}  // namespace
}  // namespace varnelt
