// The commands that open the image size, canvas size, orientation, rotation
// and new-image dialogs ("IMAGESIZE", "CANVASSIZE", "IMAGEORIENTATION",
// "IMAGEROTATE" and "NEW"). Each dialog is made at its first opening, owned
// by the main window, shown modally for the whole program and only hidden
// afterwards, so what the user set in it stays until the program ends.
#pragma once

#include "document/CommandRegistry.h"

namespace tq {

void registerGeometryDialogCommands(CommandRegistry& registry);

} // namespace tq
