#include "app/control_win.h"

#include "app/window_settings.h"

#include <utility>

namespace varnelt {

std::optional<SettingValue> Control::ReadSetting(int number) const {
  switch (number) {
    case 0: return unit_.left;
    case 1: return unit_.top;
    case 2: return unit_.width;
    case 3: return unit_.height;
    case 4: return unit_.tag;
    case 5: return static_cast<std::int32_t>(IsWindowVisible(hwnd_) ? 1 : 0);
    case 6: return static_cast<std::int32_t>(IsWindowEnabled(hwnd_) ? 0 : 1);
    case 7: return unit_.mouse_pointer;
    default: return ReadOwnSetting(number);
  }
}

void Control::WriteSetting(int number, const SettingValue& value) {
  const auto* integer = std::get_if<std::int32_t>(&value);
  switch (number) {
    case 0: case 1: case 2: case 3:
      if (integer != nullptr) {
        std::int32_t* fields[] = {&unit_.left, &unit_.top, &unit_.width, &unit_.height};
        *fields[number] = *integer;
        MoveWindow(hwnd_, unit_.left, unit_.top, unit_.width, unit_.height, TRUE);
      }
      return;
    case 4:
      if (const auto* text = std::get_if<std::string>(&value)) unit_.tag = *text;
      return;
    case 5:
      if (integer != nullptr) ShowWindow(hwnd_, *integer != 0 ? SW_SHOWNA : SW_HIDE);
      return;
    case 6:
      if (integer != nullptr) EnableWindow(hwnd_, *integer == 0);
      return;
    case 7:
      return;  // the pointer is always the arrow
    default:
      WriteOwnSetting(number, value);
  }
}

void Control::DestroyOwnWindow() {
  const HWND hwnd = std::exchange(hwnd_, nullptr);
  if (hwnd == nullptr || !IsWindow(hwnd)) return;
  if (GetWindowLongPtrW(hwnd, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this)) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  }
  DestroyWindow(hwnd);
}

bool RegisterOwnWindowClass(const wchar_t* name, WNDPROC proc) {
  const HINSTANCE module = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(module, name, &existing)) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = proc;
  wc.hInstance = module;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  wc.lpszClassName = name;
  return RegisterClassExW(&wc) != 0;
}

DWORD ChildStyle(const UnitRecord& unit, DWORD kind_style) {
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | kind_style;
  if (unit.disabled()) style |= WS_DISABLED;
  return style;
}

COLORREF ResolveColour(std::uint32_t colour) {
  return colour == kDefaultColour ? GetSysColor(COLOR_BTNFACE) : static_cast<COLORREF>(colour);
}

}  // namespace varnelt
