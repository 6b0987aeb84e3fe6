#pragma once
// Composition of an animated GIF's frames on a canvas in memory: the frame-to-frame state
// (what each frame's disposal leaves, transparency, placement on the logical screen) that
// the GIF engine leaves to its caller. Portable; the Windows player only draws the canvas.
//
// Canvas layout: width * height pixels of 32 bits, 0x00RRGGBB, rows top-down without
// padding (stride = width * 4 bytes). In memory on a little-endian machine each pixel is
// blue, green, red, 0: the bits of a 32-bit top-down BI_RGB DIB.
//
// Rules, per frame:
// - the canvas starts white (0x00FFFFFF);
// - before a frame is placed, the previous frame's disposal is carried out: method 2 turns
//   that frame's area to the canvas's white (the background the format defines, not what
//   lay under the frame), method 3 puts back what lay under it, 0, 1 and 4-7 leave it;
// - the frame lands at its offsets, clipped to the canvas; with transparency on, pixels of
//   the transparent index leave the canvas as it is;
// - a frame is shown for its delay x 10 ms, or 50 ms when the delay is 0;
// - frames repeat without end (the engine starts over after the trailer); the canvas is
//   not cleared when they do.

#include <cstddef>
#include <cstdint>

#include "imaging/gif_engine.h"
#include "imaging/pixel_block.h"

namespace varnelt {

// An area of the canvas; empty when width or height is 0.
struct GifRect {
  std::uint32_t x = 0;
  std::uint32_t y = 0;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  bool empty() const { return width == 0 || height == 0; }
  bool operator==(const GifRect&) const = default;
};

// The smallest rectangle holding both (an empty one adds nothing).
GifRect UniteRects(const GifRect& a, const GifRect& b);

// How long a frame with this delay (hundredths of a second) stays on screen, in ms.
constexpr std::uint32_t GifFrameTimeMs(std::uint16_t delay) {
  return delay == 0 ? 50u : std::uint32_t{delay} * 10u;
}

struct GifStep {
  bool composed = false;       // a frame was placed (else the engine yielded none)
  std::uint32_t frame_ms = 50; // how long the canvas is now to stay as it is
  GifRect changed;             // the canvas area this step may have changed
};

class GifComposer {
 public:
  static constexpr std::uint32_t kBackground = 0x00FFFFFF;

  GifComposer() = default;
  GifComposer(const GifComposer&) = delete;
  GifComposer& operator=(const GifComposer&) = delete;

  // A white canvas of width x height, no previous frame. False (and no canvas) when a
  // side is 0 or the canvas would pass kMaxPixelBlockBytes or cannot be had.
  bool Reset(std::uint32_t width, std::uint32_t height);

  // Carries out the previous frame's disposal, then takes the engine's next frame and
  // places it. A frame the engine cannot read leaves the canvas as the disposal left it;
  // its frame time is then that of the frame controls in force.
  GifStep Step(GifEngine& engine);

  // Places one frame as Step does, after the previous frame's disposal: for a frame read
  // elsewhere (a GIF's single image).
  GifStep Compose(const GifFrame& frame);

  std::uint32_t width() const { return width_; }
  std::uint32_t height() const { return height_; }
  const std::uint32_t* pixels() const { return pixels_; }
  const std::uint32_t* row(std::uint32_t y) const { return pixels_ + std::size_t{y} * width_; }

 private:
  // Undoes the previous frame by its disposal method; the area it touched.
  GifRect Dispose();
  GifRect Place(const GifFrame& frame);
  std::uint32_t* mutable_row(std::uint32_t y) { return pixels_ + std::size_t{y} * width_; }

  PixelBlock canvas_;
  std::uint32_t* pixels_ = nullptr;
  std::uint32_t width_ = 0;
  std::uint32_t height_ = 0;

  // The previous frame's disposal and clipped area, and for method 3 what lay under it
  // (area.width * area.height pixels; kept between frames so it is rarely reallocated).
  std::uint8_t previous_disposal_ = 1;
  GifRect previous_area_;
  PixelBlock saved_;
  bool saved_valid_ = false;
};

}  // namespace varnelt
