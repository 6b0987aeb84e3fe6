#pragma once
// Icon (.ico) and cursor (.cur) files: reads the directory, chooses one image by the rule
// below and reports where its bytes lie and how large it is. Making the icon handle from
// those bytes is the Windows layer's step (icon_win.h).

#include <cstddef>
#include <cstdint>
#include <optional>

#include "imaging/decoded_picture.h"

namespace varnelt {

enum class IconError {
  kNone,
  kBadDirectory,  // short header, reserved word not 0, type not 1 or 2, or no images
  kShortEntry,    // a directory entry read runs past the end of the file
  kShortImage,    // the chosen image lies (partly) outside the file or is too short
};

// The chosen image: the first entry that is 32 pixels wide (width byte 32) with a colour
// count byte of at least 16; when there is none, the last entry. The result is a kIcon or
// kCursor picture without pixels; `icon` names the entry and its bytes, and width and
// height are the image's own: its bitmap header's width and half its height (the header
// counts the colour image and the mask together), or a PNG image's IHDR size.
std::optional<DecodedPicture> DecodeIconDirectory(const std::uint8_t* data, std::size_t size,
                                                  IconError* error = nullptr);

}  // namespace varnelt
