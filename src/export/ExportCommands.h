// The commands that open the print dialog ("PRINT") and the image
// properties dialog ("IMAGEPROPERTIES"). Each opening makes the dialog anew,
// owned by the main window and modal for the whole program; a dialog still
// open from before is closed first.
#pragma once

#include "document/CommandRegistry.h"

namespace tq {

void registerExportCommands(CommandRegistry& registry);

} // namespace tq
