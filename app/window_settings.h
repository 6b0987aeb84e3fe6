#pragma once
// The main window's own settings and their settings block (version 6; 0 to 6 are read).

#include <cstdint>
#include <optional>
#include <string>

#include "app/settings_block.h"

namespace varnelt {

inline constexpr std::uint32_t kDefaultColour = 0xFF000000;  // the system's button face

struct WindowSettings {
  static constexpr std::uint32_t kVersion = 6;

  std::string title;
  std::int32_t border_style = 2;  // fixed frame
  std::uint32_t background_colour = kDefaultColour;
  Bytes background_picture;
  std::int32_t background_picture_mode = 1;
  Bytes background_sound;
  std::int32_t sound_play_mode = 0;
  bool control_box = true;
  bool maximize_button = false;
  bool minimize_button = false;
  std::int32_t start_position = 1;  // centred on the screen
  bool movable = true;
  Bytes icon;
  bool enter_moves_focus = false;
  bool esc_closes = true;
  bool f1_opens_help = false;
  std::string help_file;
  std::int32_t help_context = 0;
  bool shown_in_taskbar = true;
  bool drag_by_any_point = false;
  std::int32_t shape = 0;
  bool always_on_top = false;
  bool keep_caption_active = false;
  std::string class_name;  // empty: the program's own class

  Bytes Write() const;
  // Nothing for a version above 6 or a block that ends before a field it must hold; an
  // empty block gives the defaults.
  static std::optional<WindowSettings> Read(const Bytes& block);
};

}  // namespace varnelt
