// The command that opens the optimised save dialog ("IMAGESAVEOPTIONS").
#pragma once

#include "document/CommandRegistry.h"

namespace tq {

void registerWebSaveCommands(CommandRegistry& registry);

} // namespace tq
