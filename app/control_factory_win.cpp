#include "app/control_win.h"
#include "app/text_controls_win.h"
#include "files/file_dialog_win.h"
#include "imaging/pic_box_win.h"

namespace varnelt {

std::unique_ptr<Control> CreateControl(const UnitRecord& unit, HWND parent, int control_id) {
  switch (unit.kind) {
    case KindCode::kLabel: return CreateLabel(unit, parent, control_id);
    case KindCode::kGroupBox: return CreateGroupBox(unit, parent, control_id);
    case KindCode::kButton: return CreateButton(unit, parent, control_id);
    case KindCode::kPicBox: return CreatePicBox(unit, parent, control_id);
    case KindCode::kCommonDlg: return CreateFileDialog(unit, parent, control_id);
    case KindCode::kWindow:
      break;
  }
  return nullptr;
}

}  // namespace varnelt
