#include "imaging/placement.h"

#include <algorithm>

namespace varnelt {

PlacedRect PlacePicture(std::int32_t display_mode, std::int32_t W, std::int32_t H, std::int32_t pw, std::int32_t ph) {
  switch (std::clamp(display_mode, 0, 2)) {
    case 0:
      return {0, 0, pw, ph};
    case 1:
      return {0, 0, W, H};
    default:
      break;
  }
  // Centred and shrunk to fit.
  std::int32_t fit_w = W, x = 0;
  if (pw <= W) {
    fit_w = pw;
    x = (W - pw) / 2;
  }
  std::int32_t fit_h = H, y = 0;
  if (ph <= H) {
    fit_h = ph;
    y = (H - ph) / 2;
  }
  if (pw <= W && ph <= H) return {x, y, pw, ph};
  const double scale = std::min(static_cast<double>(fit_w) / pw, static_cast<double>(fit_h) / ph);
  const auto w = static_cast<std::int32_t>(pw * scale);
  const auto h = static_cast<std::int32_t>(ph * scale);
  return {x + (fit_w - w) / 2, y + (fit_h - h) / 2, w, h};
}

}  // namespace varnelt
