#include "app/layout_source.h"

#include "app/main_layout.h"

namespace varnelt {

Bytes LayoutTableForStartup() { return MainLayoutTable(); }

}  // namespace varnelt
