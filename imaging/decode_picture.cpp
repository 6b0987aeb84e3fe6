#include "imaging/decode_picture.h"

#include "imaging/bmp_decoder.h"
#include "imaging/gif_engine.h"
#include "imaging/icon_directory.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/pcx_decoder.h"
#include "imaging/picture_kind.h"

namespace varnelt {

std::optional<DecodedPicture> DecodePicture(const std::uint8_t* data, std::size_t size) {
  if (data == nullptr || size == 0) return std::nullopt;
  switch (SniffPictureKind(data, size)) {
    case PictureKind::kJpeg: return DecodeJpeg(data, size);
    case PictureKind::kBmp: return DecodeBmp(data, size);
    case PictureKind::kIcon:
    case PictureKind::kCursor: return DecodeIconDirectory(data, size);
    case PictureKind::kGif: return DecodeStaticGif(data, size);
    // The PCX decoder tells its two kinds apart from the header by itself.
    case PictureKind::kPcx256:
    case PictureKind::kPcxMono: return DecodePcx(data, size);
    case PictureKind::kNone: break;
  }
  return std::nullopt;
}

}  // namespace varnelt
