#pragma once
// The file dialog kind: a hidden placeholder in the layout that shows the system's open or
// save dialog on request and remembers the full path last confirmed in it.

#include <windows.h>

#include <memory>
#include <string>

#include "app/control_win.h"

namespace varnelt {

class FileDialog : public Control {
 public:
  using Control::Control;
  // Shows the dialog modally; true when the user confirmed a file, whose full path is then
  // the file name. False on cancel, a failed dialog, or a dialog type this program has no
  // dialog for; nothing changes then.
  virtual bool Show() = 0;
  // The last confirmed full path; empty before the first.
  virtual std::wstring FileName() const = 0;
};

// Setting number of the file name.
inline constexpr int kFileDialogFileName = 10;

// Nothing when the settings block cannot be read or the placeholder window cannot be made.
std::unique_ptr<Control> CreateFileDialog(const UnitRecord& unit, HWND parent, int control_id);

}  // namespace varnelt
