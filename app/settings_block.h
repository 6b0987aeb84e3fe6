#pragma once
// Settings blocks: the byte form in which every control kind keeps its own settings in the
// layout records. Integers are 32-bit little-endian; texts and byte fields are a 32-bit
// byte count followed by that many bytes, with no terminator.
//
// The reader never reads past the block: each read reports whether the field was there,
// so a block that ends early is refused by the kind that reads it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace varnelt {

using Bytes = std::vector<std::uint8_t>;

class SettingsWriter {
 public:
  SettingsWriter& U32(std::uint32_t value);
  SettingsWriter& I32(std::int32_t value) { return U32(static_cast<std::uint32_t>(value)); }
  SettingsWriter& Bool(bool value) { return U32(value ? 1u : 0u); }
  SettingsWriter& Text(const std::string& text);
  SettingsWriter& Data(const Bytes& bytes);
  // A zero-terminated text, as the common part of a record holds it.
  SettingsWriter& CString(const std::string& text);
  SettingsWriter& Raw(const std::uint8_t* data, std::size_t size);

  const Bytes& bytes() const { return bytes_; }
  Bytes Take() { return std::move(bytes_); }

 private:
  Bytes bytes_;
};

class SettingsReader {
 public:
  SettingsReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  explicit SettingsReader(const Bytes& bytes) : SettingsReader(bytes.data(), bytes.size()) {}

  bool U32(std::uint32_t& out);
  bool I32(std::int32_t& out);
  bool Bool(bool& out);
  bool Text(std::string& out);
  bool Data(Bytes& out);
  bool CString(std::string& out);
  bool Skip(std::size_t count);

  bool AtEnd() const { return pos_ == size_; }
  std::size_t remaining() const { return size_ - pos_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

}  // namespace varnelt
