#include "imaging/lzw.h"

#include <bit>
#include <cstring>
#include <new>

namespace varnelt {

namespace {

constexpr unsigned kMaxCodeBits = 12;
constexpr unsigned kTableSize = 1u << kMaxCodeBits;  // 4096
constexpr unsigned kMaxMinCodeSize = 11;

// Reads codes from GIF sub-blocks:
//
//   +-----+----------------+-----+----------------+-- ... --+-----+
//   | n1  | n1 data bytes  | n2  | n2 data bytes  |         |  0  |
//   +-----+----------------+-----+----------------+-- ... --+-----+
//
// The data bytes, joined, are the code stream, least significant bit first. A length
// byte of 0 ends the stream; so does the end of the buffer.
class CodeReader {
 public:
  CodeReader(const std::uint8_t* data, std::size_t size, std::size_t position)
      : data_(data), size_(size), pos_(position) {}

  // Reads a code of `width` bits into *code; false when the stream ends first.
  bool Read(unsigned width, unsigned* code) {
    if (count_ < width) {
      Refill();
      if (count_ < width) return false;
    }
    *code = static_cast<unsigned>(bits_ & ((std::uint64_t{1} << width) - 1));
    bits_ >>= width;
    count_ -= width;
    return true;
  }

  // The length byte of the next sub-block: the rest of the current one is passed over.
  std::size_t NextBlockPosition() const {
    if (pos_ >= size_ || size_ - pos_ < left_) return size_;
    return pos_ + left_;
  }

 private:
  void Refill() {
    while (count_ <= 56) {
      if (left_ == 0) {
        if (ended_ || pos_ >= size_) return;
        left_ = data_[pos_];
        if (left_ == 0) {
          ended_ = true;  // the terminator stays unread for the caller
          return;
        }
        ++pos_;
      }
      std::size_t avail = size_ - pos_;
      if (avail == 0) return;
      if (avail >= 8 && left_ >= 8) {
        // Eight bytes of one sub-block are there: take as many whole bytes as fit.
        std::uint64_t word;
        std::memcpy(&word, data_ + pos_, sizeof word);
        if constexpr (std::endian::native == std::endian::big) word = ByteSwap(word);
        unsigned take = (63 - count_) / 8;
        bits_ |= word << count_;
        count_ += take * 8;
        bits_ &= (std::uint64_t{1} << count_) - 1;
        pos_ += take;
        left_ -= take;
        return;
      }
      bits_ |= std::uint64_t{data_[pos_]} << count_;
      count_ += 8;
      ++pos_;
      --left_;
    }
  }

