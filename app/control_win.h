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

using SettingValue = std::variant<std::int32_t, std::string, Bytes>;

class Control {
 public:
  explicit Control(const UnitRecord& unit) : unit_(unit) {}
  virtual ~Control() = default;
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

  HWND hwnd_ = nullptr;
  UnitRecord unit_;
};

// Window style bits every control starts with: a hidden child that clips its siblings,
// disabled when its layout says so.
DWORD ChildStyle(const UnitRecord& unit, DWORD kind_style);

// Makes a control of the record's kind as a hidden child of `parent` with the control id;
// nothing when its settings block cannot be read or its window cannot be made.
std::unique_ptr<Control> CreateControl(const UnitRecord& unit, HWND parent, int control_id);

}  // namespace varnelt
