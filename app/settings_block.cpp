#include "app/settings_block.h"

#include <cstring>

namespace varnelt {

SettingsWriter& SettingsWriter::U32(std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(static_cast<std::uint8_t>(value >> shift));
  return *this;
}

SettingsWriter& SettingsWriter::Text(const std::string& text) {
  U32(static_cast<std::uint32_t>(text.size()));
  bytes_.insert(bytes_.end(), text.begin(), text.end());
  return *this;
}

SettingsWriter& SettingsWriter::Data(const Bytes& data) {
  U32(static_cast<std::uint32_t>(data.size()));
  bytes_.insert(bytes_.end(), data.begin(), data.end());
  return *this;
}

SettingsWriter& SettingsWriter::CString(const std::string& text) {
  bytes_.insert(bytes_.end(), text.begin(), text.end());
  bytes_.push_back(0);
  return *this;
}

SettingsWriter& SettingsWriter::Raw(const std::uint8_t* data, std::size_t size) {
  bytes_.insert(bytes_.end(), data, data + size);
  return *this;
}

bool SettingsReader::U32(std::uint32_t& out) {
  if (remaining() < 4) return false;
  const std::uint8_t* p = data_ + pos_;
  out = static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
        static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
  pos_ += 4;
  return true;
}

bool SettingsReader::I32(std::int32_t& out) {
  std::uint32_t value = 0;
  if (!U32(value)) return false;
  out = static_cast<std::int32_t>(value);
  return true;
}

bool SettingsReader::Bool(bool& out) {
  std::uint32_t value = 0;
  if (!U32(value)) return false;
  out = value != 0;
  return true;
}

bool SettingsReader::Text(std::string& out) {
  std::uint32_t count = 0;
  const std::size_t start = pos_;
  if (!U32(count) || remaining() < count) {
    pos_ = start;
    return false;
  }
  out.assign(reinterpret_cast<const char*>(data_ + pos_), count);
  pos_ += count;
  return true;
}

bool SettingsReader::Data(Bytes& out) {
  std::uint32_t count = 0;
  const std::size_t start = pos_;
  if (!U32(count) || remaining() < count) {
    pos_ = start;
    return false;
  }
  out.assign(data_ + pos_, data_ + pos_ + count);
  pos_ += count;
  return true;
}

bool SettingsReader::CString(std::string& out) {
  if (remaining() == 0) return false;
  const void* end = std::memchr(data_ + pos_, 0, remaining());
  if (end == nullptr) return false;
  const auto length = static_cast<std::size_t>(static_cast<const std::uint8_t*>(end) - (data_ + pos_));
  out.assign(reinterpret_cast<const char*>(data_ + pos_), length);
  pos_ += length + 1;
  return true;
}

bool SettingsReader::Skip(std::size_t count) {
  if (remaining() < count) return false;
  pos_ += count;
  return true;
}

}  // namespace varnelt