  static std::uint64_t ByteSwap(std::uint64_t v) {
    std::uint64_t r = 0;
    for (int i = 0; i < 8; ++i) {
      r = (r << 8) | (v & 0xFF);
      v >>= 8;
    }
    return r;
  }

  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_;
  std::size_t left_ = 0;  // data bytes left in the current sub-block
  bool ended_ = false;    // the terminator was seen
  std::uint64_t bits_ = 0;
  unsigned count_ = 0;
};

// Copies `length` bytes from src to dst, where src + length <= dst (an earlier part of
// the same output) and at least 8 bytes past dst + length are writable. Copies in
// 8-byte pieces; the bytes written past the end are overwritten later.
inline void CopyBackReference(std::uint8_t* dst, const std::uint8_t* src, std::size_t length) {
  if (length > 64) {
    std::memcpy(dst, src, length);
    return;
  }
  for (std::size_t n = 0; n < length; n += 8) {
    std::uint64_t piece;
    std::memcpy(&piece, src + n, sizeof piece);
    std::memcpy(dst + n, &piece, sizeof piece);
  }
}

}  // namespace

// Every string in the table was written to the output once, when it was made: it is the
// string of its prefix (written just before) followed by the first index of the string
// after it. So an entry is only where that copy lies; decoding a code copies it forward.
// Literal codes point into kLiterals, so that every code is decoded the same way.
struct LzwDecoder::Table {
  struct Entry {
    const std::uint8_t* source;
    std::uint32_t length;
  };
  Entry entries[kTableSize];
};

namespace {

// Byte i is i; 8 spare bytes at the end let a literal be copied as an 8-byte piece.
struct LiteralBytes {
  std::uint8_t bytes[256 + 8];
  constexpr LiteralBytes() : bytes() {
    for (unsigned i = 0; i < 256; ++i) bytes[i] = static_cast<std::uint8_t>(i);
  }
};
constexpr LiteralBytes kLiterals;

}  // namespace

LzwDecoder::LzwDecoder() : table_(new (std::nothrow) Table) {}
LzwDecoder::~LzwDecoder() = default;

const char* LzwStatusText(LzwStatus status) {
  switch (status) {
    case LzwStatus::kOk: return "ok";
    case LzwStatus::kDataEnded: return "image data end before the end code";
    case LzwStatus::kBadCodeSize: return "LZW minimum code size above 11";
    case LzwStatus::kBadCode: return "LZW code names no string";
    case LzwStatus::kOutOfMemory: return "out of memory";
  }
  return "unknown";
}

LzwResult LzwDecoder::Decode(unsigned min_code_size, const std::uint8_t* data, std::size_t size,
                             std::size_t position, std::uint8_t* out, std::size_t out_size) {
  LzwResult result;
  result.position = position;
  if (!table_) {
    result.status = LzwStatus::kOutOfMemory;
    return result;
  }
  if (min_code_size > kMaxMinCodeSize) {
    result.status = LzwStatus::kBadCodeSize;
    return result;
  }
  // Offsets are 32-bit; no pixel block comes near that.
  if (out_size > 0xFFFFFFFFu) out_size = 0xFFFFFFFFu;

  Table::Entry* const table = table_->entries;
  const unsigned clear = 1u << min_code_size;
  const unsigned end = clear + 1;
  const unsigned first_free = clear + 2;
  for (unsigned c = 0; c < clear; ++c) {
    table[c].source = &kLiterals.bytes[c & 0xFF];  // literals above 255 keep their low byte
    table[c].length = 1;
  }

  unsigned width = min_code_size + 1;
  unsigned next = first_free;
  bool have_prev = false;
  const std::uint8_t* prev_source = nullptr;  // where the previous string was written
  std::uint32_t prev_length = 0;
  std::size_t pos = 0;

  CodeReader reader(data, size, position);
  LzwStatus status = LzwStatus::kOk;
  while (pos < out_size) {
    unsigned code;
    if (!reader.Read(width, &code)) {
      status = LzwStatus::kDataEnded;
      break;
    }
    if (code == clear) {
      width = min_code_size + 1;
      next = first_free;
      have_prev = false;
      continue;
    }
    if (code == end) break;

    const std::uint8_t* source;
    std::uint32_t length;
    bool making = false;
    if (code < next) {
      // A literal or a made string (right after a clear, next is first_free).
      source = table[code].source;
      length = table[code].length;
    } else if (code == next && have_prev) {
      // The string being made: the previous string and its own first index.
      source = prev_source;
      length = prev_length + 1;
      making = true;
    } else {
      status = LzwStatus::kBadCode;
      break;
    }

    // The previous string followed by this one's first index becomes a new entry; it
    // lies in the output from prev_source, since this string comes right after it.
    if (have_prev && next < kTableSize) {
      table[next].source = prev_source;
      table[next].length = prev_length + 1;
      ++next;
      if (next >= (1u << width) && width < kMaxCodeBits) ++width;
    }

    std::uint8_t* const dst = out + pos;
    const std::size_t room = out_size - pos;
    // Every string but the one being made lies wholly before dst (or in kLiterals).
    if (making) {
      // The previous string ends at dst: copy it, then append its first index.
      const std::size_t copied = length - 1;
      std::memcpy(dst, source, copied < room ? copied : room);
      if (copied < room) dst[copied] = *source;
    } else if (length + 8 <= room) {
      CopyBackReference(dst, source, length);
    } else {
      std::memcpy(dst, source, length < room ? length : room);
    }
    prev_source = dst;
    prev_length = length;
    have_prev = true;
    pos += length;
  }
  result.status = status;
  result.written = pos < out_size ? pos : out_size;
  result.position = reader.NextBlockPosition();
  return result;
}

}  // namespace varnelt
