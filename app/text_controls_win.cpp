#include "app/text_controls_win.h"

#include <commctrl.h>

#include <cstring>

#include "app/text_control_settings.h"
#include "app/wide_text_win.h"
#include "app/win_handles.h"
#include "app/window_settings.h"

namespace varnelt {

namespace {

constexpr wchar_t kLabelClass[] = L"VarneltLabel";

HMENU ControlIdMenu(int control_id) {
  return reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id));
}

HINSTANCE ThisModule() { return GetModuleHandleW(nullptr); }

// A label: a window of the program's own class that fills its background and draws its
// text with DrawText on every paint.
class Label final : public Control {
 public:
  Label(const UnitRecord& unit, LabelSettings settings) : Control(unit), settings_(std::move(settings)) {}
  ~Label() override { DestroyOwnWindow(); }

  bool Create(HWND parent, int control_id) {
    if (!RegisterOwnWindowClass(kLabelClass, &Label::WndProc)) return false;
    hwnd_ = CreateWindowExW(0, kLabelClass, WideFromGbk(settings_.text).c_str(), ChildStyle(unit_, 0), unit_.left,
                            unit_.top, unit_.width, unit_.height, parent, ControlIdMenu(control_id), ThisModule(),
                            this);
    return hwnd_ != nullptr;
  }

 protected:
  std::optional<SettingValue> ReadOwnSetting(int number) const override {
    if (number == 8) return settings_.text;
    return std::nullopt;
  }

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = WindowObject<Label>(hwnd, message, lparam);
    if (self != nullptr && message == WM_PAINT) {
      self->OnPaint(hwnd);
      return 0;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }

  void OnPaint(HWND hwnd) {
    PaintScope paint(hwnd);
    UniqueBrush background(CreateSolidBrush(ResolveColour(settings_.background_colour)));
    FillRect(paint.dc(), &paint.area(), background.get());
    if (settings_.text.empty()) return;

    UniqueFont own_font;
    if (settings_.font.size() >= sizeof(LOGFONTA)) {
      LOGFONTA font{};
      std::memcpy(&font, settings_.font.data(), sizeof font);
      font.lfCharSet = DEFAULT_CHARSET;
      font.lfOutPrecision = OUT_DEFAULT_PRECIS;
      font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
      font.lfQuality = PROOF_QUALITY;
      font.lfPitchAndFamily = DEFAULT_PITCH;
      own_font.reset(CreateFontIndirectA(&font));
    }
    SelectScope font(paint.dc(), own_font ? static_cast<HGDIOBJ>(own_font.get()) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(paint.dc(), TRANSPARENT);
    SetTextColor(paint.dc(), static_cast<COLORREF>(settings_.text_colour & 0x00FFFFFF));
    RECT client{};
    GetClientRect(hwnd, &client);
    const std::wstring text = WideFromGbk(settings_.text);
    DrawTextW(paint.dc(), text.c_str(), static_cast<int>(text.size()), &client, LabelDrawTextFlags(settings_));
  }

  LabelSettings settings_;
};

// The group box: a system BUTTON with BS_GROUPBOX. It answers the colour request with
// black on the button face and fills its background with that brush.
class GroupBox final : public Control {
 public:
  GroupBox(const UnitRecord& unit, GroupBoxSettings settings) : Control(unit), settings_(std::move(settings)) {}
  ~GroupBox() override {
    if (hwnd_ != nullptr && IsWindow(hwnd_)) RemoveWindowSubclass(hwnd_, &GroupBox::SubclassProc, 0);
    DestroyOwnWindow();
  }

  bool Create(HWND parent, int control_id) {
    hwnd_ = CreateWindowExW(0, L"BUTTON", WideFromGbk(settings_.caption).c_str(),
                            ChildStyle(unit_, BS_LEFT | BS_GROUPBOX), unit_.left, unit_.top, unit_.width,
                            unit_.height, parent, ControlIdMenu(control_id), ThisModule(), nullptr);
    if (hwnd_ == nullptr) return false;
    brush_.reset(CreateSolidBrush(ResolveColour(settings_.background_colour)));
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return SetWindowSubclass(hwnd_, &GroupBox::SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this)) != FALSE;
  }

  HBRUSH OnCtlColor(HDC dc) override {
    SetTextColor(dc, static_cast<COLORREF>(settings_.text_colour & 0x00FFFFFF));
    SetBkColor(dc, ResolveColour(settings_.background_colour));
    return brush_.get();
  }

 protected:
  std::optional<SettingValue> ReadOwnSetting(int number) const override {
    if (number == 8) return settings_.caption;
    return std::nullopt;
  }

 private:
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                       DWORD_PTR data) {
    auto* self = reinterpret_cast<GroupBox*>(data);
    if (message == WM_ERASEBKGND) {
      RECT client{};
      GetClientRect(hwnd, &client);
      FillRect(reinterpret_cast<HDC>(wparam), &client, self->brush_.get());
      return 1;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, &GroupBox::SubclassProc, 0);
    return DefSubclassProc(hwnd, message, wparam, lparam);
  }

  GroupBoxSettings settings_;
  UniqueBrush brush_;
};

// A plain push button of the system's BUTTON class; its click raises event 0.
class Button final : public Control {
 public:
  Button(const UnitRecord& unit, ButtonSettings settings) : Control(unit), settings_(std::move(settings)) {}

  bool Create(HWND parent, int control_id) {
    const DWORD style = WS_TABSTOP | BS_MULTILINE | BS_CENTER | BS_VCENTER |
                        (settings_.button_type == 1 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    hwnd_ = CreateWindowExW(0, L"BUTTON", WideFromGbk(settings_.caption).c_str(), ChildStyle(unit_, style),
                            unit_.left, unit_.top, unit_.width, unit_.height, parent, ControlIdMenu(control_id),
                            ThisModule(), nullptr);
    if (hwnd_ == nullptr) return false;
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return true;
  }

  bool TakesTabStops() const override { return true; }

 protected:
  std::optional<SettingValue> ReadOwnSetting(int number) const override {
    if (number == 10) return settings_.caption;
    return std::nullopt;
  }

 private:
  ButtonSettings settings_;
};

template <typename Kind, typename Settings>
std::unique_ptr<Control> Make(const UnitRecord& unit, HWND parent, int control_id) {
  auto settings = Settings::Read(unit.settings);
  if (!settings) return nullptr;
  auto control = std::make_unique<Kind>(unit, std::move(*settings));
  if (!control->Create(parent, control_id)) return nullptr;
  return control;
}

}  // namespace

std::unique_ptr<Control> CreateLabel(const UnitRecord& unit, HWND parent, int control_id) {
  return Make<Label, LabelSettings>(unit, parent, control_id);
}

std::unique_ptr<Control> CreateGroupBox(const UnitRecord& unit, HWND parent, int control_id) {
  return Make<GroupBox, GroupBoxSettings>(unit, parent, control_id);
}

std::unique_ptr<Control> CreateButton(const UnitRecord& unit, HWND parent, int control_id) {
  return Make<Button, ButtonSettings>(unit, parent, control_id);
}

}  // namespace varnelt
