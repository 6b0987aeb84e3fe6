#pragma once
// The picture panel's own settings and its settings block.
//
//   offset   size  field
//   0        4     version: 2 written; 0, 1 and 2 read
//   4        4     border style
//   8        4     background colour (0xFF000000: the button face)
//   12       4     display mode
//   16       4     animate flag (0 or 1)
//   20       4     picture byte count N
//   24       N     picture bytes: a whole picture file
//   24+N     4+L1  data source name (version 2 only)
//   28+N+L1  4+L2  data column name (version 2 only)

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace varnelt {

struct PicBoxSettings {
  static constexpr std::uint32_t kVersion = 2;

  std::int32_t border_style = 0;  // 0..5
  std::uint32_t background_colour = 0xFF000000;
  std::int32_t display_mode = 0;  // 0..2
  bool animate = true;
  std::vector<std::uint8_t> picture;
  std::string data_source;
  std::string data_column;

  std::vector<std::uint8_t> Write() const;
  // Nothing for a version other than 0, 1 or 2, or a block that ends before a field it
  // must hold; an empty block gives the defaults.
  static std::optional<PicBoxSettings> Read(const std::vector<std::uint8_t>& block);
};

// The property clamps: border styles above 5 become 5 and below 0 become 0; display modes
// are kept within 0..2 the same way.
std::int32_t ClampBorderStyle(std::int32_t value);
std::int32_t ClampDisplayMode(std::int32_t value);

// The window styles a border style adds: extended styles and WS_BORDER.
struct BorderStyles {
  std::uint32_t ex_style = 0;
  std::uint32_t style = 0;
};
BorderStyles BorderStylesFor(std::int32_t border_style);

}  // namespace varnelt
