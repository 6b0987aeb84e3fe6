// A layout source for the start-up failure test: the records table is cut short.
#include "app/layout_source.h"
#include "app/main_layout.h"

namespace varnelt {

Bytes LayoutTableForStartup() {
  Bytes table = MainLayoutTable();
  table.resize(table.size() - 3);
  return table;
}

}  // namespace varnelt
