#include "imaging/pixel_block.h"

#include <cstring>
#include <limits>
#include <new>

namespace varnelt {

std::optional<std::size_t> CheckedProduct(std::initializer_list<std::size_t> factors) {
  std::size_t product = 1;
  for (std::size_t f : factors) {
    if (f != 0 && product > std::numeric_limits<std::size_t>::max() / f) return std::nullopt;
    product *= f;
  }
  return product;
}

std::optional<std::size_t> CheckedSum(std::size_t a, std::size_t b) {
  if (a > std::numeric_limits<std::size_t>::max() - b) return std::nullopt;
  return a + b;
}

PixelBlock AllocatePixelBlock(std::size_t size, bool zeroed) {
  PixelBlock block;
  if (size == 0 || size > kMaxPixelBlockBytes) return block;
  block.bytes_.reset(new (std::nothrow) std::uint8_t[size]);
  if (!block.bytes_) return block;
  if (zeroed) std::memset(block.bytes_.get(), 0, size);
  block.size_ = size;
  return block;
}

}  // namespace varnelt
