#include "app/window_settings.h"

namespace varnelt {

Bytes WindowSettings::Write() const {
  SettingsWriter w;
  w.U32(kVersion).I32(border_style).I32(background_picture_mode).U32(background_colour);
  w.Bool(maximize_button).Bool(minimize_button).Bool(control_box).I32(start_position).Bool(movable);
  w.I32(sound_play_mode).Bool(enter_moves_focus).Bool(esc_closes).Bool(f1_opens_help).I32(help_context);
  w.Bool(shown_in_taskbar).Bool(drag_by_any_point).I32(shape).Bool(always_on_top).Bool(keep_caption_active);
  w.Text(class_name);
  w.Data(background_picture).Data(icon).Data(background_sound).Text(title).Text(help_file);
  return w.Take();
}

std::optional<WindowSettings> WindowSettings::Read(const Bytes& block) {
  WindowSettings s;
  if (block.empty()) return s;
  SettingsReader r(block);
  std::uint32_t version = 0;
  if (!r.U32(version) || version > kVersion) return std::nullopt;
  bool ok = r.I32(s.border_style) && r.I32(s.background_picture_mode) && r.U32(s.background_colour) &&
            r.Bool(s.maximize_button) && r.Bool(s.minimize_button) && r.Bool(s.control_box) &&
            r.I32(s.start_position) && r.Bool(s.movable) && r.I32(s.sound_play_mode) &&
            r.Bool(s.enter_moves_focus) && r.Bool(s.esc_closes) && r.Bool(s.f1_opens_help) &&
            r.I32(s.help_context);
  if (ok && version >= 2) ok = r.Bool(s.shown_in_taskbar);
  if (ok && version >= 3) ok = r.Bool(s.drag_by_any_point) && r.I32(s.shape);
  if (ok && version >= 4) ok = r.Bool(s.always_on_top);
  if (ok && version >= 5) ok = r.Bool(s.keep_caption_active);
  if (ok && version >= 6) ok = r.Text(s.class_name);
  ok = ok && r.Data(s.background_picture) && r.Data(s.icon) && r.Data(s.background_sound) && r.Text(s.title) &&
       r.Text(s.help_file);
  if (!ok) return std::nullopt;
  return s;
}

}  // namespace varnelt
