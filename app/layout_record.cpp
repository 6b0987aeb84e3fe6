#include "app/layout_record.h"

namespace varnelt {
namespace {

constexpr std::size_t kReserved = 20;

Bytes WriteRecord(const UnitRecord& unit) {
  static const std::uint8_t zeros[kReserved] = {};
  SettingsWriter w;
  w.U32(static_cast<std::uint32_t>(unit.kind)).Raw(zeros, kReserved);
  w.CString(unit.name).CString(unit.remark);
  w.U32(0);  // object slot
  w.I32(unit.left).I32(unit.top).I32(unit.width).I32(unit.height);
  w.U32(0);  // cursor slot
  w.U32(unit.parent_id);
  w.U32(static_cast<std::uint32_t>(unit.child_ids.size()));
  for (std::uint32_t id : unit.child_ids) w.U32(id);
  w.Data(unit.mouse_pointer);
  w.CString(unit.tag);
  w.U32(0);  // reserved
  w.U32(unit.state).I32(unit.tab_order);
  w.U32(static_cast<std::uint32_t>(unit.events.size()));
  for (const EventBinding& b : unit.events) w.U32(b.event).U32(static_cast<std::uint32_t>(b.handler));
  w.Raw(zeros, kReserved);
  w.Raw(unit.settings.data(), unit.settings.size());
  return w.Take();
}

bool IsKnownKind(std::uint32_t code) {
  switch (static_cast<KindCode>(code)) {
    case KindCode::kWindow:
    case KindCode::kPicBox:
    case KindCode::kGroupBox:
    case KindCode::kLabel:
    case KindCode::kButton:
    case KindCode::kCommonDlg:
      return true;
  }
  return false;
}

std::optional<UnitRecord> ReadRecord(std::uint32_t layout_id, const std::uint8_t* data, std::size_t size) {
  SettingsReader r(data, size);
  UnitRecord unit;
  unit.layout_id = layout_id;
  std::uint32_t code = 0, slot = 0, count = 0, reserved = 0;
  if (!r.U32(code) || !IsKnownKind(code) || !r.Skip(kReserved)) return std::nullopt;
  unit.kind = static_cast<KindCode>(code);
  if (!r.CString(unit.name) || !r.CString(unit.remark) || !r.U32(slot)) return std::nullopt;
  if (!r.I32(unit.left) || !r.I32(unit.top) || !r.I32(unit.width) || !r.I32(unit.height)) return std::nullopt;
  if (!r.U32(slot) || !r.U32(unit.parent_id) || !r.U32(count)) return std::nullopt;
  if (count > r.remaining() / 4) return std::nullopt;
  unit.child_ids.resize(count);
  for (std::uint32_t& id : unit.child_ids) r.U32(id);
  if (!r.Data(unit.mouse_pointer) || !r.CString(unit.tag) || !r.U32(reserved)) return std::nullopt;
  if (!r.U32(unit.state) || !r.I32(unit.tab_order) || !r.U32(count)) return std::nullopt;
  if (count > r.remaining() / 8) return std::nullopt;
  unit.events.resize(count);
  for (EventBinding& b : unit.events) {
    std::uint32_t handler = 0;
    r.U32(b.event);
    r.U32(handler);
    b.handler = static_cast<HandlerRef>(handler);
  }
  if (!r.Skip(kReserved)) return std::nullopt;
  const std::size_t settings_at = size - r.remaining();
  unit.settings.assign(data + settings_at, data + size);
  return unit;
}

}  // namespace

Bytes WriteLayoutTable(const std::vector<UnitRecord>& units) {
  SettingsWriter table;
  table.U32(static_cast<std::uint32_t>(units.size()));
  for (const UnitRecord& unit : units) {
    const Bytes record = WriteRecord(unit);
    table.U32(static_cast<std::uint32_t>(record.size())).U32(unit.layout_id);
    table.Raw(record.data(), record.size());
  }
  return table.Take();
}

std::optional<std::vector<UnitRecord>> ReadLayoutTable(const std::uint8_t* data, std::size_t size) {
  SettingsReader r(data, size);
  std::vector<UnitRecord> units;
  std::uint32_t count = 0;
  if (!r.U32(count)) return std::nullopt;
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint32_t length = 0, layout_id = 0;
    if (!r.U32(length) || !r.U32(layout_id) || length > r.remaining()) return std::nullopt;
    const std::uint8_t* record = data + (size - r.remaining());
    auto unit = ReadRecord(layout_id, record, length);
    if (!unit) return std::nullopt;
    units.push_back(std::move(*unit));
    r.Skip(length);
  }
  if (!r.AtEnd() || units.empty() || units.front().kind != KindCode::kWindow) return std::nullopt;
  return units;
}

}  // namespace varnelt
