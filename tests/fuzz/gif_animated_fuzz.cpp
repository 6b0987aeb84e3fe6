// Fuzz target: opens the input as a GIF in animated mode and walks up to 64 frames,
// checking that every frame handed back is a complete image bitmap of its size.
//
// A few bytes can ask for images up to the pixel-block limit, which is slow but no fault.
// So that the fuzzer spends its time on the parsing, images are limited to 4 MiB here
// unless the input ends in a byte 0xFF, and the walk stops once the frames made hold
// 512 MiB together.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "imaging/gif_engine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using varnelt::GifEngine;
  using varnelt::GifError;
  using varnelt::GifFrame;
  GifEngine engine;
  if (size == 0 || data[size - 1] != 0xFF) engine.set_max_image_bytes(std::size_t{4} << 20);
  if (engine.Open(data, size, GifEngine::Mode::kAnimated) != GifError::kOk) return 0;
  auto check = [](const GifFrame& frame) {
    const std::size_t rows = varnelt::GifDibStride(frame.width) * frame.height;
    if (frame.dib.size() != varnelt::kGifDibPixelOffset + rows) std::abort();
    // Touch every row so that a short block shows up under the sanitizers.
    volatile unsigned sum = 0;
    if (frame.width > 0) {
      for (std::size_t y = 0; y < frame.height; ++y) sum = sum + frame.row(y)[frame.width - 1u];
    }
    if (frame.colour(frame.controls.transparent_index) > 0xFFFFFFu) std::abort();
  };
  std::size_t made = 0;
  if (engine.single_image()) {
    check(*engine.single_frame());
    made += engine.single_frame()->dib.size();
  }
  for (int i = 0; i < 64 && made < (std::size_t{512} << 20); ++i) {
    GifFrame frame;
    if (engine.NextFrame(&frame) == GifError::kOk) {
      check(frame);
      made += frame.dib.size();
    }
  }
  return 0;
}
