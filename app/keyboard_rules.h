#pragma once
// What the main window does with a key before it is dispatched: the tab order over the
// controls and the few exact key combinations the window acts on.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace varnelt {

enum class KeyAction {
  kNone,             // not the window's: the key goes on to the focused control
  kNextTabStop,      // Tab
  kPreviousTabStop,  // Shift+Tab
  kClose,            // Esc, when the window closes on Esc
};

inline constexpr std::uint32_t kVkTab = 0x09;
inline constexpr std::uint32_t kVkReturn = 0x0D;
inline constexpr std::uint32_t kVkEscape = 0x1B;

struct Modifiers {
  bool ctrl = false;
  bool shift = false;
  bool alt = false;
};

// Only the exact combinations count: Shift+Esc or Ctrl+Tab do nothing. Enter would click a
// default push button; the layout has none, so it is left to the focused control.
KeyAction KeyActionFor(std::uint32_t virtual_key, Modifiers modifiers, bool esc_closes);

struct TabCandidate {
  bool takes_part = false;  // the kind takes part in tabbing (buttons do)
  bool visible = false;
  bool enabled = false;
  bool tab_stop = false;
  std::int32_t tab_order = 0;
};

// Indexes (in creation order) of the tab stops, ordered by tab order value and, for equal
// values, by creation order.
std::vector<std::size_t> TabStops(const std::vector<TabCandidate>& controls);

// The tab stop after (or before) `current` in `stops`, wrapping around; the first (last)
// stop when `current` is none of them. Nothing when there are no stops.
std::optional<std::size_t> NextTabStop(const std::vector<std::size_t>& stops, std::optional<std::size_t> current,
                                       bool forward);

}  // namespace varnelt
