// Tests the layout records: the main window's table round trip, its order and child lists,
// and tables that cannot be read.
#include <gtest/gtest.h>

#include "app/layout_record.h"
#include "app/main_layout.h"
#include "app/texts.h"

namespace varnelt {
namespace {

TEST(LayoutRecords, MainLayoutRoundTrips) {
  const std::vector<UnitRecord> units = MainLayoutUnits();
  const Bytes table = WriteLayoutTable(units);
  const auto read = ReadLayoutTable(table.data(), table.size());
  ASSERT_TRUE(read);
  ASSERT_EQ(read->size(), units.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    const UnitRecord& a = units[i];
    const UnitRecord& b = (*read)[i];
    EXPECT_EQ(a.layout_id, b.layout_id);
    EXPECT_EQ(a.kind, b.kind);
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.top, b.top);
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.height, b.height);
    EXPECT_EQ(a.parent_id, b.parent_id);
    EXPECT_EQ(a.child_ids, b.child_ids);
    EXPECT_EQ(a.mouse_pointer, Bytes(4, 0));
    EXPECT_EQ(a.state, b.state);
    EXPECT_EQ(a.events, b.events);
    EXPECT_EQ(a.settings, b.settings);
  }
}

TEST(LayoutRecords, WindowFirstThenControlsInReverseCreationOrder) {
  const std::vector<UnitRecord> units = MainLayoutUnits();
  ASSERT_FALSE(units.empty());
  EXPECT_EQ(units.front().layout_id, layout_id::kMainWindow);
  EXPECT_EQ(units.front().kind, KindCode::kWindow);
  // Creation order starts with the frame panel and ends with the usage text.
  EXPECT_EQ(units.back().layout_id, layout_id::kFramePanel);
  EXPECT_EQ(units[1].layout_id, layout_id::kUsage);
  EXPECT_EQ(units[1].name, texts::kNameUsage);
}

TEST(LayoutRecords, ChildListsAndStateBits) {
  for (const UnitRecord& u : MainLayoutUnits()) {
    if (u.layout_id == layout_id::kMainWindow) {
      EXPECT_TRUE(u.child_ids.empty());
      EXPECT_EQ(u.state, 1u);
    } else if (u.layout_id == layout_id::kHelpBox) {
      EXPECT_EQ(u.child_ids, (std::vector<std::uint32_t>{layout_id::kUsage}));
    } else if (u.layout_id == layout_id::kFramePanel) {
      EXPECT_EQ(u.child_ids, (std::vector<std::uint32_t>{layout_id::kPhotoSlot}));
    } else if (u.layout_id == layout_id::kPhotoSlot) {
      EXPECT_EQ(u.child_ids, (std::vector<std::uint32_t>{layout_id::kBadge}));
    } else {
      EXPECT_TRUE(u.child_ids.empty()) << std::hex << u.layout_id;
    }
    const std::uint32_t state = u.kind == KindCode::kButton ? 5u : u.kind == KindCode::kCommonDlg ? 0u : 1u;
    if (u.kind != KindCode::kWindow) {
      EXPECT_EQ(u.state, state) << std::hex << u.layout_id;
    }
  }
}

TEST(LayoutRecords, EveryCutTableIsRefused) {
  const Bytes table = MainLayoutTable();
  // Also a cut that falls exactly between two records: the table says how many there are.
  for (std::size_t length = 0; length < table.size(); ++length) {
    EXPECT_FALSE(ReadLayoutTable(table.data(), length)) << "cut to " << length << " bytes";
  }
  Bytes longer = table;
  longer.push_back(0);
  EXPECT_FALSE(ReadLayoutTable(longer.data(), longer.size()));
}

TEST(LayoutRecords, RecordLengthBeyondTheTableIsRefused) {
  Bytes table = MainLayoutTable();
  table[4] = static_cast<std::uint8_t>(table[4] + 1);  // the first record's length
  EXPECT_FALSE(ReadLayoutTable(table.data(), table.size()));
}

TEST(LayoutRecords, UnknownKindOrNoWindowFirstIsRefused) {
  std::vector<UnitRecord> units = MainLayoutUnits();
  std::vector<UnitRecord> controls_only(units.begin() + 1, units.end());
  Bytes table = WriteLayoutTable(controls_only);
  EXPECT_FALSE(ReadLayoutTable(table.data(), table.size()));

  units[1].kind = static_cast<KindCode>(0x00010099);
  table = WriteLayoutTable(units);
  EXPECT_FALSE(ReadLayoutTable(table.data(), table.size()));
}

TEST(LayoutRecords, ChildCountLargerThanTheRecordIsRefused) {
  UnitRecord unit;
  unit.kind = KindCode::kWindow;
  unit.child_ids = {1, 2};
  Bytes table = WriteLayoutTable({unit});
  // The child count follows: record count, length, id, kind, 20 reserved, two empty names, object slot,
  // four place fields, cursor slot, parent id.
  const std::size_t count_at = 4 + 8 + 4 + 20 + 1 + 1 + 4 + 16 + 4 + 4;
  ASSERT_EQ(table[count_at], 2);
  table[count_at + 3] = 0x40;
  EXPECT_FALSE(ReadLayoutTable(table.data(), table.size()));
}

}  // namespace
}  // namespace varnelt
