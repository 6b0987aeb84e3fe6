#pragma once
// Settings of the label, group box and button kinds, and their settings blocks.

#include <cstdint>
#include <optional>
#include <string>

#include "app/settings_block.h"
#include "app/window_settings.h"

namespace varnelt {

struct LabelSettings {
  static constexpr std::uint32_t kVersion = 2;

  std::string text;
  std::int32_t text_effect = 0;
  std::int32_t border_style = 0;
  std::int32_t edge_width = 8;
  std::uint32_t edge_colours[3] = {0x808080, 0xFFFFFF, 0x808080};
  Bytes font;  // empty, or a 60-byte LOGFONTA
  std::uint32_t text_colour = 0x000000;
  std::uint32_t background_colour = kDefaultColour;
  Bytes background_picture;
  std::int32_t picture_mode = 1;
  std::int32_t gradient_mode = 0;
  std::uint32_t gradient_colours[3] = {0x808080, 0xFFFFFF, 0x808080};
  std::int32_t horizontal_alignment = 0;  // 0 left, 1 centre, 2 right
  bool word_wrap = false;
  std::int32_t vertical_alignment = 0;  // 0 top, 1 centre, 2 bottom (single line only)
  std::string data_source;
  std::string data_column;

  Bytes Write() const;
  static std::optional<LabelSettings> Read(const Bytes& block);
};

struct GroupBoxSettings {
  static constexpr std::uint32_t kVersion = 1;

  std::string caption;
  std::int32_t caption_alignment = 0;
  std::uint32_t text_colour = 0x000000;
  std::uint32_t background_colour = kDefaultColour;
  Bytes font;

  Bytes Write() const;
  static std::optional<GroupBoxSettings> Read(const Bytes& block);
};

struct ButtonSettings {
  static constexpr std::uint32_t kVersion = 1;

  Bytes picture;
  std::int32_t button_type = 0;  // 0 plain push button, 1 default push button
  std::string caption;
  std::int32_t horizontal_alignment = 1;
  std::int32_t vertical_alignment = 1;
  Bytes font;

  Bytes Write() const;
  static std::optional<ButtonSettings> Read(const Bytes& block);
};

// The DrawText format flags of a label: DT_NOCLIP and the horizontal alignment, then
// DT_WORDBREAK | DT_VCENTER with word wrap, else DT_SINGLELINE and the vertical alignment.
std::uint32_t LabelDrawTextFlags(const LabelSettings& label);

}  // namespace varnelt
