#include "imaging/gif_engine.h"

#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace varnelt {

namespace {

constexpr std::size_t kHeaderBytes = 13;

std::uint16_t Le16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

void PutLe16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

void PutLe32(std::uint8_t* p, std::uint32_t v) {
  PutLe16(p, v);
  PutLe16(p + 2, v >> 16);
}

// Pass-order index of picture row `row` in an interlaced image of `height` rows. The
// passes hold rows 0, 8, 16, ...; 4, 12, ...; 2, 6, 10, ...; 1, 3, 5, ....
std::size_t InterlacedIndex(std::size_t row, std::size_t height) {
  const std::size_t pass0 = (height + 7) / 8;
  const std::size_t pass1 = (height + 3) / 8;
  const std::size_t pass2 = (height + 1) / 4;
  if (row % 8 == 0) return row / 8;
  if (row % 8 == 4) return pass0 + row / 8;
  if (row % 4 == 2) return pass0 + pass1 + row / 4;
  return pass0 + pass1 + pass2 + row / 2;
}

// Puts rows decoded in pass order (slot i of `width` bytes holds the i-th row received)
// into picture order, in place, by following the permutation's cycles with one spare row.
bool Deinterlace(std::uint8_t* pixels, std::size_t width, std::size_t height) {
  if (height < 2 || width == 0) return true;
  std::vector<std::uint8_t> spare;
  std::vector<bool> done;
  try {
    spare.resize(width);
    done.resize(height);
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (std::size_t start = 0; start < height; ++start) {
    if (done[start]) continue;
    // Slot `row` must receive the row now in slot InterlacedIndex(row).
    std::size_t row = start;
    std::size_t from = InterlacedIndex(row, height);
    if (from == row) {
      done[row] = true;
      continue;
    }
    std::memcpy(spare.data(), pixels + start * width, width);
    while (from != start) {
      std::memcpy(pixels + row * width, pixels + from * width, width);
      done[row] = true;
      row = from;
      from = InterlacedIndex(row, height);
    }
    std::memcpy(pixels + row * width, spare.data(), width);
    done[row] = true;
  }
  return true;
}

// Moves `rows` rows of `width` bytes that follow one another to rows of `stride` bytes,
// last row first so that none is overwritten, and clears the padding.
void SpreadRows(std::uint8_t* pixels, std::size_t width, std::size_t stride, std::size_t rows) {
  if (stride == width) return;
  for (std::size_t y = rows; y-- > 0;) {
    std::memmove(pixels + y * stride, pixels + y * width, width);
    std::memset(pixels + y * stride + width, 0, stride - width);
  }
}

}  // namespace

const char* GifErrorText(GifError error) {
  switch (error) {
    case GifError::kOk: return "ok";
    case GifError::kTooShort: return "data of 13 bytes or fewer";
    case GifError::kBadSignature: return "not GIF87a or GIF89a";
    case GifError::kTruncatedColourTable: return "global colour table runs past the data";
    case GifError::kNotOpen: return "no GIF open";
    case GifError::kEndOfData: return "blocks end without a trailer";
    case GifError::kNoImage: return "no image in the GIF";
    case GifError::kUnknownExtension: return "unknown extension label";
    case GifError::kUnexpectedByte: return "unexpected block byte";
    case GifError::kTruncatedBlock: return "block runs past the data";
    case GifError::kImageTooLarge: return "image too large";
    case GifError::kOutOfMemory: return "out of memory";
    case GifError::kBadCodeSize: return "LZW minimum code size above 11";
    case GifError::kBadCode: return "LZW code names no string";
  }
  return "unknown";
}

std::uint32_t GifFrame::colour(std::size_t i) const {
  const std::uint8_t* e = dib.data() + kGifDibHeaderBytes + (i & 0xFF) * 4;
  return static_cast<std::uint32_t>(e[2]) | (static_cast<std::uint32_t>(e[1]) << 8) |
         (static_cast<std::uint32_t>(e[0]) << 16);
}

GifEngine::GifEngine() = default;
GifEngine::~GifEngine() = default;

void GifEngine::Release() {
  open_ = false;
  owned_blocks_.reset();
  blocks_ = nullptr;
  blocks_size_ = 0;
  position_ = 0;
  screen_width_ = 0;
  screen_height_ = 0;
  background_index_ = 0;
  global_count_ = 0;
  controls_ = GifFrameControls{};
  transparent_colour_ = 0x00FFFFFF;
  single_frame_.reset();
}

// Header and logical screen descriptor:
//
//   offset  0  "GIF87a" or "GIF89a"
//           6  logical screen width   (16-bit little-endian)
//           8  logical screen height  (16-bit little-endian)
//          10  packed: bit 7 global colour table present, bits 0-2 its size n
//              (2^(n+1) entries); the other bits are not used here
//          11  background colour index
//          12  pixel aspect ratio (not used)
//          13  global colour table, 3 bytes per entry (red, green, blue), if present
//   then the blocks.
GifError GifEngine::OpenBorrowed(const std::uint8_t* data, std::size_t size) {
  Release();
  if (data == nullptr || size <= kHeaderBytes) return GifError::kTooShort;
  if (std::memcmp(data, "GIF87a", 6) != 0 && std::memcmp(data, "GIF89a", 6) != 0) {
    return GifError::kBadSignature;
  }
  screen_width_ = Le16(data + 6);
  screen_height_ = Le16(data + 8);
  background_index_ = data[11];
  std::size_t blocks_start = kHeaderBytes;
  if (data[10] & 0x80) {
    const std::size_t entries = std::size_t{2} << (data[10] & 7);
    // The data must go on past the table (at least one block byte).
    if (size - kHeaderBytes <= 3 * entries) return GifError::kTruncatedColourTable;
    std::memcpy(global_table_, data + kHeaderBytes, 3 * entries);
    global_count_ = entries;
    blocks_start += 3 * entries;
  }
  blocks_ = data + blocks_start;
  blocks_size_ = size - blocks_start;
  position_ = 0;
  open_ = true;
  return GifError::kOk;
}

GifError GifEngine::Open(const std::uint8_t* data, std::size_t size, Mode mode) {
  GifError error = OpenBorrowed(data, size);
  if (error != GifError::kOk) return error;
  owned_blocks_.reset(new (std::nothrow) std::uint8_t[blocks_size_]);
  if (!owned_blocks_) {
    Release();
    return GifError::kOutOfMemory;
  }
  std::memcpy(owned_blocks_.get(), blocks_, blocks_size_);
  blocks_ = owned_blocks_.get();

  if (mode == Mode::kAnimated) {
    // A single image is one followed by nothing but the trailer (or nothing at all).
    auto first = std::make_unique<GifFrame>();
    if (NextFrame(first.get()) == GifError::kOk && position_ + 1 >= blocks_size_) {
      single_frame_ = std::move(first);
    } else {
      position_ = 0;
    }
  }
  return GifError::kOk;
}

// Passes over sub-blocks from the position (a length byte) up to and including the
// terminator. Running past the data leaves the position at their end.
GifError GifEngine::SkipSubBlocks() {
  while (position_ < blocks_size_) {
    const std::size_t length = blocks_[position_];
    if (blocks_size_ - position_ - 1 < length) break;
    position_ += 1 + length;
    if (length == 0) return GifError::kOk;
  }
  position_ = blocks_size_;
  return GifError::kTruncatedBlock;
}

// The block walker. Blocks:
//
//   0x21 label sub-blocks... 0     extension: 0x01 plain text, 0xF9 graphic control,
//                                  0xFE comment, 0xFF application
//   0x2C descriptor ...            image (ReadImage)
//   0x3B                           trailer
//
// Graphic control extension:
//   21 F9 04 packed delay(16-bit LE) transparent-index 00
//   packed: bits 2-4 disposal method, bit 0 transparency flag
//
// The trailer and a stray 0 byte both send the walk back to the first block. A whole
// pass over the data without an image ends the call, so no input loops.
GifError GifEngine::NextFrame(GifFrame* frame) {
  if (!open_) return GifError::kNotOpen;
  bool from_start = position_ == 0;
  // Every turn moves the position on or returns, and the position goes back to 0 at
  // most twice, so the loop ends.
  for (;;) {
    if (position_ >= blocks_size_) {
      position_ = 0;
      return GifError::kEndOfData;
    }
    const std::uint8_t byte = blocks_[position_];
    if (byte == 0x00 || byte == 0x3B) {
      position_ = 0;
      if (from_start) return GifError::kNoImage;
      from_start = true;
      continue;
    }
    if (byte == 0x2C) return ReadImage(frame);
    if (byte != 0x21) {
      ++position_;
      return GifError::kUnexpectedByte;
    }
    if (blocks_size_ - position_ < 2) {
      position_ = blocks_size_;
      return GifError::kTruncatedBlock;
    }
    const std::uint8_t label = blocks_[position_ + 1];
    position_ += 2;
    if (label == 0xF9) {
      // The first sub-block holds the controls; a shorter one than 4 bytes sets none.
      if (position_ < blocks_size_) {
        const std::size_t length = blocks_[position_];
        if (length >= 4 && blocks_size_ - position_ - 1 >= length) {
          const std::uint8_t* p = blocks_ + position_ + 1;
          controls_.disposal = static_cast<std::uint8_t>((p[0] >> 2) & 7);
          controls_.transparent = (p[0] & 1) != 0;
          controls_.delay = Le16(p + 1);
          controls_.transparent_index = p[3];
        }
      }
    }
    // The extension's sub-blocks are skipped for every label; an unknown label still
    // yields nothing, and the next call goes on after it.
    if (GifError skip = SkipSubBlocks(); skip != GifError::kOk) return skip;
    if (label != 0x01 && label != 0xF9 && label != 0xFE && label != 0xFF) {
      return GifError::kUnknownExtension;
    }
  }
}

// Image descriptor:
//
//   offset 0  0x2C
//          1  left, 3 top, 5 width, 7 height  (16-bit little-endian each)
//          9  packed: bit 7 local colour table present, bit 6 interlaced,
//             bits 0-2 its size n (2^(n+1) entries)
//         10  local colour table, 3 bytes per entry, if present
//   then the LZW minimum code size byte and the image data sub-blocks.
GifError GifEngine::ReadImage(GifFrame* frame) {
  if (blocks_size_ - position_ < 10) {
    position_ = blocks_size_;
    return GifError::kTruncatedBlock;
  }
  const std::uint8_t* d = blocks_ + position_;
  const std::uint16_t left = Le16(d + 1);
  const std::uint16_t top = Le16(d + 3);
  const std::uint16_t width = Le16(d + 5);
  const std::uint16_t height = Le16(d + 7);
  const std::uint8_t packed = d[9];
  position_ += 10;

  const std::uint8_t* table = global_count_ != 0 ? global_table_ : nullptr;
  std::size_t table_count = global_count_;
  if (packed & 0x80) {
    const std::size_t entries = std::size_t{2} << (packed & 7);
    if (blocks_size_ - position_ < 3 * entries) {
      position_ = blocks_size_;
      return GifError::kTruncatedBlock;
    }
    table = blocks_ + position_;
    table_count = entries;
    position_ += 3 * entries;
  }
  if (position_ >= blocks_size_) return GifError::kTruncatedBlock;
  const unsigned min_code_size = blocks_[position_];
  ++position_;

  const std::size_t stride = GifDibStride(width);
  const std::optional<std::size_t> pixel_bytes = CheckedProduct({stride, height});
  const std::optional<std::size_t> total =
      pixel_bytes ? CheckedSum(kGifDibPixelOffset, *pixel_bytes) : std::nullopt;
  if (!total || *total > max_image_bytes_) {
    SkipSubBlocks();
    return GifError::kImageTooLarge;
  }
  PixelBlock dib = AllocatePixelBlock(*total);
  if (dib.empty()) {
    SkipSubBlocks();
    return GifError::kOutOfMemory;
  }

  std::uint8_t* h = dib.data();
  PutLe32(h + 0, 40);
  PutLe32(h + 4, width);
  PutLe32(h + 8, static_cast<std::uint32_t>(-static_cast<std::int32_t>(height)));
  PutLe16(h + 12, 1);
  PutLe16(h + 14, 8);
  PutLe32(h + 16, 0);
  PutLe32(h + 20, 0);
  PutLe32(h + 24, 0);
  PutLe32(h + 28, 0);
  PutLe32(h + 32, 256);
  PutLe32(h + 36, 256);
  std::uint8_t* pal = h + kGifDibHeaderBytes;
  for (std::size_t i = 0; i < 256; ++i) {
    std::uint8_t* e = pal + 4 * i;
    if (table == nullptr) {
      e[0] = e[1] = e[2] = static_cast<std::uint8_t>(i);  // no colour table: greys
    } else if (i < table_count) {
      e[0] = table[3 * i + 2];
      e[1] = table[3 * i + 1];
      e[2] = table[3 * i];
    } else {
      e[0] = e[1] = e[2] = 0;
    }
    e[3] = 0;
  }

  // Decode the indices as one run of width * height, then lay them out in rows.
  std::uint8_t* pixels = h + kGifDibPixelOffset;
  const std::size_t count = std::size_t{width} * height;
  const LzwResult lzw = lzw_.Decode(min_code_size, blocks_, blocks_size_, position_, pixels, count);
  position_ = lzw.position;
  if (lzw.status == LzwStatus::kBadCode || lzw.status == LzwStatus::kBadCodeSize ||
      lzw.status == LzwStatus::kOutOfMemory) {
    SkipSubBlocks();
    switch (lzw.status) {
      case LzwStatus::kBadCodeSize: return GifError::kBadCodeSize;
      case LzwStatus::kOutOfMemory: return GifError::kOutOfMemory;
      default: return GifError::kBadCode;
    }
  }
  // Lay the run out in rows; whatever the data did not reach is index 0.
  const bool interlaced = (packed & 0x40) != 0;
  if (interlaced) {
    std::memset(pixels + lzw.written, 0, count - lzw.written);
    if (!Deinterlace(pixels, width, height)) {
      SkipSubBlocks();
      return GifError::kOutOfMemory;
    }
    SpreadRows(pixels, width, stride, height);
  } else {
    // Only the rows reached need moving; the rest is cleared in place.
    const std::size_t reached = width == 0 ? 0 : (lzw.written + width - 1) / width;
    std::memset(pixels + lzw.written, 0, reached * width - lzw.written);
    SpreadRows(pixels, width, stride, reached);
    std::memset(pixels + reached * stride, 0, (height - reached) * stride);
  }
  // A truncated stream has no terminator; a stream cut short by a full image has the rest
  // of its sub-blocks still to pass.
  SkipSubBlocks();

  if (controls_.transparent) {
    const std::uint8_t* e = pal + 4 * controls_.transparent_index;
    transparent_colour_ = static_cast<std::uint32_t>(e[2]) |
                          (static_cast<std::uint32_t>(e[1]) << 8) |
                          (static_cast<std::uint32_t>(e[0]) << 16);
  }
  frame->left = left;
  frame->top = top;
  frame->width = width;
  frame->height = height;
  frame->interlaced = interlaced;
  frame->controls = controls_;
  frame->transparent_colour = transparent_colour_;
  frame->dib = std::move(dib);
  return GifError::kOk;
}

std::optional<DecodedPicture> DecodeStaticGif(const std::uint8_t* data, std::size_t size) {
  // The static decode reads straight from the caller's bytes: nothing outlives the call.
  GifEngine engine;
  if (engine.OpenBorrowed(data, size) != GifError::kOk) return std::nullopt;
  // A logical screen without area is no picture: there is nothing to draw it on.
  if (engine.screen_width() == 0 || engine.screen_height() == 0) return std::nullopt;
  engine.Rewind();
  GifFrame frame;
  if (engine.NextFrame(&frame) != GifError::kOk) return std::nullopt;
  DecodedPicture picture;
  picture.kind = PictureKind::kGif;
  picture.width = engine.screen_width();
  picture.height = engine.screen_height();
  picture.pixels = std::move(frame.dib);
  return picture;
}

}  // namespace varnelt
