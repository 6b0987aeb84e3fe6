#pragma once
// The Windows step for icon and cursor pictures: makes the icon handle from the image that
// the directory parsing chose (icon_directory.h), and owns it.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <utility>

#include "app/win_handles.h"

#include "imaging/decoded_picture.h"

namespace varnelt {

// Owns the icon handle and destroys it (DestroyIcon) when it goes.
using ScopedIcon = UniqueIcon;

// The icon for a kIcon or kCursor picture decoded from `data` (the same file bytes). A
// cursor is made as an icon, without its hot spot. An empty owner when the picture is of
// another kind, its image does not lie within the bytes, or Windows makes no icon of it.
ScopedIcon CreatePictureIcon(const DecodedPicture& picture, const std::uint8_t* data, std::size_t size);

}  // namespace varnelt
