#pragma once
// The main window: made from the layout records, it creates its controls, stacks and shows
// them, raises its created event, handles the keyboard before dispatch and keeps the
// focus on the control that last had it.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/control_win.h"
#include "app/layout_record.h"
#include "app/window_settings.h"

namespace varnelt {

class MainWindow;

// Runs the handler that an event binding names.
using EventDispatcher = std::function<void(HandlerRef, MainWindow&)>;

// Told when a layout window is finally destroyed (its last message).
using FinalDestroyHook = std::function<void(MainWindow&)>;

inline constexpr wchar_t kMainWindowClass[] = L"OrvaneWindow";
inline constexpr int kFirstControlId = 100;
inline constexpr int kControlIdStep = 10;

class MainWindow {
 public:
  // Creates the window and every control from the records (window first, then controls in
  // the reverse of creation order), raises the created event and shows the window.
  // Nothing when the window or any control cannot be made; the window is then destroyed.
  // The object lives until the window's final destruction.
  static MainWindow* Create(const std::vector<UnitRecord>& units, HICON big_icon, HICON small_icon,
                            EventDispatcher dispatcher, FinalDestroyHook on_final_destroy);

  HWND hwnd() const { return hwnd_; }
  Control* FindControl(std::uint32_t layout_id) const;

  std::optional<SettingValue> ReadSetting(std::uint32_t control_layout_id, int number) const;
  void WriteSetting(std::uint32_t control_layout_id, int number, const SettingValue& value);

  // The keyboard pre-translation; true when the message was consumed.
  bool PreTranslate(const MSG& message);

  // The layout window that owns `hwnd` (itself), or null.
  static MainWindow* FromHandle(HWND hwnd);

 private:
  MainWindow(WindowSettings settings, std::vector<UnitRecord> units, EventDispatcher dispatcher,
             FinalDestroyHook on_final_destroy);
  bool CreateWindowAndControls(HICON big_icon, HICON small_icon);
  void RaiseEvent(const UnitRecord& unit, std::uint32_t event);
  void FocusTabStop(bool forward);
  void FocusRemembered();
  std::vector<std::size_t> CurrentTabStops() const;
  std::optional<std::size_t> ControlIndexOf(HWND hwnd) const;

  static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void OnPaint();
  void OnCommand(WPARAM wparam, LPARAM lparam);
  void OnActivate(WPARAM wparam);

  WindowSettings settings_;
  std::vector<UnitRecord> units_;  // window first, then controls in creation order
  std::vector<std::unique_ptr<Control>> controls_;  // creation order
  EventDispatcher dispatcher_;
  FinalDestroyHook on_final_destroy_;
  HWND hwnd_ = nullptr;
  HWND remembered_focus_ = nullptr;
};

}  // namespace varnelt
