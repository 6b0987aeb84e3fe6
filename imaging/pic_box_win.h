#pragma once
// The picture panel: a child window that shows one picture, given as the bytes of a
// picture file, over a solid background, in one of three display modes.

#include <windows.h>

#include <memory>

#include "app/control_win.h"

namespace varnelt {

// Nothing when the settings block cannot be read or the window cannot be made.
std::unique_ptr<Control> CreatePicBox(const UnitRecord& unit, HWND parent, int control_id);

// Setting numbers of the panel's own properties.
namespace picbox_setting {
inline constexpr int kBorderStyle = 8;
inline constexpr int kBackgroundColour = 9;
inline constexpr int kPicture = 10;
inline constexpr int kDisplayMode = 11;
inline constexpr int kAnimate = 12;
inline constexpr int kDataSource = 13;
inline constexpr int kDataColumn = 14;
}  // namespace picbox_setting

}  // namespace varnelt
