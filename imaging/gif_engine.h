#pragma once
// The GIF engine: reads GIF87a/GIF89a data block by block and turns each image into an
// 8-bit packed DIB. Two users: the still-picture decoder (DecodeStaticGif, the first image
// only) and animated playback, which walks the frames with GifEngine. The engine is
// portable and knows nothing of windows, clocks or threads: it hands back the next frame
// with its placement, disposal, transparency and delay, and the caller composes and times.
//
// Image layout (GifFrame::dib, and the still picture's pixel block), one block:
//   0     BITMAPINFOHEADER, 40 bytes: size 40, width, -height (rows top-down), planes 1,
//         8 bits per pixel, compression 0, image size 0, resolutions 0, colours used 256,
//         colours important 256
//   40    256 colour entries of blue, green, red, 0
//   1064  height rows, top row first, each `width` colour indices padded with zeros to a
//         multiple of 4 bytes
//
// Choices where the GIF data leave something open:
// - colour entries beyond the used colour table are black (0, 0, 0);
// - with no colour table at all (neither global nor local), entry i is grey (i, i, i);
// - rows or pixels the image data never reach hold index 0, as do the row paddings;
// - image data that end before the end code keep the pixels decoded so far;
// - once every pixel of an image is placed, the rest of its data is skipped unread;
// - an LZW minimum code size above 11 leaves no room in the 4096-entry table for the
//   clear and end codes: the image fails.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "imaging/decoded_picture.h"
#include "imaging/lzw.h"
#include "imaging/pixel_block.h"

namespace varnelt {

enum class GifError {
  kOk = 0,
  kTooShort,             // 13 bytes or fewer
  kBadSignature,         // not "GIF87a" / "GIF89a"
  kTruncatedColourTable, // global colour table runs past the data
  kNotOpen,              // NextFrame before a successful Open
  kEndOfData,            // the walk ran off the end of the data without a trailer
  kNoImage,              // a whole pass over the data found no image
  kUnknownExtension,     // extension label other than 0x01, 0xF9, 0xFE, 0xFF
  kUnexpectedByte,       // a block byte that starts no known block
  kTruncatedBlock,       // an extension, descriptor or table runs past the data
  kImageTooLarge,        // the image bitmap would exceed kMaxPixelBlockBytes
  kOutOfMemory,
  kBadCodeSize,          // LZW minimum code size above 11
  kBadCode,              // LZW code that names no string yet
};

// A short English text for the error, for tests and tools.
const char* GifErrorText(GifError error);

// Set by the last graphic control extension read; in force until the next one, also
// across the restart after the trailer.
struct GifFrameControls {
  std::uint8_t disposal = 0;           // 0-7: 0/1 leave, 2 background, 3 previous
  bool transparent = false;            // transparent_index marks transparent pixels
  std::uint8_t transparent_index = 0;
  std::uint16_t delay = 0;             // hundredths of a second
};

inline constexpr std::size_t kGifDibHeaderBytes = 40;
inline constexpr std::size_t kGifDibPaletteBytes = 256 * 4;
inline constexpr std::size_t kGifDibPixelOffset = kGifDibHeaderBytes + kGifDibPaletteBytes;

// Bytes per row of an image bitmap of the given width: width rounded up to 4.
constexpr std::size_t GifDibStride(std::size_t width) { return (width + 3) & ~std::size_t{3}; }

// One image as the walker found it.
struct GifFrame {
  // Placement on the logical screen (not clipped to it).
  std::uint16_t left = 0;
  std::uint16_t top = 0;
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  bool interlaced = false;
  // The frame controls in force when this image was read.
  GifFrameControls controls;
  // Colour of the transparent index in this image's colours, 0x00BBGGRR; while no image
  // with transparency has been read, white (0x00FFFFFF).
  std::uint32_t transparent_colour = 0x00FFFFFF;
  // The image as a packed DIB (layout at the top of this file).
  PixelBlock dib;

