// Picture decoders against their peers, on the same files: JPEG through our decode path
// and through a bare libjpeg-turbo loop; BMP at 24 and 8 bits through our decoder,
// stb_image and a plain copy of the pixel bytes. Files: tests/imaging/make_fixtures.sh
// --large OUTDIR, found through $VARNELT_FIXTURES.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <jpeglib.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#include <stb/stb_image.h>

#include "imaging/bmp_decoder.h"
#include "imaging/jpeg_decoder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes* LoadFile(const std::string& name) {
  static std::map<std::string, Bytes> cache;
  auto found = cache.find(name);
  if (found != cache.end()) return &found->second;
  const char* dir = std::getenv("VARNELT_FIXTURES");
  if (dir == nullptr) return nullptr;
  std::ifstream in(std::string(dir) + "/" + name, std::ios::binary);
  if (!in) return nullptr;
  Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return &cache.emplace(name, std::move(bytes)).first->second;
}

void SetPixels(benchmark::State& state, std::size_t pixels) {
  state.counters["Mpix/s"] = benchmark::Counter(static_cast<double>(pixels) / 1e6,
                                                benchmark::Counter::kIsIterationInvariantRate);
}

// ---- JPEG ----------------------------------------------------------------------------

void BM_JpegOurs(benchmark::State& state, const char* name) {
  const Bytes* file = LoadFile(name);
  if (file == nullptr) {
    state.SkipWithError("missing file: make_fixtures.sh --large, VARNELT_FIXTURES");
    return;
  }
  std::size_t pixels = 0;
  for (auto _ : state) {
    auto picture = varnelt::DecodeJpeg(file->data(), file->size());
    if (!picture) state.SkipWithError("decode failed");
    pixels = picture ? static_cast<std::size_t>(picture->width) * static_cast<std::size_t>(picture->height) : 0;
    benchmark::DoNotOptimize(picture->pixels.data());
  }
  SetPixels(state, pixels);
}

// The plain way to use the library: its memory source, default RGB output, one
// jpeg_read_scanlines call per row. `whole_picture` writes the rows into a fresh picture
// buffer (as a decoder must); otherwise every row goes to the same row buffer.
void BareJpegLoop(benchmark::State& state, const char* name, bool whole_picture) {
  const Bytes* file = LoadFile(name);
  if (file == nullptr) {
    state.SkipWithError("missing file: make_fixtures.sh --large, VARNELT_FIXTURES");
    return;
  }
  std::size_t pixels = 0;
  for (auto _ : state) {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_CreateDecompress(&cinfo, JPEG_LIB_VERSION, sizeof cinfo);
    jpeg_mem_src(&cinfo, file->data(), static_cast<unsigned long>(file->size()));
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    const std::size_t stride = std::size_t{cinfo.output_width} * static_cast<std::size_t>(cinfo.output_components);
    std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[whole_picture ? stride * cinfo.output_height : stride]);
    while (cinfo.output_scanline < cinfo.output_height) {
      JSAMPROW row = out.get() + (whole_picture ? stride * cinfo.output_scanline : 0);
      jpeg_read_scanlines(&cinfo, &row, 1);
    }
    pixels = std::size_t{cinfo.output_width} * cinfo.output_height;
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    benchmark::DoNotOptimize(out.get());
  }
  SetPixels(state, pixels);
}

void BM_JpegBareIntoPicture(benchmark::State& state, const char* name) { BareJpegLoop(state, name, true); }
void BM_JpegBareIntoOneRow(benchmark::State& state, const char* name) { BareJpegLoop(state, name, false); }

BENCHMARK_CAPTURE(BM_JpegOurs, baseline, "bench_photo_baseline.jpg")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_JpegBareIntoPicture, baseline, "bench_photo_baseline.jpg")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_JpegBareIntoOneRow, baseline, "bench_photo_baseline.jpg")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_JpegOurs, progressive, "bench_photo_progressive.jpg")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_JpegBareIntoPicture, progressive, "bench_photo_progressive.jpg")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_JpegBareIntoOneRow, progressive, "bench_photo_progressive.jpg")->Unit(benchmark::kMillisecond);

// ---- BMP -----------------------------------------------------------------------------

void BM_BmpOurs(benchmark::State& state, const char* name) {
  const Bytes* file = LoadFile(name);
  if (file == nullptr) {
    state.SkipWithError("missing file: make_fixtures.sh --large, VARNELT_FIXTURES");
    return;
  }
  std::size_t pixels = 0;
  for (auto _ : state) {
    auto picture = varnelt::DecodeBmp(file->data(), file->size());
    if (!picture) state.SkipWithError("decode failed");
    pixels = picture ? static_cast<std::size_t>(picture->width) * static_cast<std::size_t>(picture->height) : 0;
    benchmark::DoNotOptimize(picture->pixels.data());
  }
  SetPixels(state, pixels);
}

void BM_BmpStb(benchmark::State& state, const char* name) {
  const Bytes* file = LoadFile(name);
  if (file == nullptr) {
    state.SkipWithError("missing file: make_fixtures.sh --large, VARNELT_FIXTURES");
    return;
  }
  std::size_t pixels = 0;
  for (auto _ : state) {
    int w = 0, h = 0, n = 0;
    stbi_uc* rgb = stbi_load_from_memory(file->data(), static_cast<int>(file->size()), &w, &h, &n, 3);
    if (rgb == nullptr) state.SkipWithError("stb_image failed");
    benchmark::DoNotOptimize(rgb);
    stbi_image_free(rgb);
    pixels = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
  }
  SetPixels(state, pixels);
}

// The floor: a fresh buffer holding a copy of the file's pixel bytes.
void BM_BmpMemcpy(benchmark::State& state, const char* name) {
  const Bytes* file = LoadFile(name);
  if (file == nullptr) {
    state.SkipWithError("missing file: make_fixtures.sh --large, VARNELT_FIXTURES");
    return;
  }
  std::uint32_t off_bits = 0;
  std::memcpy(&off_bits, file->data() + 10, 4);
  const std::size_t bytes = file->size() - off_bits;
  for (auto _ : state) {
    std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[bytes]);
    std::memcpy(out.get(), file->data() + off_bits, bytes);
    benchmark::DoNotOptimize(out.get());
  }
  SetPixels(state, 4000 * 3000);
}

BENCHMARK_CAPTURE(BM_BmpOurs, bmp24, "bench_bmp24_4000x3000.bmp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BmpStb, bmp24, "bench_bmp24_4000x3000.bmp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BmpMemcpy, bmp24, "bench_bmp24_4000x3000.bmp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BmpOurs, bmp8, "bench_bmp8_4000x3000.bmp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BmpStb, bmp8, "bench_bmp8_4000x3000.bmp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BmpMemcpy, bmp8, "bench_bmp8_4000x3000.bmp")->Unit(benchmark::kMillisecond);

}  // namespace

// Every contender makes a fresh 36 MB picture per run. On this machine first touches of
// fresh pages cost about 11 us each (some 100 ms per picture), which would swamp the
// decoding and vary with the allocator's state; so freed blocks are kept in the heap
// and reused, for all contenders alike, and the timings are of the decoding itself.
int main(int argc, char** argv) {
#ifdef __GLIBC__
  mallopt(M_MMAP_THRESHOLD, 1 << 30);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
