// A layout source for the start-up failure test: the window's settings block has a
// version above the highest one read.
#include "app/layout_source.h"
#include "app/main_layout.h"
#include "app/window_settings.h"

namespace varnelt {

Bytes LayoutTableForStartup() {
  std::vector<UnitRecord> units = MainLayoutUnits();
  units.front().settings[0] = static_cast<std::uint8_t>(WindowSettings::kVersion + 1);
  return WriteLayoutTable(units);
}

}  // namespace varnelt
