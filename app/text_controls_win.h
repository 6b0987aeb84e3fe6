#pragma once
// The label, group box and button kinds.

#include <windows.h>

#include <memory>

#include "app/control_win.h"

namespace varnelt {

std::unique_ptr<Control> CreateLabel(const UnitRecord& unit, HWND parent, int control_id);
std::unique_ptr<Control> CreateGroupBox(const UnitRecord& unit, HWND parent, int control_id);
std::unique_ptr<Control> CreateButton(const UnitRecord& unit, HWND parent, int control_id);

}  // namespace varnelt
