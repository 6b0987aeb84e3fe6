#pragma once
// Turns a picture file's bytes into a decoded picture: the kind is recognised from the
// first six bytes (SniffPictureKind) and the bytes go to that kind's decoder. The caller
// keeps the bytes; nothing is kept between calls.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "imaging/decoded_picture.h"

namespace varnelt {

// Nothing for an empty or unrecognised buffer and for bytes that fail to decode. Icons and
// cursors come back without pixels: the Windows layer makes their icon handle from the
// image that `icon` names (icon_win.h).
std::optional<DecodedPicture> DecodePicture(const std::uint8_t* data, std::size_t size);

}  // namespace varnelt
