#pragma once
// A read position over a caller's bytes, for the header parsers. Every read checks the
// bytes left first and reports failure instead of yielding 0 past the end, so truncation
// is always visible to the decoder. Multi-byte values are little-endian, as in every
// Windows and PC file format read here.

#include <cstddef>
#include <cstdint>

namespace varnelt {

class ByteCursor {
 public:
  ByteCursor(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::size_t position() const { return pos_; }
  std::size_t size() const { return size_; }
  std::size_t remaining() const { return size_ - pos_; }
  // The bytes at the current position (remaining() of them).
  const std::uint8_t* here() const { return data_ + pos_; }

  [[nodiscard]] bool Seek(std::size_t position) {
    if (position > size_) return false;
    pos_ = position;
    return true;
  }
  [[nodiscard]] bool Skip(std::size_t count) {
    if (count > remaining()) return false;
    pos_ += count;
    return true;
  }
  // Points `out` at the next `count` bytes and moves past them.
  [[nodiscard]] bool Take(std::size_t count, const std::uint8_t*& out) {
    if (count > remaining()) return false;
    out = data_ + pos_;
    pos_ += count;
    return true;
  }
  [[nodiscard]] bool ReadU8(std::uint8_t& out) {
    if (remaining() < 1) return false;
    out = data_[pos_++];
    return true;
  }
  [[nodiscard]] bool ReadU16(std::uint16_t& out) {
    if (remaining() < 2) return false;
    out = static_cast<std::uint16_t>(data_[pos_] | data_[pos_ + 1] << 8);
    pos_ += 2;
    return true;
  }
  [[nodiscard]] bool ReadI16(std::int16_t& out) {
    std::uint16_t u = 0;
    if (!ReadU16(u)) return false;
    out = static_cast<std::int16_t>(u);
    return true;
  }
  [[nodiscard]] bool ReadU32(std::uint32_t& out) {
    if (remaining() < 4) return false;
    out = static_cast<std::uint32_t>(data_[pos_]) | static_cast<std::uint32_t>(data_[pos_ + 1]) << 8 |
          static_cast<std::uint32_t>(data_[pos_ + 2]) << 16 | static_cast<std::uint32_t>(data_[pos_ + 3]) << 24;
    pos_ += 4;
    return true;
  }
  [[nodiscard]] bool ReadI32(std::int32_t& out) {
    std::uint32_t u = 0;
    if (!ReadU32(u)) return false;
    out = static_cast<std::int32_t>(u);
    return true;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

}  // namespace varnelt
