#pragma once
// The window snapshot: what a window shows on screen right now, brought to a requested
// size and encoded as a whole 24-bit BMP file.

#include <windows.h>

#include <cstdint>
#include <vector>

namespace varnelt {

// `window` 0 copies the primary screen. Width and height each: 0 the captured size, a
// positive value that many pixels, -p p percent of the captured size (p below 10 counts
// as 10), rounded to the nearest pixel. Empty on every failure.
std::vector<std::uint8_t> WindowSnapshot(HWND window, std::int32_t width, std::int32_t height);

// The target size along one axis by the rules above; 0 or less means no picture.
std::int32_t SnapshotTargetSize(std::int32_t requested, std::int32_t captured);

}  // namespace varnelt
