#include "imaging/gif_composer.h"

#include <algorithm>
#include <cstring>

namespace varnelt {

GifRect UniteRects(const GifRect& a, const GifRect& b) {
  if (a.empty()) return b;
  if (b.empty()) return a;
  const std::uint32_t x = std::min(a.x, b.x);
  const std::uint32_t y = std::min(a.y, b.y);
  const std::uint32_t right = std::max(a.x + a.width, b.x + b.width);
  const std::uint32_t bottom = std::max(a.y + a.height, b.y + b.height);
  return GifRect{x, y, right - x, bottom - y};
}

bool GifComposer::Reset(std::uint32_t width, std::uint32_t height) {
  canvas_ = PixelBlock();
  pixels_ = nullptr;
  width_ = height_ = 0;
  previous_disposal_ = 1;
  previous_area_ = GifRect{};
  saved_valid_ = false;
  if (width == 0 || height == 0) return false;
  const auto bytes = CheckedProduct({width, height, sizeof(std::uint32_t)});
  if (!bytes) return false;
  canvas_ = AllocatePixelBlock(*bytes);
  if (canvas_.empty()) return false;
  // A block of unsigned char provides storage for the pixels (and new[] aligns it for them).
  pixels_ = reinterpret_cast<std::uint32_t*>(canvas_.data());
  width_ = width;
  height_ = height;
  std::fill(pixels_, pixels_ + std::size_t{width} * height, kBackground);
  return true;
}

GifStep GifComposer::Step(GifEngine& engine) {
  GifStep step;
  step.changed = Dispose();
  GifFrame frame;
  if (pixels_ == nullptr || engine.NextFrame(&frame) != GifError::kOk) {
    step.frame_ms = GifFrameTimeMs(engine.controls().delay);
    return step;
  }
  step.changed = UniteRects(step.changed, Place(frame));
  step.composed = true;
  step.frame_ms = GifFrameTimeMs(frame.controls.delay);
  return step;
}

GifStep GifComposer::Compose(const GifFrame& frame) {
  GifStep step;
  step.changed = Dispose();
  if (pixels_ == nullptr) return step;
  step.changed = UniteRects(step.changed, Place(frame));
  step.composed = true;
  step.frame_ms = GifFrameTimeMs(frame.controls.delay);
  return step;
}

GifRect GifComposer::Dispose() {
  const GifRect area = previous_area_;
  const std::uint8_t method = previous_disposal_;
  previous_disposal_ = 1;
  previous_area_ = GifRect{};
  if (area.empty() || pixels_ == nullptr) return GifRect{};
  if (method == 2) {
    for (std::uint32_t y = area.y; y < area.y + area.height; ++y) {
      std::uint32_t* out = mutable_row(y) + area.x;
      std::fill(out, out + area.width, kBackground);
    }
    return area;
  }
  if (method == 3 && saved_valid_) {
    saved_valid_ = false;
    const auto* saved = reinterpret_cast<const std::uint32_t*>(saved_.data());
    for (std::uint32_t y = 0; y < area.height; ++y) {
      std::memcpy(mutable_row(area.y + y) + area.x, saved + std::size_t{y} * area.width,
                  std::size_t{area.width} * sizeof(std::uint32_t));
    }
    return area;
  }
  return GifRect{};
}

GifRect GifComposer::Place(const GifFrame& frame) {
  // The frame's area on the canvas; what lies beyond the logical screen is cut off.
  GifRect area;
  if (frame.left < width_ && frame.top < height_) {
    area.x = frame.left;
    area.y = frame.top;
    area.width = std::min<std::uint32_t>(frame.width, width_ - frame.left);
    area.height = std::min<std::uint32_t>(frame.height, height_ - frame.top);
  }
  const std::size_t dib_rows_bytes = std::size_t{frame.height} * frame.stride();
  if (frame.dib.size() < kGifDibPixelOffset + dib_rows_bytes) area = GifRect{};
  if (area.empty()) return GifRect{};

  previous_disposal_ = frame.controls.disposal;
  previous_area_ = area;
  if (previous_disposal_ == 3) {
    // What lies under the frame, to put back when it is disposed of. Without the memory
    // for it the frame is left in place.
    const std::size_t count = std::size_t{area.width} * area.height;
    if (saved_.size() < count * sizeof(std::uint32_t)) saved_ = AllocatePixelBlock(count * sizeof(std::uint32_t));
    saved_valid_ = saved_.size() >= count * sizeof(std::uint32_t);
    if (saved_valid_) {
      auto* saved = reinterpret_cast<std::uint32_t*>(saved_.data());
      for (std::uint32_t y = 0; y < area.height; ++y) {
        std::memcpy(saved + std::size_t{y} * area.width, row(area.y + y) + area.x,
                    std::size_t{area.width} * sizeof(std::uint32_t));
      }
    }
  }

  // The image's colour entries (blue, green, red, 0) as canvas pixels.
  std::uint32_t colours[256];
  const std::uint8_t* entry = frame.dib.data() + kGifDibHeaderBytes;
  for (std::uint32_t& c : colours) {
    c = (std::uint32_t{entry[2]} << 16) | (std::uint32_t{entry[1]} << 8) | entry[0];
    entry += 4;
  }

  const bool transparent = frame.controls.transparent;
  const std::uint8_t key = frame.controls.transparent_index;
  for (std::uint32_t y = 0; y < area.height; ++y) {
    const std::uint8_t* in = frame.row(y);
    std::uint32_t* out = mutable_row(area.y + y) + area.x;
    if (transparent) {
      for (std::uint32_t x = 0; x < area.width; ++x) {
        if (in[x] != key) out[x] = colours[in[x]];
      }
    } else {
      for (std::uint32_t x = 0; x < area.width; ++x) out[x] = colours[in[x]];
    }
  }
  return area;
}

}  // namespace varnelt
