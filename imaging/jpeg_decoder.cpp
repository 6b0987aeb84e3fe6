#include "imaging/jpeg_decoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <limits>
#include <memory>
#include <utility>

#include <jerror.h>
#include <jpeglib.h>

namespace varnelt {

namespace {

// Library errors leave through longjmp back into DecodeJpeg. Everything that lives across
// that jump is in the session, created before setjmp; the functions the jump passes over
// hold only trivially destructible locals.
struct Session {
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr error_manager;
  std::jmp_buf jump;
  jpeg_source_mgr source;
  const std::uint8_t* data;
  std::size_t size;
  std::size_t position;
  jpeg_progress_mgr progress;
  JpegError error;
  PixelBlock block;
  std::size_t width;
  std::size_t height;
};

Session& SessionOf(j_common_ptr cinfo) { return *static_cast<Session*>(cinfo->client_data); }
Session& SessionOf(j_decompress_ptr cinfo) { return *static_cast<Session*>(cinfo->client_data); }

[[noreturn]] void ErrorExit(j_common_ptr cinfo) { std::longjmp(SessionOf(cinfo).jump, 1); }
// Warnings (corrupt data, premature end) and trace messages are dropped: the program
// stays quiet and the picture is completed.
void EmitMessage(j_common_ptr, int) {}
void OutputMessage(j_common_ptr) {}

// The source hands out the caller's bytes in place, a piece at a time. After the last
// piece it supplies an end-of-image marker, as often as asked, so a cut-off file ends as
// if complete; an empty file is an error.
constexpr JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
  Session& s = SessionOf(cinfo);
  if (s.position >= s.size) {
    if (s.size == 0) {
      cinfo->err->msg_code = JERR_INPUT_EMPTY;
      cinfo->err->error_exit(reinterpret_cast<j_common_ptr>(cinfo));
    }
    s.source.next_input_byte = kEndOfImage;
    s.source.bytes_in_buffer = sizeof kEndOfImage;
    return TRUE;
  }
  const std::size_t piece = std::min(kJpegSourceChunkBytes, s.size - s.position);
  s.source.next_input_byte = s.data + s.position;
  s.source.bytes_in_buffer = piece;
  s.position += piece;
  return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
  if (count <= 0) return;
  Session& s = SessionOf(cinfo);
  std::size_t n = static_cast<std::size_t>(count);
  if (n <= s.source.bytes_in_buffer) {
    s.source.next_input_byte += n;
    s.source.bytes_in_buffer -= n;
    return;
  }
  // Past the current piece: drop it and move on in the data; the next read refills.
  n -= s.source.bytes_in_buffer;
  s.source.bytes_in_buffer = 0;
  s.position += std::min(n, s.size - s.position);
}

// Every scan of a progressive file costs a pass over the whole picture; a file with very
// many of them would keep the decoder busy for minutes.
void CheckScanCount(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kJpegMaxScans) {
    SessionOf(cinfo).error = JpegError::kScanLimit;
    cinfo->err->error_exit(cinfo);
  }
}

// Adobe's encoders store CMYK inverted (255 means no ink); others store ink amounts.
// Each channel becomes its colour times the black's remainder, rounded.
void CmykRowToBgr(const JSAMPLE* src, std::uint8_t* dst, std::size_t width, bool inverted) {
  const unsigned flip = inverted ? 0 : 255;
  for (std::size_t x = 0; x < width; ++x, src += 4, dst += 3) {
    const unsigned c = src[0] ^ flip, m = src[1] ^ flip, y = src[2] ^ flip, k = src[3] ^ flip;
    dst[0] = static_cast<std::uint8_t>((y * k + 127) / 255);
    dst[1] = static_cast<std::uint8_t>((m * k + 127) / 255);
    dst[2] = static_cast<std::uint8_t>((c * k + 127) / 255);
  }
}

bool BlockFits(const jpeg_decompress_struct& cinfo) {
  const auto bytes = CheckedProduct({cinfo.output_width, cinfo.output_height, 3});
  return bytes && *bytes <= kMaxPixelBlockBytes;
}

