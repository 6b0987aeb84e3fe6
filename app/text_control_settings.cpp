#include "app/text_control_settings.h"

namespace varnelt {
namespace {

constexpr std::uint32_t kDtCenter = 0x1, kDtRight = 0x2, kDtVCenter = 0x4, kDtBottom = 0x8;
constexpr std::uint32_t kDtWordBreak = 0x10, kDtSingleLine = 0x20, kDtNoClip = 0x100;

}  // namespace

Bytes LabelSettings::Write() const {
  SettingsWriter w;
  w.U32(kVersion).I32(text_effect).I32(edge_width).I32(border_style);
  for (std::uint32_t c : edge_colours) w.U32(c);
  w.U32(text_colour).U32(background_colour).I32(picture_mode).I32(gradient_mode);
  for (std::uint32_t c : gradient_colours) w.U32(c);
  w.I32(horizontal_alignment).I32(vertical_alignment).Bool(word_wrap);
  w.Data(font).Data(background_picture).Text(text).Text(data_source).Text(data_column);
  return w.Take();
}

std::optional<LabelSettings> LabelSettings::Read(const Bytes& block) {
  LabelSettings s;
  if (block.empty()) return s;
  SettingsReader r(block);
  std::uint32_t version = 0;
  if (!r.U32(version) || version > kVersion) return std::nullopt;
  bool ok = r.I32(s.text_effect) && r.I32(s.edge_width) && r.I32(s.border_style);
  for (std::uint32_t& c : s.edge_colours) ok = ok && r.U32(c);
  ok = ok && r.U32(s.text_colour) && r.U32(s.background_colour) && r.I32(s.picture_mode) && r.I32(s.gradient_mode);
  for (std::uint32_t& c : s.gradient_colours) ok = ok && r.U32(c);
  ok = ok && r.I32(s.horizontal_alignment) && r.I32(s.vertical_alignment) && r.Bool(s.word_wrap) &&
       r.Data(s.font) && r.Data(s.background_picture) && r.Text(s.text);
  if (ok && version >= 2) ok = r.Text(s.data_source) && r.Text(s.data_column);
  if (!ok) return std::nullopt;
  return s;
}

Bytes GroupBoxSettings::Write() const {
  SettingsWriter w;
  w.U32(kVersion).I32(caption_alignment).U32(text_colour).U32(background_colour).Data(font).Text(caption);
  return w.Take();
}

std::optional<GroupBoxSettings> GroupBoxSettings::Read(const Bytes& block) {
  GroupBoxSettings s;
  if (block.empty()) return s;
  SettingsReader r(block);
  std::uint32_t version = 0;
  if (!r.U32(version) || version > kVersion) return std::nullopt;
  if (!(r.I32(s.caption_alignment) && r.U32(s.text_colour) && r.U32(s.background_colour) && r.Data(s.font) &&
        r.Text(s.caption)))
    return std::nullopt;
  return s;
}

Bytes ButtonSettings::Write() const {
  SettingsWriter w;
  w.U32(kVersion).I32(button_type).I32(horizontal_alignment).I32(vertical_alignment);
  w.Data(picture).Data(font).Text(caption);
  return w.Take();
}

std::optional<ButtonSettings> ButtonSettings::Read(const Bytes& block) {
  ButtonSettings s;
  if (block.empty()) return s;
  SettingsReader r(block);
  std::uint32_t version = 0;
  if (!r.U32(version) || version > kVersion) return std::nullopt;
  if (!(r.I32(s.button_type) && r.I32(s.horizontal_alignment) && r.I32(s.vertical_alignment) && r.Data(s.picture) &&
        r.Data(s.font) && r.Text(s.caption)))
    return std::nullopt;
  return s;
}

std::uint32_t LabelDrawTextFlags(const LabelSettings& label) {
  std::uint32_t flags = kDtNoClip;
  if (label.horizontal_alignment == 1) flags |= kDtCenter;
  if (label.horizontal_alignment == 2) flags |= kDtRight;
  if (label.word_wrap) return flags | kDtWordBreak | kDtVCenter;
  flags |= kDtSingleLine;
  if (label.vertical_alignment == 1) flags |= kDtVCenter;
  if (label.vertical_alignment == 2) flags |= kDtBottom;
  return flags;
}

}  // namespace varnelt
