#include "files/file_dialog_win.h"

#include <commdlg.h>

#include <algorithm>
#include <array>
#include <cwchar>

#include "app/wide_text_win.h"
#include "files/file_dialog_settings.h"

namespace varnelt {
namespace {

constexpr DWORD kFileBufferChars = 260;
constexpr DWORD kFileTitleChars = 64;

// Centres the dialog over its owner once it is up; accepts every name the system
// accepted and leaves sharing violations to the system's own warning.
UINT_PTR CALLBACK DialogHook(HWND child, UINT message, WPARAM, LPARAM lparam) {
  if (message != WM_NOTIFY) return 0;
  const auto* notify = reinterpret_cast<const OFNOTIFYW*>(lparam);
  switch (notify->hdr.code) {
    case CDN_INITDONE: {
      const HWND dialog = GetParent(child);
      const HWND owner = GetWindow(dialog, GW_OWNER);
      RECT box{}, over{};
      GetWindowRect(dialog, &box);
      if (owner != nullptr) {
        GetWindowRect(owner, &over);
      } else {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &over, 0);
      }
      const int x = over.left + ((over.right - over.left) - (box.right - box.left)) / 2;
      const int y = over.top + ((over.bottom - over.top) - (box.bottom - box.top)) / 2;
      SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case CDN_FILEOK:
      SetWindowLongPtrW(child, DWLP_MSGRESULT, 0);
      return 0;
    case CDN_SHAREVIOLATION:
      SetWindowLongPtrW(child, DWLP_MSGRESULT, OFN_SHAREWARN);
      return OFN_SHAREWARN;
    default:
      return 0;
  }
}

// The window the dialog belongs to: the active window of this thread, its top-level
// ancestor, and of that the last active pop-up.
HWND DialogOwner() {
  HWND owner = GetActiveWindow();
  if (owner != nullptr && (GetWindowLongW(owner, GWL_STYLE) & WS_CHILD) != 0) owner = GetAncestor(owner, GA_ROOT);
  if (owner != nullptr) owner = GetLastActivePopup(owner);
  return owner;
}

class SystemFileDialog final : public FileDialog {
 public:
  SystemFileDialog(const UnitRecord& unit, FileDialogSettings settings)
      : FileDialog(unit), settings_(std::move(settings)), file_name_(WideFromGbk(settings_.file_name)) {}
  ~SystemFileDialog() override { DestroyOwnWindow(); }

  bool Create(HWND parent, int control_id) {
    // A placeholder without appearance: never shown, draws nothing, takes no input.
    hwnd_ = CreateWindowExW(0, L"STATIC", L"", ChildStyle(unit_, 0), unit_.left, unit_.top, unit_.width,
                            unit_.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id)),
                            GetModuleHandleW(nullptr), nullptr);
    return hwnd_ != nullptr;
  }

  bool Show() override {
    if (settings_.dialog_type != 0 && settings_.dialog_type != 1) return false;

    // The filter list goes to the system as UTF-16, converted from GBK with its zero
    // separators kept.
    const std::string list = FilterList(settings_.filter);
    std::wstring filter;
    if (!list.empty()) {
      filter = WideFromGbk(list);
      filter.push_back(L'\0');
    }
    std::array<wchar_t, kFileBufferChars> file{};
    const std::size_t keep = std::min<std::size_t>(file_name_.size(), kFileBufferChars - 1);
    std::copy_n(file_name_.begin(), keep, file.begin());
    std::array<wchar_t, kFileTitleChars> title_buffer{};
    const std::wstring title = WideFromGbk(settings_.title);
    const std::wstring initial_folder = WideFromGbk(settings_.initial_folder);
    const std::wstring default_extension = WideFromGbk(settings_.default_extension);

    const HWND owner = DialogOwner();
    OPENFILENAMEW ofn{};
    // The structure without the members later systems appended.
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    ofn.hwndOwner = owner;
    ofn.hInstance = GetModuleHandleW(nullptr);
    ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = SystemFilterIndex(list, settings_.filter_index);
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = kFileBufferChars;
    ofn.lpstrFileTitle = title_buffer.data();
    ofn.nMaxFileTitle = kFileTitleChars;
    ofn.lpstrInitialDir = initial_folder.empty() ? nullptr : initial_folder.c_str();
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    ofn.Flags = FileDialogFlags(settings_);
    ofn.lpstrDefExt = default_extension.empty() ? nullptr : default_extension.c_str();
    ofn.lpfnHook = &DialogHook;

    const HWND focus = GetFocus();
    const bool disabled_owner = owner != nullptr && IsWindowEnabled(owner);
    if (disabled_owner) EnableWindow(owner, FALSE);
    const BOOL confirmed = settings_.dialog_type == 0 ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn);
    if (disabled_owner) EnableWindow(owner, TRUE);
    if (focus != nullptr && IsWindow(focus)) SetFocus(focus);

    if (!confirmed) return false;
    file_name_.assign(file.data(), wcsnlen(file.data(), file.size()));
    return true;
  }

  std::wstring FileName() const override { return file_name_; }

 protected:
  std::optional<SettingValue> ReadOwnSetting(int number) const override {
    if (number == kFileDialogFileName) return file_name_;
    return std::nullopt;
  }

 private:
  FileDialogSettings settings_;
  // Kept as UTF-16, as the dialog returns it, so that any file can be named whatever the
  // system's ANSI code page.
  std::wstring file_name_;
};

}  // namespace

std::unique_ptr<Control> CreateFileDialog(const UnitRecord& unit, HWND parent, int control_id) {
  auto settings = FileDialogSettings::Read(unit.settings);
  if (!settings) return nullptr;
  auto dialog = std::make_unique<SystemFileDialog>(unit, std::move(*settings));
  if (!dialog->Create(parent, control_id)) return nullptr;
  return dialog;
}

}  // namespace varnelt
