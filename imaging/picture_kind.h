#pragma once
// Recognises a picture file by its first six bytes, never by its name.

#include <cstddef>
#include <cstdint>

#include "imaging/decoded_picture.h"

namespace varnelt {

// The kind the first six bytes announce, tested in this order: BMP "BM", JPEG FF D8,
// icon (words 0, 1, count > 0), cursor (words 0, 2, count > 0), "GIF87a"/"GIF89a",
// 256-colour PCX (0A, version <= 5, encoding 1, 8 bits), black-and-white PCX
// (0A, version 3, encoding 1, 1 bit). Anything else, and any buffer shorter than six
// bytes, is kNone.
PictureKind SniffPictureKind(const std::uint8_t* data, std::size_t size);

}  // namespace varnelt
