// The animation worker's portable half of a frame step: the next frame decoded by the GIF
// engine and composed on the canvas (GifComposer::Step), split into its two parts. File:
// anim_320x240.gif (141x226 frames on a 320x240 screen) from
// tests/imaging/make_gif_fixtures.sh --large OUTDIR, found through $VARNELT_FIXTURES.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "imaging/gif_composer.h"
#include "imaging/gif_engine.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes& AnimationFile() {
  static const Bytes bytes = [] {
    const char* dir = std::getenv("VARNELT_FIXTURES");
    if (dir == nullptr) return Bytes{};
    std::ifstream in(std::string(dir) + "/gif/anim_320x240.gif", std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }();
  return bytes;
}

bool OpenAnimation(varnelt::GifEngine* engine, benchmark::State& state) {
  const Bytes& file = AnimationFile();
  if (engine->Open(file.data(), file.size(), varnelt::GifEngine::Mode::kAnimated) != varnelt::GifError::kOk ||
      engine->single_image()) {
    state.SkipWithError("anim_320x240.gif is missing (set VARNELT_FIXTURES)");
    return false;
  }
  return true;
}

// Decode and compose: what the worker does before it draws.
void BM_Step(benchmark::State& state) {
  varnelt::GifEngine engine;
  if (!OpenAnimation(&engine, state)) return;
  varnelt::GifComposer composer;
  composer.Reset(engine.screen_width(), engine.screen_height());
  for (auto _ : state) {
    const varnelt::GifStep step = composer.Step(engine);
    if (!step.composed) state.SkipWithError("a frame failed");
    benchmark::DoNotOptimize(composer.pixels());
  }
}
BENCHMARK(BM_Step);

// The engine's part alone.
void BM_NextFrame(benchmark::State& state) {
  varnelt::GifEngine engine;
  if (!OpenAnimation(&engine, state)) return;
  for (auto _ : state) {
    varnelt::GifFrame frame;
    if (engine.NextFrame(&frame) != varnelt::GifError::kOk) state.SkipWithError("a frame failed");
    benchmark::DoNotOptimize(frame.dib.data());
  }
}
BENCHMARK(BM_NextFrame);

// The composer's part alone: one decoded frame placed again and again.
void BM_Compose(benchmark::State& state) {
  varnelt::GifEngine engine;
  if (!OpenAnimation(&engine, state)) return;
  varnelt::GifFrame frame;
  if (engine.NextFrame(&frame) != varnelt::GifError::kOk) {
    state.SkipWithError("the first frame failed");
    return;
  }
  varnelt::GifComposer composer;
  composer.Reset(engine.screen_width(), engine.screen_height());
  for (auto _ : state) {
    composer.Compose(frame);
    benchmark::DoNotOptimize(composer.pixels());
  }
}
BENCHMARK(BM_Compose);

}  // namespace

BENCHMARK_MAIN();
