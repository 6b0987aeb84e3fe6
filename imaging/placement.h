#pragma once
// Where a picture of pw x ph lands in a panel's W x H client area, by display mode:
//   0  top-left at its natural size (cut off at the right and bottom);
//   1  stretched to the whole client area, each axis on its own;
//   2  centred at its natural size when it fits, else shrunk with its aspect ratio kept
//      until it fits, then centred; never enlarged.
// Every halving truncates toward zero, as integer division does.

#include <cstdint>

namespace varnelt {

struct PlacedRect {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  bool operator==(const PlacedRect&) const = default;
};

// Display modes outside 0..2 are clamped to that range.
PlacedRect PlacePicture(std::int32_t display_mode, std::int32_t client_width, std::int32_t client_height,
                        std::int32_t picture_width, std::int32_t picture_height);

}  // namespace varnelt
