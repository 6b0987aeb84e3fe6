// Tests the settings blocks of the window, label, group box and button kinds: round trips,
// versions above the highest read, blocks that end early, and older versions.
#include <gtest/gtest.h>

#include "app/settings_block.h"
#include "app/text_control_settings.h"
#include "app/window_settings.h"

namespace varnelt {
namespace {

WindowSettings SampleWindow() {
  WindowSettings s;
  s.title = "Varnelt";
  s.border_style = 3;
  s.background_colour = 0x00123456;
  s.icon = {1, 2, 3};
  s.help_file = "help.chm";
  s.help_context = 77;
  s.shape = 2;
  s.always_on_top = true;
  s.class_name = "Cls";
  return s;
}

LabelSettings SampleLabel() {
  LabelSettings s;
  s.text = "\xB1\xEA\xC7\xA9";
  s.text_colour = 0x0000FF;
  s.edge_colours[1] = 0x010203;
  s.gradient_colours[2] = 0x0A0B0C;
  s.word_wrap = true;
  s.vertical_alignment = 2;
  s.font = Bytes(60, 7);
  s.data_source = "src";
  s.data_column = "col";
  return s;
}

GroupBoxSettings SampleGroupBox() {
  GroupBoxSettings s;
  s.caption = "\xCA\xB9\xD3\xC3";
  s.caption_alignment = 2;
  s.text_colour = 0x112233;
  return s;
}

ButtonSettings SampleButton() {
  ButtonSettings s;
  s.caption = "\xC9\xCF\xB4\xAB";
  s.button_type = 1;
  s.horizontal_alignment = 2;
  s.picture = {9, 9};
  return s;
}

// Reads a block of each kind and tells whether it was accepted.
struct Kind {
  const char* name;
  Bytes block;
  bool (*accepts)(const Bytes&);
};

std::vector<Kind> AllKinds() {
  return {
      {"window", SampleWindow().Write(), [](const Bytes& b) { return WindowSettings::Read(b).has_value(); }},
      {"label", SampleLabel().Write(), [](const Bytes& b) { return LabelSettings::Read(b).has_value(); }},
      {"group box", SampleGroupBox().Write(), [](const Bytes& b) { return GroupBoxSettings::Read(b).has_value(); }},
      {"button", SampleButton().Write(), [](const Bytes& b) { return ButtonSettings::Read(b).has_value(); }},
  };
}

TEST(SettingsBlocks, RoundTripKeepsEveryField) {
  const auto window = WindowSettings::Read(SampleWindow().Write());
  ASSERT_TRUE(window);
  EXPECT_EQ(window->title, "Varnelt");
  EXPECT_EQ(window->border_style, 3);
  EXPECT_EQ(window->background_colour, 0x00123456u);
  EXPECT_EQ(window->icon, (Bytes{1, 2, 3}));
  EXPECT_EQ(window->help_file, "help.chm");
  EXPECT_EQ(window->help_context, 77);
  EXPECT_EQ(window->shape, 2);
  EXPECT_TRUE(window->always_on_top);
  EXPECT_EQ(window->class_name, "Cls");

  const auto label = LabelSettings::Read(SampleLabel().Write());
  ASSERT_TRUE(label);
  EXPECT_EQ(label->text, SampleLabel().text);
  EXPECT_EQ(label->text_colour, 0x0000FFu);
  EXPECT_EQ(label->edge_colours[1], 0x010203u);
  EXPECT_EQ(label->gradient_colours[2], 0x0A0B0Cu);
  EXPECT_TRUE(label->word_wrap);
  EXPECT_EQ(label->vertical_alignment, 2);
  EXPECT_EQ(label->font, Bytes(60, 7));
  EXPECT_EQ(label->data_source, "src");
  EXPECT_EQ(label->data_column, "col");

  const auto group = GroupBoxSettings::Read(SampleGroupBox().Write());
  ASSERT_TRUE(group);
  EXPECT_EQ(group->caption, SampleGroupBox().caption);
  EXPECT_EQ(group->caption_alignment, 2);
  EXPECT_EQ(group->text_colour, 0x112233u);

  const auto button = ButtonSettings::Read(SampleButton().Write());
  ASSERT_TRUE(button);
  EXPECT_EQ(button->caption, SampleButton().caption);
  EXPECT_EQ(button->button_type, 1);
  EXPECT_EQ(button->horizontal_alignment, 2);
  EXPECT_EQ(button->picture, (Bytes{9, 9}));
}

TEST(SettingsBlocks, EmptyBlockGivesDefaults) {
  for (const Kind& kind : AllKinds()) EXPECT_TRUE(kind.accepts({})) << kind.name;
  EXPECT_TRUE(WindowSettings::Read({})->esc_closes);
  EXPECT_EQ(ButtonSettings::Read({})->horizontal_alignment, 1);
}

TEST(SettingsBlocks, VersionAboveTheHighestReadIsRefused) {
  for (Kind kind : AllKinds()) {
    ASSERT_TRUE(kind.accepts(kind.block)) << kind.name;
    kind.block[0] = static_cast<std::uint8_t>(kind.block[0] + 1);
    EXPECT_FALSE(kind.accepts(kind.block)) << kind.name;
    kind.block[0] = 0xFF;
    kind.block[3] = 0xFF;  // a negative-looking version is just as unknown
    EXPECT_FALSE(kind.accepts(kind.block)) << kind.name;
  }
}

TEST(SettingsBlocks, EveryBlockCutShortIsRefused) {
  for (const Kind& kind : AllKinds()) {
    for (std::size_t length = 1; length < kind.block.size(); ++length) {
      const Bytes cut(kind.block.begin(), kind.block.begin() + static_cast<std::ptrdiff_t>(length));
      EXPECT_FALSE(kind.accepts(cut)) << kind.name << " cut to " << length << " bytes";
    }
  }
}

TEST(SettingsBlocks, TextCountBeyondTheBlockIsRefused) {
  Bytes block = SampleButton().Write();
  // The caption's count is the last text field: make it claim one byte more than there is.
  const std::size_t count_at = block.size() - SampleButton().caption.size() - 4;
  block[count_at] = static_cast<std::uint8_t>(block[count_at] + 1);
  EXPECT_FALSE(ButtonSettings::Read(block));
}

TEST(SettingsBlocks, OlderWindowVersionsLeaveLaterFieldsAtDefaults) {
  // Version 1: no taskbar flag and later fields, no class name.
  SettingsWriter w;
  w.U32(1).I32(2).I32(1).U32(0x00FFFFFF);
  for (int i = 0; i < 10; ++i) w.U32(0);
  w.Data({}).Data({}).Data({}).Text("Old").Text("");
  const auto s = WindowSettings::Read(w.bytes());
  ASSERT_TRUE(s);
  EXPECT_EQ(s->title, "Old");
  EXPECT_EQ(s->background_colour, 0x00FFFFFFu);
  EXPECT_TRUE(s->shown_in_taskbar);
  EXPECT_TRUE(s->class_name.empty());
}

TEST(SettingsBlocks, LabelVersionOneHasNoDataBinding) {
  LabelSettings label = SampleLabel();
  Bytes block = label.Write();
  block[0] = 1;
  // Without the two binding texts at the end the version-1 block is complete.
  block.resize(block.size() - (4 + 3) - (4 + 3));
  const auto s = LabelSettings::Read(block);
  ASSERT_TRUE(s);
  EXPECT_EQ(s->text, label.text);
  EXPECT_TRUE(s->data_source.empty());
}

TEST(LabelDrawTextFlags, FollowAlignmentAndWrap) {
  struct Case {
    std::int32_t horizontal, vertical;
    bool wrap;
    std::uint32_t flags;
  };
  const Case cases[] = {
      {0, 0, true, 0x114},  // the usage text
      {0, 1, false, 0x124}, // the two red lines
      {1, 0, false, 0x121}, {2, 2, false, 0x12A}, {2, 2, true, 0x116},
  };
  for (const Case& c : cases) {
    LabelSettings s;
    s.horizontal_alignment = c.horizontal;
    s.vertical_alignment = c.vertical;
    s.word_wrap = c.wrap;
    EXPECT_EQ(LabelDrawTextFlags(s), c.flags) << c.horizontal << "/" << c.vertical << "/" << c.wrap;
  }
}

}  // namespace
}  // namespace varnelt
