#pragma once
// A control of the main window, as every kind plugs into the layout: made from its layout
// record (common part and settings block) as a hidden child window, addressed by layout id,
// its settings read and written by number (0 to 7 common, 8 on the kind's own).

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "app/layout_record.h"

namespace varnelt {

// A setting's value: an integer, a GBK text, bytes, or a file path. Paths are UTF-16, as
// the system's dialogs give them, so that any file can be named.
using SettingValue = std::variant<std::int32_t, std::string, Bytes, std::wstring>;

class Control {
 public:
  explicit Control(const UnitRecord& unit) : unit_(unit) {}
  // A control that outlives its window's parent has nothing left to destroy; one freed
  // while its window exists takes the window with it.
  virtual ~Control() { DestroyOwnWindow(); }
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  HWND hwnd() const { return hwnd_; }
  const UnitRecord& unit() const { return unit_; }
  std::uint32_t layout_id() const { return unit_.layout_id; }

  // Whether the kind takes part in tabbing (buttons do).
  virtual bool TakesTabStops() const { return false; }
  // The answer to WM_CTLCOLOR* that the system sends the parent for this control; null
  // leaves it to the default.
  virtual HBRUSH OnCtlColor(HDC) { return nullptr; }

  // Settings by number: 0-7 common to every kind, 8 on the kind's own.
  std::optional<SettingValue> ReadSetting(int number) const;
  void WriteSetting(int number, const SettingValue& value);

 protected:
  virtual std::optional<SettingValue> ReadOwnSetting(int) const { return std::nullopt; }
  virtual void WriteOwnSetting(int, const SettingValue&) {}
  // Cuts the window off from this object (kinds of the program's own classes find their
  // object through GWLP_USERDATA) and destroys it. Kinds call it first in their
  // destructors, so that no message reaches a half-destroyed object.
  void DestroyOwnWindow();

  HWND hwnd_ = nullptr;
  UnitRecord unit_;
};

// Window style bits every control starts with: a hidden child that clips its siblings,
// disabled when its layout says so.
DWORD ChildStyle(const UnitRecord& unit, DWORD kind_style);

// The colour a setting stands for: the default colour 0xFF000000 is the button face,
// looked up at each use.
COLORREF ResolveColour(std::uint32_t colour);

// Registers, once per process, a window class of the program's own: CS_DBLCLKS,
// CS_HREDRAW and CS_VREDRAW, the arrow cursor and the hollow brush as background, so that
// erasing draws nothing and each window paints itself in one pass.
bool RegisterOwnWindowClass(const wchar_t* name, WNDPROC proc);

// The object a window of one of the program's classes was created for: stored from the
// creation parameter at WM_NCCREATE, null before and after.
template <typename T>
T* WindowObject(HWND hwnd, UINT message, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// Makes a control of the record's kind as a hidden child of `parent` with the control id;
// nothing when its settings block cannot be read or its window cannot be made.
std::unique_ptr<Control> CreateControl(const UnitRecord& unit, HWND parent, int control_id);

}  // namespace varnelt
