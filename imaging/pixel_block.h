#pragma once
// An owned block of pixel bytes, and the one allocator every decoder uses for it.
//
// All pixel-block sizes come from file headers, so they are computed with overflow checks
// and refused above kMaxPixelBlockBytes: a hostile header yields "no picture", never a
// crash or an exhausted address space (this matters most in the 32-bit product).

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>

namespace varnelt {

inline constexpr std::size_t kMaxPixelBlockBytes = std::size_t{256} << 20;

// The product of the factors, or nothing when it overflows size_t.
std::optional<std::size_t> CheckedProduct(std::initializer_list<std::size_t> factors);
// a + b, or nothing when it overflows size_t.
std::optional<std::size_t> CheckedSum(std::size_t a, std::size_t b);

class PixelBlock {
 public:
  PixelBlock() = default;
  PixelBlock(PixelBlock&&) noexcept = default;
  PixelBlock& operator=(PixelBlock&&) noexcept = default;

  std::uint8_t* data() { return bytes_.get(); }
  const std::uint8_t* data() const { return bytes_.get(); }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

 private:
  friend PixelBlock AllocatePixelBlock(std::size_t size, bool zeroed);
  std::unique_ptr<std::uint8_t[]> bytes_;
  std::size_t size_ = 0;
};

// A block of `size` bytes (zero-filled when `zeroed`), or an empty block when size is 0,
// above kMaxPixelBlockBytes, or the memory cannot be had.
PixelBlock AllocatePixelBlock(std::size_t size, bool zeroed = false);

}  // namespace varnelt
