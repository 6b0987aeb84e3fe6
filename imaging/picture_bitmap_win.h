#pragma once
// The Windows step of drawing a decoded picture: a device bitmap made from its pixel
// block, and the stretch mode the drawing uses.

#include <windows.h>

#include "app/win_handles.h"
#include "imaging/decoded_picture.h"

namespace varnelt {

// A bitmap compatible with `dc` holding the picture at its own width and height; empty
// for icons and cursors (drawn from their icon handle) and when the system refuses.
UniqueBitmap CreatePictureBitmap(HDC dc, const DecodedPicture& picture);

// HALFTONE when the display has more than 16 bits per pixel, COLORONCOLOR otherwise or when
// the display cannot be asked. Asked anew at each call.
int ChooseStretchMode();

}  // namespace varnelt
