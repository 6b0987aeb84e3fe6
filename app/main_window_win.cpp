#include "app/main_window_win.h"

#include <algorithm>

#include "app/keyboard_rules.h"
#include "app/startup_rules.h"
#include "app/text_controls_win.h"
#include "app/wide_text_win.h"
#include "app/win_handles.h"

namespace varnelt {
namespace {

constexpr DWORD kMainWindowStyle = WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU;  // 0x02C80000

HINSTANCE ThisModule() { return GetModuleHandleW(nullptr); }

Modifiers CurrentModifiers() {
  return {(GetKeyState(VK_CONTROL) & 0x8000) != 0, (GetKeyState(VK_SHIFT) & 0x8000) != 0,
          (GetKeyState(VK_MENU) & 0x8000) != 0};
}

}  // namespace

MainWindow::MainWindow(WindowSettings settings, std::vector<UnitRecord> units, EventDispatcher dispatcher,
                       FinalDestroyHook on_final_destroy)
    : settings_(std::move(settings)),
      units_(std::move(units)),
      dispatcher_(std::move(dispatcher)),
      on_final_destroy_(std::move(on_final_destroy)) {}

MainWindow* MainWindow::Create(const std::vector<UnitRecord>& records, HICON big_icon, HICON small_icon,
                               EventDispatcher dispatcher, FinalDestroyHook on_final_destroy) {
  if (records.empty() || records.front().kind != KindCode::kWindow) return nullptr;
  auto settings = WindowSettings::Read(records.front().settings);
  if (!settings) return nullptr;
  // Records hold the controls in the reverse of creation order.
  std::vector<UnitRecord> units{records.front()};
  units.insert(units.end(), records.rbegin(), records.rend() - 1);

  auto* window = new MainWindow(std::move(*settings), std::move(units), std::move(dispatcher),
                                std::move(on_final_destroy));
  if (!window->CreateWindowAndControls(big_icon, small_icon)) {
    // Destroying the window frees the object at its final message; without a window
    // there is nothing to free it but us.
    if (window->hwnd_ != nullptr) {
      window->on_final_destroy_ = nullptr;
      DestroyWindow(window->hwnd_);
    } else {
      delete window;
    }
    return nullptr;
  }
  return window;
}

bool MainWindow::CreateWindowAndControls(HICON big_icon, HICON small_icon) {
  if (!RegisterOwnWindowClass(kMainWindowClass, &MainWindow::WndProc)) return false;
  const UnitRecord& self = units_.front();

  // 1. The window, hidden, centred on the primary screen when its start position says so.
  Point origin{self.left, self.top};
  if (settings_.start_position == 1) {
    origin = CentredOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), self.width, self.height);
  }
  hwnd_ = CreateWindowExW(0, kMainWindowClass, WideFromGbk(settings_.title).c_str(), kMainWindowStyle, origin.x,
                          origin.y, self.width, self.height, nullptr, nullptr, ThisModule(), this);
  if (hwnd_ == nullptr) return false;
  RECT outer{};
  GetWindowRect(hwnd_, &outer);
  if (outer.right - outer.left != self.width || outer.bottom - outer.top != self.height) {
    SetWindowPos(hwnd_, nullptr, outer.left, outer.top, self.width, self.height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (big_icon != nullptr) SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon));
  if (small_icon != nullptr) SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon));
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);

  // 2. Every control, hidden, as a child of the window, ids 100, 110, ... in creation order.
  for (std::size_t i = 1; i < units_.size(); ++i) {
    const int control_id = kFirstControlId + kControlIdStep * static_cast<int>(i - 1);
    auto control = CreateControl(units_[i], hwnd_, control_id);
    if (!control) return false;
    controls_.push_back(std::move(control));
  }

  // 3. Each control under its parent, at its place in the parent's client area.
  for (const auto& control : controls_) {
    const UnitRecord& unit = control->unit();
    if (unit.parent_id == 0 || unit.parent_id == self.layout_id) continue;
    Control* parent = FindControl(unit.parent_id);
    if (parent == nullptr) return false;
    SetParent(control->hwnd(), parent->hwnd());
    SetWindowPos(control->hwnd(), nullptr, unit.left, unit.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  // 4. Stacking: each control directly below the sibling created after it.
  for (const auto& control : controls_) {
    SetWindowPos(control->hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }

  // 5. Show the visible controls; the window stays hidden.
  for (const auto& control : controls_) {
    ShowWindow(control->hwnd(), control->unit().visible() ? SW_SHOWNA : SW_HIDE);
  }

  // 6. The created event.
  RaiseEvent(self, 0);

  // 7. Show the window; it takes the focus and passes it on.
  if (!IsWindow(hwnd_)) return false;
  ShowWindow(hwnd_, SW_SHOW);
  return true;
}

Control* MainWindow::FindControl(std::uint32_t layout_id) const {
  for (const auto& control : controls_) {
    if (control->layout_id() == layout_id) return control.get();
  }
  return nullptr;
}

std::optional<SettingValue> MainWindow::ReadSetting(std::uint32_t control_layout_id, int number) const {
  const Control* control = FindControl(control_layout_id);
  if (control == nullptr) return std::nullopt;
  return control->ReadSetting(number);
}

void MainWindow::WriteSetting(std::uint32_t control_layout_id, int number, const SettingValue& value) {
  if (Control* control = FindControl(control_layout_id)) control->WriteSetting(number, value);
}

void MainWindow::RaiseEvent(const UnitRecord& unit, std::uint32_t event) {
  if (!dispatcher_) return;
  for (const EventBinding& binding : unit.events) {
    if (binding.event == event) dispatcher_(binding.handler, *this);
  }
}

std::optional<std::size_t> MainWindow::ControlIndexOf(HWND hwnd) const {
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (controls_[i]->hwnd() == hwnd) return i;
  }
  return std::nullopt;
}

std::vector<std::size_t> MainWindow::CurrentTabStops() const {
  std::vector<TabCandidate> candidates;
  for (const auto& control : controls_) {
    const HWND h = control->hwnd();
    candidates.push_back({control->TakesTabStops(), IsWindowVisible(h) != FALSE, IsWindowEnabled(h) != FALSE,
                          control->unit().tab_stop(), control->unit().tab_order});
  }
  return TabStops(candidates);
}

void MainWindow::FocusTabStop(bool forward) {
  const auto next = NextTabStop(CurrentTabStops(), ControlIndexOf(GetFocus()), forward);
  if (next) SetFocus(controls_[*next]->hwnd());
}

void MainWindow::FocusRemembered() {
  if (remembered_focus_ != nullptr && IsWindow(remembered_focus_) && IsChild(hwnd_, remembered_focus_)) {
    SetFocus(remembered_focus_);
    return;
  }
  const auto stops = CurrentTabStops();
  if (!stops.empty()) SetFocus(controls_[stops.front()]->hwnd());
}

bool MainWindow::PreTranslate(const MSG& message) {
  if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
  switch (KeyActionFor(static_cast<std::uint32_t>(message.wParam), CurrentModifiers(), settings_.esc_closes)) {
    case KeyAction::kNextTabStop:
      FocusTabStop(true);
      return true;
    case KeyAction::kPreviousTabStop:
      FocusTabStop(false);
      return true;
    case KeyAction::kClose:
      SendMessageW(hwnd_, WM_CLOSE, 0, 0);
      return true;
    case KeyAction::kNone:
      return false;
  }
  return false;
}

MainWindow* MainWindow::FromHandle(HWND hwnd) {
  wchar_t name[32] = {};
  if (GetClassNameW(hwnd, name, 32) == 0 || lstrcmpW(name, kMainWindowClass) != 0) return nullptr;
  if (GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId()) return nullptr;
  return reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

LRESULT CALLBACK MainWindow::WndProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<const CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    const LRESULT result = DefWindowProcW(hwnd, message, wparam, lparam);
    // The final destruction: the controls' windows are gone, free their objects.
    self->controls_.clear();
    if (self->on_final_destroy_) self->on_final_destroy_(*self);
    delete self;
    return result;
  }
  return self->HandleMessage(message, wparam, lparam);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_COMMAND:
      OnCommand(wparam, lparam);
      return 0;
    case WM_ACTIVATE:
      OnActivate(wparam);
      break;
    case WM_SETFOCUS:
      FocusRemembered();
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      if (auto index = ControlIndexOf(reinterpret_cast<HWND>(lparam))) {
        if (HBRUSH brush = controls_[*index]->OnCtlColor(reinterpret_cast<HDC>(wparam))) {
          return reinterpret_cast<LRESULT>(brush);
        }
      }
      break;
    }
    case WM_QUERYENDSESSION:
      return TRUE;  // closing is never refused
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

void MainWindow::OnPaint() {
  PaintScope paint(hwnd_);
  UniqueBrush background(CreateSolidBrush(ResolveColour(settings_.background_colour)));
  FillRect(paint.dc(), &paint.area(), background.get());
}

void MainWindow::OnCommand(WPARAM wparam, LPARAM lparam) {
  if (HIWORD(wparam) != BN_CLICKED || lparam == 0) return;
  if (auto index = ControlIndexOf(reinterpret_cast<HWND>(lparam))) {
    if (controls_[*index]->unit().kind == KindCode::kButton) RaiseEvent(controls_[*index]->unit(), 0);
  }
}

void MainWindow::OnActivate(WPARAM wparam) {
  if (LOWORD(wparam) != WA_INACTIVE) return;
  const HWND focus = GetFocus();
  if (focus != nullptr && IsChild(hwnd_, focus)) remembered_focus_ = focus;
}

}  // namespace varnelt
