#pragma once
// Layout records: the main window and each of its controls as one unit record, the
// window's first and then the controls' in the reverse of creation order.
//
// Table of records (all integers 32-bit little-endian): the number of records, then
//   +--------+-----------+----------------------------+
//   | length | layout id | record (length bytes)      |  repeated for every unit
//   +--------+-----------+----------------------------+
// Record = common part, then the kind's settings block (the rest of the record):
//   kind code | 20 reserved | name\0 | remark\0 | object slot | left top width height |
//   cursor slot | parent id | child count k | k child ids | pointer length L | L bytes |
//   tag\0 | reserved | state bits | tab order | binding count e | e x (event, handler) |
//   20 reserved | settings block ...

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/settings_block.h"

namespace varnelt {

enum class KindCode : std::uint32_t {
  kWindow = 0x00010001,
  kPicBox = 0x00010006,
  kGroupBox = 0x00010009,
  kLabel = 0x0001000A,
  kButton = 0x0001000B,
  kCommonDlg = 0x0001001F,
};

// Handlers the layout can bind events to.
enum class HandlerRef : std::uint32_t {
  kNone = 0,
  kWindowCreated = 1,
  kLoadClicked = 2,
  kSaveClicked = 3,
};

struct EventBinding {
  std::uint32_t event = 0;
  HandlerRef handler = HandlerRef::kNone;
  bool operator==(const EventBinding&) const = default;
};

namespace state_bits {
inline constexpr std::uint32_t kVisible = 1;
inline constexpr std::uint32_t kDisabled = 2;
inline constexpr std::uint32_t kTabStop = 4;
}  // namespace state_bits

struct UnitRecord {
  std::uint32_t layout_id = 0;
  KindCode kind = KindCode::kWindow;
  std::string name;    // GBK
  std::string remark;
  std::int32_t left = 0, top = 0, width = 0, height = 0;
  std::uint32_t parent_id = 0;
  std::vector<std::uint32_t> child_ids;
  Bytes mouse_pointer = Bytes(4, 0);  // the default arrow
  std::string tag;
  std::uint32_t state = 0;
  std::int32_t tab_order = 0;
  std::vector<EventBinding> events;
  Bytes settings;  // the kind's settings block

  bool visible() const { return (state & state_bits::kVisible) != 0; }
  bool disabled() const { return (state & state_bits::kDisabled) != 0; }
  bool tab_stop() const { return (state & state_bits::kTabStop) != 0; }
};

// The table of records for a list of units given window first, then controls in the
// reverse of creation order.
Bytes WriteLayoutTable(const std::vector<UnitRecord>& units);

// Reads a table back; nothing when the table or any record is cut short or malformed, when
// bytes follow the last record, or when the first record is not a window.
std::optional<std::vector<UnitRecord>> ReadLayoutTable(const std::uint8_t* data, std::size_t size);

}  // namespace varnelt
