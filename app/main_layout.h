#pragma once
// The main window's layout: a readable description of the window and its controls, turned
// into layout records by each kind's own settings-block writer.

#include <cstdint>
#include <vector>

#include "app/layout_record.h"

namespace varnelt {

namespace layout_id {
inline constexpr std::uint32_t kMainWindow = 0x52010001;
inline constexpr std::uint32_t kFramePanel = 0x16010002;
inline constexpr std::uint32_t kPhotoSlot = 0x16010004;
inline constexpr std::uint32_t kBadge = 0x16010005;
inline constexpr std::uint32_t kLoadButton = 0x16010006;
inline constexpr std::uint32_t kOpenDialog = 0x16010007;
inline constexpr std::uint32_t kSaveDialog = 0x1601000A;
inline constexpr std::uint32_t kSaveButton = 0x1601000B;
inline constexpr std::uint32_t kCredit = 0x16010011;
inline constexpr std::uint32_t kContact = 0x16010013;
inline constexpr std::uint32_t kHelpBox = 0x16010014;
inline constexpr std::uint32_t kUsage = 0x16010015;
}  // namespace layout_id

// The units of the main window: the window first, then its controls in the reverse of
// their creation order, with child lists filled in from the parents.
std::vector<UnitRecord> MainLayoutUnits();

// The same as a table of layout records, the form start-up reads.
Bytes MainLayoutTable();

}  // namespace varnelt
