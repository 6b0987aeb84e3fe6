// Helpers for the decoder tests: fixture loading, PPM reading and picture comparison.
#include "picture_fixtures.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace varnelt::testing {

bool FixturesConfigured() {
  const char* dir = std::getenv("VARNELT_FIXTURES");
  return dir != nullptr && *dir != '\0';
}

std::string FixturePath(const std::string& name) {
  const char* dir = std::getenv("VARNELT_FIXTURES");
  return std::string(dir != nullptr ? dir : "") + "/" + name;
}

std::optional<Bytes> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::optional<RgbImage> ParsePpm(const Bytes& bytes) {
  // Header: "P6", width, height, maxval, each separated by whitespace, then one byte.
  std::size_t pos = 0;
  std::string fields[4];
  for (auto& field : fields) {
    while (pos < bytes.size() && std::isspace(bytes[pos])) ++pos;
    while (pos < bytes.size() && !std::isspace(bytes[pos])) field += static_cast<char>(bytes[pos++]);
  }
  ++pos;
  if (fields[0] != "P6" || fields[3] != "255" || pos > bytes.size()) return std::nullopt;
  RgbImage image;
  image.width = std::stoul(fields[1]);
  image.height = std::stoul(fields[2]);
  if (bytes.size() - pos != image.width * image.height * 3) return std::nullopt;
  image.pixels.assign(bytes.begin() + static_cast<std::ptrdiff_t>(pos), bytes.end());
  return image;
}

namespace {

std::int32_t Le32(const std::uint8_t* p) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                                   static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace

std::optional<RgbImage> PictureToRgb(const DecodedPicture& picture) {
  RgbImage out;
  out.width = static_cast<std::size_t>(picture.width);
  out.height = static_cast<std::size_t>(picture.height);
  out.pixels.assign(out.width * out.height * 3, 0);
  const std::uint8_t* block = picture.pixels.data();
  const std::size_t size = picture.pixels.size();
  auto put = [&](std::size_t x, std::size_t y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    std::uint8_t* p = out.pixels.data() + (y * out.width + x) * 3;
    p[0] = r;
    p[1] = g;
    p[2] = b;
  };
  switch (picture.kind) {
    case PictureKind::kJpeg:
    case PictureKind::kBmp: {
      // Rows of width*3 with no padding, bottom row first, blue-green-red.
      if (size != out.width * out.height * 3) return std::nullopt;
      for (std::size_t y = 0; y < out.height; ++y) {
        const std::uint8_t* row = block + (out.height - 1 - y) * out.width * 3;
        for (std::size_t x = 0; x < out.width; ++x) put(x, y, row[3 * x + 2], row[3 * x + 1], row[3 * x]);
      }
      return out;
    }
    case PictureKind::kPcx256:
    case PictureKind::kGif: {
      if (size < 40 || Le32(block) != 40) return std::nullopt;
      const std::int32_t w = Le32(block + 4), h = -Le32(block + 8);
      const unsigned bits = block[14];
      if (w <= 0 || h <= 0) return std::nullopt;
      const auto dw = static_cast<std::size_t>(w), dh = static_cast<std::size_t>(h);
      const std::size_t rows = bits == 8 ? 1064 : 40;
      const std::size_t stride = ((bits == 8 ? dw : dw * 3) + 3) / 4 * 4;
      if (size != rows + dh * stride) return std::nullopt;
      for (std::size_t y = 0; y < dh && y < out.height; ++y) {
        for (std::size_t x = 0; x < dw && x < out.width; ++x) {
          const std::uint8_t* row = block + rows + y * stride;
          const std::uint8_t* bgr = bits == 8 ? block + 40 + 4 * row[x] : row + 3 * x;
          put(x, y, bgr[2], bgr[1], bgr[0]);
        }
      }
      return out;
    }
    case PictureKind::kPcxMono: {
      const std::size_t stride = ((out.width + 7) / 8 + 1) / 2 * 2;
      if (size != stride * out.height) return std::nullopt;
      for (std::size_t y = 0; y < out.height; ++y) {
        for (std::size_t x = 0; x < out.width; ++x) {
          const std::uint8_t v = (block[y * stride + x / 8] >> (7 - x % 8)) & 1 ? 255 : 0;
          put(x, y, v, v, v);
        }
      }
      return out;
    }
    default:
      return std::nullopt;
  }
}

std::string FixtureTestName(const ::testing::TestParamInfo<std::string>& param) {
  return param.param.substr(0, param.param.rfind('.'));
}

::testing::AssertionResult SameRgb(const RgbImage& expected, const RgbImage& actual, std::size_t rows) {
  if (expected.width != actual.width) {
    return ::testing::AssertionFailure() << "width " << actual.width << ", expected " << expected.width;
  }
  const std::size_t compare_rows = rows != 0 ? rows : expected.height;
  if (rows == 0 && expected.height != actual.height) {
    return ::testing::AssertionFailure() << "height " << actual.height << ", expected " << expected.height;
  }
  if (compare_rows > actual.height || compare_rows > expected.height) {
    return ::testing::AssertionFailure() << "fewer than " << compare_rows << " rows";
  }
  for (std::size_t y = 0; y < compare_rows; ++y) {
    for (std::size_t x = 0; x < expected.width; ++x) {
      const std::size_t i = (y * expected.width + x) * 3;
      for (std::size_t c = 0; c < 3; ++c) {
        if (expected.pixels[i + c] != actual.pixels[i + c]) {
          std::ostringstream where;
          where << "pixel (" << x << ", " << y << ") channel " << c << ": " << int{actual.pixels[i + c]}
                << ", expected " << int{expected.pixels[i + c]};
          return ::testing::AssertionFailure() << where.str();
        }
      }
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace varnelt::testing
