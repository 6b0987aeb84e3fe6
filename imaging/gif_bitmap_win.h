#pragma once
// The Windows step of the GIF engine: turns an image bitmap (the packed DIB of a GifFrame
// or of a still GIF picture) into a device bitmap compatible with a device context.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <utility>

#include "app/win_handles.h"

namespace varnelt {

// CreateDIBitmap on `dc` from an 8-bit top-down packed DIB as the GIF engine makes it,
// initialised from its rows and colour entries. Empty when the block is not such a DIB,
// is shorter than its rows need, has no pixels, or the system refuses.
UniqueBitmap CreateGifDeviceBitmap(HDC dc, const std::uint8_t* dib, std::size_t size);

}  // namespace varnelt
