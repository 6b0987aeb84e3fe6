// GIF first-image decoding: ours (DecodeStaticGif) against giflib (DGifOpen on memory,
// DGifGetLine per row) and stb_image (stbi_load_from_memory). Files come from
// tests/imaging/make_gif_fixtures.sh --large OUTDIR, found through $VARNELT_FIXTURES.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_GIF
#include <stb/stb_image.h>

#include "imaging/gif_engine.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes& File(const std::string& name) {
  static std::vector<std::pair<std::string, Bytes>> cache;
  for (const auto& [n, b] : cache) {
    if (n == name) return b;
  }
  const char* dir = std::getenv("VARNELT_FIXTURES");
  Bytes bytes;
  if (dir != nullptr) {
    std::ifstream in(std::string(dir) + "/gif/" + name, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  cache.emplace_back(name, std::move(bytes));
  return cache.back().second;
}

struct MemoryReader {
  const Bytes* bytes;
  std::size_t pos;
};

int ReadMemory(GifFileType* gif, GifByteType* out, int length) {
  auto* r = static_cast<MemoryReader*>(gif->UserData);
  std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(length), r->bytes->size() - r->pos);
  std::memcpy(out, r->bytes->data() + r->pos, n);
  r->pos += n;
  return static_cast<int>(n);
}

// giflib's first image into picture-order rows of colour indices.
bool GiflibFirstImage(const Bytes& bytes, std::vector<GifPixelType>* pixels) {
  MemoryReader reader{&bytes, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, ReadMemory, &error);
  if (gif == nullptr) return false;
  bool ok = false;
  GifRecordType type;
  while (DGifGetRecordType(gif, &type) == GIF_OK && type != TERMINATE_RECORD_TYPE) {
    if (type == EXTENSION_RECORD_TYPE) {
      int code;
      GifByteType* ext;
      if (DGifGetExtension(gif, &code, &ext) != GIF_OK) break;
      while (ext != nullptr) {
        if (DGifGetExtensionNext(gif, &ext) != GIF_OK) break;
      }
      continue;
    }
    if (type != IMAGE_DESC_RECORD_TYPE || DGifGetImageDesc(gif) != GIF_OK) break;
    const int w = gif->Image.Width;
    const int h = gif->Image.Height;
    pixels->resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    ok = true;
    if (gif->Image.Interlace) {
      static const int kStart[] = {0, 4, 2, 1};
      static const int kStep[] = {8, 8, 4, 2};
      for (int pass = 0; pass < 4 && ok; ++pass) {
        for (int y = kStart[pass]; y < h && ok; y += kStep[pass]) {
          ok = DGifGetLine(gif, pixels->data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w), w) == GIF_OK;
        }
      }
    } else {
      for (int y = 0; y < h && ok; ++y) {
        ok = DGifGetLine(gif, pixels->data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w), w) == GIF_OK;
      }
    }
    break;
  }
  DGifCloseFile(gif, &error);
  return ok;
}

// Our indices equal giflib's, row for row (checked once per file before timing).
bool SameAsGiflib(const Bytes& bytes) {
  auto picture = varnelt::DecodeStaticGif(bytes.data(), bytes.size());
  std::vector<GifPixelType> theirs;
  if (!picture || !GiflibFirstImage(bytes, &theirs)) return false;
  const std::uint8_t* h = picture->pixels.data();
  const std::size_t w = h[4] | (h[5] << 8);
  const std::size_t stride = varnelt::GifDibStride(w);
  const std::size_t rows = w == 0 ? 0 : theirs.size() / w;
  for (std::size_t y = 0; y < rows; ++y) {
    if (std::memcmp(h + varnelt::kGifDibPixelOffset + y * stride, theirs.data() + y * w, w) != 0) return false;
  }
  return true;
}

void Ours(benchmark::State& state, const char* name) {
  const Bytes& bytes = File(name);
  if (bytes.empty()) {
    state.SkipWithError("fixture missing: set VARNELT_FIXTURES (make_gif_fixtures.sh --large)");
    return;
  }
  if (!SameAsGiflib(bytes)) {
    state.SkipWithError("decodes differently from giflib");
    return;
  }
  for (auto _ : state) {
    auto picture = varnelt::DecodeStaticGif(bytes.data(), bytes.size());
    if (!picture) state.SkipWithError("no picture");
    benchmark::DoNotOptimize(picture->pixels.data());
  }
}

void Giflib(benchmark::State& state, const char* name) {
  const Bytes& bytes = File(name);
  if (bytes.empty()) {
    state.SkipWithError("fixture missing");
    return;
  }
  for (auto _ : state) {
    std::vector<GifPixelType> pixels;
    if (!GiflibFirstImage(bytes, &pixels)) state.SkipWithError("giflib failed");
    benchmark::DoNotOptimize(pixels.data());
  }
}

void Stb(benchmark::State& state, const char* name) {
  const Bytes& bytes = File(name);
  if (bytes.empty()) {
    state.SkipWithError("fixture missing");
    return;
  }
  for (auto _ : state) {
    int w, h, comp;
    stbi_uc* rgba = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &comp, 0);
    if (rgba == nullptr) state.SkipWithError("stb_image failed");
    benchmark::DoNotOptimize(rgba);
    stbi_image_free(rgba);
  }
}

#define GIF_CASES(fn)                                                        \
  BENCHMARK_CAPTURE(fn, large_plain, "large_plain.gif")->Unit(benchmark::kMillisecond);           \
  BENCHMARK_CAPTURE(fn, large_interlaced, "large_interlaced.gif")->Unit(benchmark::kMillisecond); \
  BENCHMARK_CAPTURE(fn, small_plain, "plain.gif")->Unit(benchmark::kMicrosecond);                 \
  BENCHMARK_CAPTURE(fn, small_interlaced, "interlaced.gif")->Unit(benchmark::kMicrosecond)

GIF_CASES(Ours);
GIF_CASES(Giflib);
GIF_CASES(Stb);

}  // namespace

BENCHMARK_MAIN();
