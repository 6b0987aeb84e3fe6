#include "app/keyboard_rules.h"

#include <algorithm>

namespace varnelt {

KeyAction KeyActionFor(std::uint32_t virtual_key, Modifiers m, bool esc_closes) {
  if (m.ctrl || m.alt) return KeyAction::kNone;
  switch (virtual_key) {
    case kVkTab:
      return m.shift ? KeyAction::kPreviousTabStop : KeyAction::kNextTabStop;
    case kVkEscape:
      return (!m.shift && esc_closes) ? KeyAction::kClose : KeyAction::kNone;
    default:
      return KeyAction::kNone;
  }
}

std::vector<std::size_t> TabStops(const std::vector<TabCandidate>& controls) {
  std::vector<std::size_t> stops;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const TabCandidate& c = controls[i];
    if (c.takes_part && c.visible && c.enabled && c.tab_stop) stops.push_back(i);
  }
  std::stable_sort(stops.begin(), stops.end(),
                   [&](std::size_t a, std::size_t b) { return controls[a].tab_order < controls[b].tab_order; });
  return stops;
}

std::optional<std::size_t> NextTabStop(const std::vector<std::size_t>& stops, std::optional<std::size_t> current,
                                       bool forward) {
  if (stops.empty()) return std::nullopt;
  const auto at = current ? std::find(stops.begin(), stops.end(), *current) : stops.end();
  if (at == stops.end()) return forward ? stops.front() : stops.back();
  const auto index = static_cast<std::size_t>(at - stops.begin());
  if (forward) return stops[(index + 1) % stops.size()];
  return stops[(index + stops.size() - 1) % stops.size()];
}

}  // namespace varnelt
