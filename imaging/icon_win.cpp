#include "imaging/icon_win.h"

namespace varnelt {

namespace {

// The resource format version that CreateIconFromResource(Ex) expects of icon images.
constexpr DWORD kIconResourceVersion = 0x00030000;

}  // namespace

ScopedIcon CreatePictureIcon(const DecodedPicture& picture, const std::uint8_t* data, std::size_t size) {
  if (picture.kind != PictureKind::kIcon && picture.kind != PictureKind::kCursor) return {};
  const IconImage& image = picture.icon;
  if (data == nullptr || image.offset > size || image.size > size - image.offset || image.size == 0 ||
      image.size > MAXDWORD) {
    return {};
  }
  // The functions take a non-const pointer but only read the image bytes.
  auto* bits = const_cast<PBYTE>(data + image.offset);
  const auto bytes = static_cast<DWORD>(image.size);
  HICON icon = CreateIconFromResourceEx(bits, bytes, TRUE, kIconResourceVersion, picture.width, picture.height,
                                        LR_DEFAULTCOLOR);
  // Without a size of its own the older call makes the icon at the system's icon size;
  // it is not tried for 16-bit images.
  if (icon == nullptr && image.bit_count != 16) icon = CreateIconFromResource(bits, bytes, TRUE, kIconResourceVersion);
  return ScopedIcon(icon);
}

}  // namespace varnelt
