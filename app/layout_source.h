#pragma once
// Where start-up takes the main window's layout records from. The program links the
// layout built from its description; the start-up failure tests link broken ones.

#include "app/settings_block.h"

namespace varnelt {

Bytes LayoutTableForStartup();

}  // namespace varnelt