// Steps from the header to the last line; any library error jumps out of here.
bool Decode(Session& s) {
  jpeg_decompress_struct& cinfo = s.cinfo;
  cinfo.mem->max_memory_to_use = kJpegLibraryMemoryBytes;
  s.source.init_source = InitSource;
  s.source.fill_input_buffer = FillInputBuffer;
  s.source.skip_input_data = SkipInputData;
  s.source.resync_to_restart = jpeg_resync_to_restart;
  s.source.term_source = TermSource;
  cinfo.src = &s.source;
  s.progress.progress_monitor = CheckScanCount;
  cinfo.progress = &s.progress;

  jpeg_read_header(&cinfo, TRUE);

  // Colour pictures are converted by the library straight to blue, green, red (the same
  // conversion as to RGB, in the other order), grey ones by repeating the grey value, and
  // every row goes directly to its place in the bottom-up block: no pass afterwards.
  enum class Output { kBgr, kCmyk, kNone } output = Output::kNone;
  switch (cinfo.out_color_space) {
    case JCS_RGB:
    case JCS_GRAYSCALE:
      cinfo.out_color_space = JCS_EXT_BGR;
      output = Output::kBgr;
      break;
    case JCS_CMYK:
      output = Output::kCmyk;
      break;
    default:  // two components, or more than four: no colours to show; stays black
      break;
  }

  jpeg_calc_output_dimensions(&cinfo);
  for (unsigned denominator = 2; !BlockFits(cinfo) && denominator <= 8; denominator *= 2) {
    cinfo.scale_num = 1;
    cinfo.scale_denom = denominator;
    jpeg_calc_output_dimensions(&cinfo);
  }
  if (!BlockFits(cinfo)) {
    s.error = JpegError::kTooLarge;
    return false;
  }

  jpeg_start_decompress(&cinfo);
  const std::size_t width = s.width = cinfo.output_width;
  const std::size_t height = s.height = cinfo.output_height;
  const std::size_t stride = width * 3;
  s.block = AllocatePixelBlock(stride * height, /*zeroed=*/output == Output::kNone);
  if (s.block.empty()) {
    s.error = JpegError::kNoMemory;
    return false;
  }

  constexpr JDIMENSION kBatch = 16;
  JSAMPROW rows[kBatch];
  JSAMPARRAY scratch = nullptr;
  if (output != Output::kBgr) {
    const auto sample_bytes = CheckedProduct({width, static_cast<std::size_t>(cinfo.output_components)});
    if (!sample_bytes || *sample_bytes > std::numeric_limits<JDIMENSION>::max()) {
      s.error = JpegError::kTooLarge;
      return false;
    }
    scratch = cinfo.mem->alloc_sarray(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                      static_cast<JDIMENSION>(*sample_bytes), kBatch);
  }
  const bool inverted = cinfo.saw_Adobe_marker != FALSE;
  while (cinfo.output_scanline < cinfo.output_height) {
    const JDIMENSION first = cinfo.output_scanline;
    const JDIMENSION wanted = std::min(kBatch, cinfo.output_height - first);
    for (JDIMENSION i = 0; i < wanted; ++i) {
      rows[i] = output == Output::kBgr ? s.block.data() + (height - 1 - (first + i)) * stride : scratch[i];
    }
    const JDIMENSION got = jpeg_read_scanlines(&cinfo, rows, wanted);
    if (got == 0) {  // only a suspending source returns nothing, and this one never does
      s.error = JpegError::kLibrary;
      return false;
    }
    if (output == Output::kCmyk) {
      for (JDIMENSION i = 0; i < got; ++i) {
        CmykRowToBgr(scratch[i], s.block.data() + (height - 1 - (first + i)) * stride, width, inverted);
      }
    }
  }
  jpeg_finish_decompress(&cinfo);
  return true;
}

}  // namespace

std::optional<DecodedPicture> DecodeJpeg(const std::uint8_t* data, std::size_t size, JpegFailure* failure) {
  if (failure != nullptr) *failure = JpegFailure{};
  auto session = std::make_unique<Session>();
  Session& s = *session;
  s.data = data;
  s.size = data != nullptr ? size : 0;
  s.error = JpegError::kNone;
  s.cinfo.err = jpeg_std_error(&s.error_manager);
  s.error_manager.error_exit = ErrorExit;
  s.error_manager.emit_message = EmitMessage;
  s.error_manager.output_message = OutputMessage;
  s.cinfo.client_data = &s;

  if (setjmp(s.jump) != 0) {
    if (failure != nullptr) {
      failure->error = s.error == JpegError::kNone ? JpegError::kLibrary : s.error;
      failure->library_message = s.error_manager.msg_code;
    }
    jpeg_destroy_decompress(&s.cinfo);
    return std::nullopt;
  }
  jpeg_CreateDecompress(&s.cinfo, JPEG_LIB_VERSION, sizeof s.cinfo);
  s.cinfo.client_data = &s;
  const bool decoded = Decode(s);
  jpeg_destroy_decompress(&s.cinfo);
  if (!decoded) {
    if (failure != nullptr) failure->error = s.error;
    return std::nullopt;
  }

  DecodedPicture picture;
  picture.kind = PictureKind::kJpeg;
  picture.width = static_cast<std::int32_t>(s.width);
  picture.height = static_cast<std::int32_t>(s.height);
  picture.pixels = std::move(s.block);
  return picture;
}

}  // namespace varnelt
