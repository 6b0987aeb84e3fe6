#pragma once
// The two pictures the main window's layout carries: the frame (a 159x246 baseline JPEG)
// and the badge (a 12x12 baseline JPEG). Drawn and encoded at build time.

#include <cstddef>
#include <cstdint>

namespace varnelt {

extern const std::uint8_t kFramePicture[];
extern const std::size_t kFramePicture_size;
extern const std::uint8_t kBadgePicture[];
extern const std::size_t kBadgePicture_size;

}  // namespace varnelt
