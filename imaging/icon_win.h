#pragma once
// The Windows step for icon and cursor pictures: makes the icon handle from the image that
// the directory parsing chose (icon_directory.h), and owns it.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <utility>

#include "imaging/decoded_picture.h"

namespace varnelt {

// Owns one icon handle and destroys it (DestroyIcon) when it goes.
class ScopedIcon {
 public:
  ScopedIcon() = default;
  explicit ScopedIcon(HICON icon) : icon_(icon) {}
  ScopedIcon(ScopedIcon&& other) noexcept : icon_(std::exchange(other.icon_, nullptr)) {}
  ScopedIcon& operator=(ScopedIcon&& other) noexcept {
    if (this != &other) reset(std::exchange(other.icon_, nullptr));
    return *this;
  }
  ScopedIcon(const ScopedIcon&) = delete;
  ScopedIcon& operator=(const ScopedIcon&) = delete;
  ~ScopedIcon() { reset(); }

  HICON get() const { return icon_; }
  explicit operator bool() const { return icon_ != nullptr; }
  HICON release() { return std::exchange(icon_, nullptr); }
  void reset(HICON icon = nullptr) {
    if (icon_ != nullptr) DestroyIcon(icon_);
    icon_ = icon;
  }

 private:
  HICON icon_ = nullptr;
};

// The icon for a kIcon or kCursor picture decoded from `data` (the same file bytes). A
// cursor is made as an icon, without its hot spot. An empty owner when the picture is of
// another kind, its image does not lie within the bytes, or Windows makes no icon of it.
ScopedIcon CreatePictureIcon(const DecodedPicture& picture, const std::uint8_t* data, std::size_t size);

}  // namespace varnelt
