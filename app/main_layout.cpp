#include "app/main_layout.h"

#include <algorithm>

#include "app/text_control_settings.h"
#include "app/texts.h"
#include "app/window_settings.h"
#include "files/file_dialog_settings.h"
#include "imaging/picbox_settings.h"
#include "resources/layout_pictures.h"

namespace varnelt {
namespace {

using namespace state_bits;

Bytes WindowBlock() {
  WindowSettings s;
  s.title = texts::kWindowTitle;
  return s.Write();
}

Bytes ButtonBlock(const char* caption) {
  ButtonSettings s;
  s.caption = caption;
  return s.Write();
}

Bytes UsageBlock() {
  LabelSettings s;
  s.text = texts::kUsage;
  s.word_wrap = true;
  return s.Write();
}

Bytes RedLineBlock(const char* text) {
  LabelSettings s;
  s.text = text;
  s.text_colour = 0x0000FF;
  s.vertical_alignment = 1;
  return s.Write();
}

Bytes PanelBlock(std::uint32_t background, std::int32_t display_mode, const std::uint8_t* picture,
                 std::size_t picture_size) {
  PicBoxSettings s;
  s.background_colour = background;
  s.display_mode = display_mode;
  s.picture.assign(picture, picture + picture_size);
  return s.Write();
}

// Both dialogs keep the defaults (an existing file in an existing folder, confirmation
// before overwriting) but for their type, filter and default extension.
Bytes DialogBlock(std::int32_t type, const char* filter, const char* default_extension) {
  FileDialogSettings s;
  s.dialog_type = type;
  s.filter = filter;
  s.default_extension = default_extension;
  return s.Write();
}

Bytes HelpBoxBlock() {
  GroupBoxSettings s;
  s.caption = texts::kHelpBox;
  return s.Write();
}

UnitRecord Unit(std::uint32_t id, KindCode kind, const char* name, std::uint32_t parent, std::int32_t left,
                std::int32_t top, std::int32_t width, std::int32_t height, std::uint32_t state, Bytes settings,
                std::vector<EventBinding> events = {}) {
  UnitRecord u;
  u.layout_id = id;
  u.kind = kind;
  u.name = name;
  u.parent_id = parent;
  u.left = left;
  u.top = top;
  u.width = width;
  u.height = height;
  u.state = state;
  u.settings = std::move(settings);
  u.events = std::move(events);
  return u;
}

}  // namespace

std::vector<UnitRecord> MainLayoutUnits() {
  using namespace layout_id;
  constexpr std::uint32_t kWindow = kMainWindow;

  UnitRecord window = Unit(kWindow, KindCode::kWindow, "", 0, 50, 50, 396, 271, kVisible, WindowBlock(),
                           {{0, HandlerRef::kWindowCreated}});

  // Controls in creation order. Places are in the parent's client area.
  std::vector<UnitRecord> controls;
  // The frame: a black border around the photo slot, the badge over the slot's top.
  controls.push_back(Unit(kFramePanel, KindCode::kPicBox, texts::kNameFramePanel, kWindow, 0, 0, 159, 246, kVisible,
                          PanelBlock(kDefaultColour, 0, kFramePicture, kFramePicture_size)));
  controls.push_back(Unit(kPhotoSlot, KindCode::kPicBox, texts::kNamePhotoSlot, kFramePanel, 9, 10, 141, 226,
                          kVisible, PanelBlock(0x00FFFFFF, 1, nullptr, 0)));
  controls.push_back(Unit(kBadge, KindCode::kPicBox, texts::kNameBadge, kPhotoSlot, 43, 6, 12, 12, kVisible,
                          PanelBlock(0x000000FF, 0, kBadgePicture, kBadgePicture_size)));
  controls.push_back(Unit(kLoadButton, KindCode::kButton, texts::kNameLoadButton, kWindow, 169, 164, 96, 24,
                          kVisible | kTabStop, ButtonBlock(texts::kLoadButton), {{0, HandlerRef::kLoadClicked}}));
  controls.push_back(Unit(kOpenDialog, KindCode::kCommonDlg, texts::kNameOpenDialog, kWindow, 202, 216, 26, 26, 0,
                          DialogBlock(0, "", ".jpg")));
  controls.push_back(Unit(kSaveDialog, KindCode::kCommonDlg, texts::kNameSaveDialog, kWindow, 165, 216, 26, 26, 0,
                          DialogBlock(1, texts::kBmpFilter, ".bmp")));
  controls.push_back(Unit(kSaveButton, KindCode::kButton, texts::kNameSaveButton, kWindow, 288, 164, 96, 24,
                          kVisible | kTabStop, ButtonBlock(texts::kSaveButton), {{0, HandlerRef::kSaveClicked}}));
  controls.push_back(Unit(kCredit, KindCode::kLabel, texts::kNameCredit, kWindow, 248, 200, 64, 16, kVisible,
                          RedLineBlock(texts::kCredit)));
  controls.push_back(Unit(kContact, KindCode::kLabel, texts::kNameContact, kWindow, 240, 224, 80, 16, kVisible,
                          RedLineBlock(texts::kContact)));
  controls.push_back(
      Unit(kHelpBox, KindCode::kGroupBox, texts::kNameHelpBox, kWindow, 168, 3, 216, 149, kVisible, HelpBoxBlock()));
  controls.push_back(
      Unit(kUsage, KindCode::kLabel, texts::kNameUsage, kHelpBox, 5, 21, 203, 120, kVisible, UsageBlock()));

  // Each control lists the controls it contains; the window's record lists none.
  for (UnitRecord& parent : controls) {
    for (const UnitRecord& child : controls) {
      if (child.parent_id == parent.layout_id) parent.child_ids.push_back(child.layout_id);
    }
  }

  std::vector<UnitRecord> units{std::move(window)};
  std::move(controls.rbegin(), controls.rend(), std::back_inserter(units));
  return units;
}

Bytes MainLayoutTable() { return WriteLayoutTable(MainLayoutUnits()); }

}  // namespace varnelt
