// Tests the main window's key combinations and tab order.
#include <gtest/gtest.h>

#include "app/keyboard_rules.h"

namespace varnelt {
namespace {

TEST(KeyActionFor, OnlyExactCombinations) {
  struct Case {
    std::uint32_t key;
    Modifiers mods;
    bool esc_closes;
    KeyAction action;
  };
  const Modifiers none{}, shift{false, true, false}, ctrl{true, false, false}, alt{false, false, true};
  const Case cases[] = {
      {kVkTab, none, true, KeyAction::kNextTabStop},
      {kVkTab, shift, true, KeyAction::kPreviousTabStop},
      {kVkTab, ctrl, true, KeyAction::kNone},
      {kVkTab, alt, true, KeyAction::kNone},
      {kVkEscape, none, true, KeyAction::kClose},
      {kVkEscape, none, false, KeyAction::kNone},
      {kVkEscape, shift, true, KeyAction::kNone},
      {kVkEscape, ctrl, true, KeyAction::kNone},
      {kVkReturn, none, true, KeyAction::kNone},
      {0x20, none, true, KeyAction::kNone},       // Space is the focused button's
      {0x73, alt, true, KeyAction::kNone},        // Alt+F4 is the system's
      {'A', alt, true, KeyAction::kNone},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(KeyActionFor(c.key, c.mods, c.esc_closes), c.action)
        << "key " << c.key << " ctrl " << c.mods.ctrl << " shift " << c.mods.shift << " alt " << c.mods.alt;
  }
}

TabCandidate Button(std::int32_t order = 0) { return {true, true, true, true, order}; }

TEST(TabStops, OnlyVisibleEnabledTabStopsOfKindsThatTakePart) {
  std::vector<TabCandidate> controls = {
      {false, true, true, true, 0},  // a label with the flag: labels never take part
      Button(),
      {true, false, true, true, 0},  // hidden
      {true, true, false, true, 0},  // disabled
      {true, true, true, false, 0},  // no tab-stop flag
      Button(),
  };
  EXPECT_EQ(TabStops(controls), (std::vector<std::size_t>{1, 5}));
}

TEST(TabStops, OrderedByValueThenCreation) {
  std::vector<TabCandidate> controls = {Button(2), Button(1), Button(2), Button(-1)};
  EXPECT_EQ(TabStops(controls), (std::vector<std::size_t>{3, 1, 0, 2}));
}

TEST(NextTabStop, WrapsBothWays) {
  const std::vector<std::size_t> stops = {3, 6};
  EXPECT_EQ(NextTabStop(stops, 3, true), 6u);
  EXPECT_EQ(NextTabStop(stops, 6, true), 3u);
  EXPECT_EQ(NextTabStop(stops, 3, false), 6u);
  EXPECT_EQ(NextTabStop(stops, 6, false), 3u);
  EXPECT_EQ(NextTabStop(stops, std::nullopt, true), 3u);
  EXPECT_EQ(NextTabStop(stops, 4, false), 6u);
  EXPECT_EQ(NextTabStop({}, 3, true), std::nullopt);
  EXPECT_EQ(NextTabStop({5}, 5, true), 5u);
}

}  // namespace
}  // namespace varnelt