  std::size_t stride() const { return GifDibStride(width); }
  // Row y (0 = top) of colour indices; valid for y < height.
  const std::uint8_t* row(std::size_t y) const {
    return dib.data() + kGifDibPixelOffset + y * stride();
  }
  // Colour entry i (0-255) as 0x00BBGGRR.
  std::uint32_t colour(std::size_t i) const;
};

// One engine per GIF being read; used by one thread at a time.
//
// Animated use:
//   GifEngine gif;
//   if (gif.Open(bytes, size, GifEngine::Mode::kAnimated) != GifError::kOk) -> no picture
//   if (gif.single_image()) -> show *gif.single_frame() as a still
//   else loop: GifFrame f; if (gif.NextFrame(&f) == GifError::kOk) compose f; ...
// After the trailer the walk starts over at the first frame, so frames repeat without end.
// A call that yields nothing leaves the engine usable: the next call goes on from the
// position reached (past the faulty block where its extent is known).
class GifEngine {
 public:
  enum class Mode { kStatic, kAnimated };

  GifEngine();
  ~GifEngine();
  GifEngine(const GifEngine&) = delete;
  GifEngine& operator=(const GifEngine&) = delete;

  // Reads the header, logical screen and global colour table and copies the data that
  // follow; the caller keeps its bytes. Releases whatever the engine held before.
  // Animated mode also reads the first image at once to learn whether the GIF holds a
  // single image (only the trailer, or nothing, follows it); a single image is kept as
  // single_frame(), otherwise the walk goes back to the first block. Opening succeeds
  // whether or not that first image could be read.
  GifError Open(const std::uint8_t* data, std::size_t size, Mode mode);

  // Walks from the current position to the next image and reads it into *frame.
  // Returns kOk with *frame filled, or the reason there is none (frame untouched).
  GifError NextFrame(GifFrame* frame);

  // Sets the walk back to the first block (frame controls are kept).
  void Rewind() { position_ = 0; }

  // Images whose bitmap would pass this many bytes are refused (kImageTooLarge). The
  // default and the ceiling is kMaxPixelBlockBytes; a caller may ask for less.
  void set_max_image_bytes(std::size_t bytes) {
    max_image_bytes_ = bytes < kMaxPixelBlockBytes ? bytes : kMaxPixelBlockBytes;
  }

  bool is_open() const { return open_; }
  std::uint16_t screen_width() const { return screen_width_; }
  std::uint16_t screen_height() const { return screen_height_; }
  std::uint8_t background_index() const { return background_index_; }
  // Entries of the global colour table, 0 when the GIF has none.
  std::size_t global_colour_count() const { return global_count_; }
  // Frame controls and transparent colour in force now.
  const GifFrameControls& controls() const { return controls_; }
  std::uint32_t transparent_colour() const { return transparent_colour_; }
  // Animated mode: whether the GIF holds a single image, and that image.
  bool single_image() const { return single_frame_ != nullptr; }
  const GifFrame* single_frame() const { return single_frame_.get(); }

 private:
  friend std::optional<DecodedPicture> DecodeStaticGif(const std::uint8_t*, std::size_t);

  GifError OpenBorrowed(const std::uint8_t* data, std::size_t size);
  void Release();
  GifError ReadImage(GifFrame* frame);
  GifError SkipSubBlocks();

  bool open_ = false;
  // Block data: everything after the header and global colour table.
  std::unique_ptr<std::uint8_t[]> owned_blocks_;
  const std::uint8_t* blocks_ = nullptr;
  std::size_t blocks_size_ = 0;
  std::size_t position_ = 0;
  std::size_t max_image_bytes_ = kMaxPixelBlockBytes;

  std::uint16_t screen_width_ = 0;
  std::uint16_t screen_height_ = 0;
  std::uint8_t background_index_ = 0;
  std::size_t global_count_ = 0;
  std::uint8_t global_table_[256 * 3] = {};

  GifFrameControls controls_;
  std::uint32_t transparent_colour_ = 0x00FFFFFF;
  std::unique_ptr<GifFrame> single_frame_;

  LzwDecoder lzw_;
};

// Decodes the first image of a GIF as a still picture: kind kGif, width and height of the
// logical screen, the first image's packed DIB as the pixel block (transparency not
// applied). Nothing when the data do not open or hold no readable first image.
std::optional<DecodedPicture> DecodeStaticGif(const std::uint8_t* data, std::size_t size);

}  // namespace varnelt
