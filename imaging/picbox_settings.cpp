#include "imaging/picbox_settings.h"

#include <algorithm>

#include "app/settings_block.h"

namespace varnelt {

std::vector<std::uint8_t> PicBoxSettings::Write() const {
  SettingsWriter w;
  w.U32(kVersion).I32(border_style).U32(background_colour).I32(display_mode).Bool(animate);
  w.Data(picture).Text(data_source).Text(data_column);
  return w.Take();
}

std::optional<PicBoxSettings> PicBoxSettings::Read(const std::vector<std::uint8_t>& block) {
  PicBoxSettings s;
  if (block.empty()) return s;
  SettingsReader r(block);
  std::uint32_t version = 0;
  if (!r.U32(version) || version > kVersion) return std::nullopt;
  bool ok = r.I32(s.border_style) && r.U32(s.background_colour) && r.I32(s.display_mode) && r.Bool(s.animate) &&
            r.Data(s.picture);
  if (ok && version >= 2) ok = r.Text(s.data_source) && r.Text(s.data_column);
  if (!ok) return std::nullopt;
  return s;
}

std::int32_t ClampBorderStyle(std::int32_t value) { return std::clamp(value, 0, 5); }
std::int32_t ClampDisplayMode(std::int32_t value) { return std::clamp(value, 0, 2); }

BorderStyles BorderStylesFor(std::int32_t border_style) {
  constexpr std::uint32_t kClientEdge = 0x200, kDlgModalFrame = 0x1, kStaticEdge = 0x20000, kBorder = 0x800000;
  switch (ClampBorderStyle(border_style)) {
    case 1: return {kClientEdge, 0};
    case 2: return {kDlgModalFrame, 0};
    case 3: return {kStaticEdge, 0};
    case 4: return {kClientEdge | kDlgModalFrame, 0};
    case 5: return {0, kBorder};
    default: return {0, 0};
  }
}

}  // namespace varnelt
