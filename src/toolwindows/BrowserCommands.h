// The command of the thumbnail browser's options: "OPTIONS" (command
// "cmdOptions") shows the thumbnail options dialog modally. Each showing is
// a new dialog, made from the settings, that unloads itself on OK and on
// Cancel.
#pragma once

#include "document/CommandRegistry.h"

namespace tq {

void registerBrowserCommands(CommandRegistry& registry);

} // namespace tq
